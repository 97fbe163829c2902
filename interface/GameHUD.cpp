// Stand-in: entry points only, filled in by the display's own work.
#include "interface/GameHUD.h"

CGameHUD g_GameHUD;

int CGameHUD::Create()
{
    return 1;
}

void CGameHUD::Render() {}

void CGameHUD::Release() {}
