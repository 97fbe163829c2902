#include "interface/InterfaceLinks.h"

#include "core/Controls.h"
#include "core/GameEventPost.h"
#include "interface/GameHUD.h"
#include "interface/MainMenu.h"

void ConnectInterfaceLinks()
{
    g_ControlHooks.menuActive = [] { return g_MainMenu.active; };
    // The motorcycles' penalty and jump messages.
    g_RaceMessageHooks.show = [](int id, float seconds, const float colour[4], float scale) {
        const D3DXCOLOR c(colour);
        return g_GameHUD.ShowMessage(id, seconds, &c, scale);
    };
    g_RaceMessageHooks.showing = [] { return g_GameHUD.messageId != HUDMSG_NONE ? 1 : 0; };
}
