#include "platform/os/Rand.h"

#include <cstdint>

static uint32_t s_RandState = 1;

void GameSrand(unsigned int seed)
{
    s_RandState = seed;
}

int GameRand()
{
    s_RandState = s_RandState * 214013u + 2531011u;
    return static_cast<int>((s_RandState >> 16) & 0x7FFF);
}
