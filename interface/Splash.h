#pragma once
// The splash sequence before the loading screen; runs its own message loop.
void ShowSplashScreens();
