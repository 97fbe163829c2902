#pragma once
// The game's random generator. The scenery placement and many tests depend on
// its exact sequence, so it never falls back to the C library's rand().
//   x = x * 214013 + 2531011; result = (x >> 16) & 0x7FFF
#define GAME_RAND_MAX 0x7FFF

void GameSrand(unsigned int seed);
int GameRand();
