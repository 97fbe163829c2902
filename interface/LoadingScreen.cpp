// The loading screen: at program start with frames of its own (before the
// menu exists, so it loads its pictures itself), and as the page of the
// loading state before a race.
#include "interface/GameHUD.h"
#include "interface/MainMenu.h"
#include "render/D3DRender.h"
#include "render/Draw2D.h"

namespace
{
const char* kLoadingPicture = "Data/Interface/Menu_Main/LoadingScreen.bmp";
// Frames presented at start, so that every buffer of the swap chain shows it.
const int kStartFrames = 5;

void DrawLoading(CMainMenu& menu)
{
    // A missing picture leaves the id at -1: a plain grey screen.
    DrawRect(-1.0f, -1.0f, 801.0f, 601.0f, 0xFF808080, menu.loadingTexture);
    // At program start the font is not loaded yet and draws nothing.
    const float w = menu.menuFont.GetTextWidth("LOADING...", 0.8f, 0);
    menu.menuFont.DrawTextGlow(410.0f - w / 2.0f, 550.0f, "LOADING...", 0xFFFF9664, 0xFF000000, 0.8f);
    menu.DrawTitle();
}
}   // namespace

void CMainMenu::DrawLoadingScreen(int present)
{
    g_GameHUD.cursor.visible = 0;
    if (loadingTexture == -1)
        loadingTexture = g_Render.LoadTexture(kLoadingPicture, 1, 1, 0);
    if (!present)
    {
        DrawLoading(*this);
        return;
    }
    IDirect3DDevice9* device = g_Render.device;
    if (!device)
        return;
    for (int frame = 0; frame < kStartFrames; ++frame)
    {
        if (FAILED(device->BeginScene()))
            continue;
        DrawLoading(*this);
        device->EndScene();
        g_Render.PresentFrame();
    }
}
