#include "render/RenderLinks.h"

#include "core/Controls.h"
#include "render/D3DRender.h"

void ConnectRenderLinks()
{
    g_ControlHooks.toggleFillMode = [] { g_Render.ToggleFillMode(); };
    g_ControlHooks.toggleShadeMode = [] { g_Render.ToggleShadeMode(); };
}
