// A showroom model drawn live in a rectangle of the menu through the
// showroom camera, with the three bars of the career's upgrade levels.
#include <algorithm>

#include "core/CareerData.h"
#include "core/GameClock.h"
#include "interface/MainMenu.h"
#include "racers/VehicleManager.h"
#include "racers/VehicleObject.h"
#include "render/D3DRender.h"
#include "render/Draw2D.h"
#include "render/LightManager.h"
#include "render/Views.h"

namespace
{

void DrawModel(CCamera& showroomCamera, CVehicleObject* model, float x1, float y1, float x2, float y2)
{
    g_LightManager.Update();
    CCamera* previous = g_Views.activeCamera;
    g_Views.activeCamera = &showroomCamera;
    showroomCamera.Update();
    showroomCamera.UpdateView();
    showroomCamera.SetViewport(x1 + 2.0f, y1 + 2.0f, x2 - 2.0f, y2 - 2.0f);
    if (g_Render.device)
        g_Render.device->Clear(0, nullptr, D3DCLEAR_ZBUFFER, 0, 1.0f, 0);

    // Brought up to date without any simulation, and fully shown.
    model->SyncFromBody();
    model->UpdateWheels();
    model->UpdateParts();
    model->visible = 1;
    model->cameraDistance = 0.0f;
    model->BodyMaterial.Diffuse.a = 1.0f;

    g_Render.BeginBatch();
    g_Vehicles.Render(model);
    g_Vehicles.RenderChrome(model);
    g_Vehicles.RenderEffects(model);
    g_Render.EndBatch();
    g_Render.RenderBatch();

    g_Views.activeCamera = previous;
    if (previous)
    {
        previous->UpdateView();
        previous->SetViewport(0.0f, 0.0f, 800.0f, 600.0f);
    }
}

}   // namespace

void CMainMenu::DrawMotorcycle(float x1, float y1, float x2, float y2, CVehicleObject* model, int withDisc)
{
    if (!model)
        model = g_Vehicles.showroom[std::clamp((int)g_Career.motorcycle, 0, CAREER_MODELS - 1)];
    const float cx = (x1 + x2) / 2.0f, cy = (y1 + y2) / 2.0f;
    if (withDisc)
        DrawDiscFine(cx, cy, 0.65f * (x2 - x1), 0xFF320000, 0x00320000, 1.0f, 1.0f, nullptr);
    if (model)
        DrawModel(showroomCamera, model, x1, y1, x2, y2);

    // Statistics panel: three labels ending at the centre, a bar of ten
    // cells beside each. The panel reaches left past the widest label.
    const char* const labels[CAREER_SYSTEMS] = {"SPEED: ", "ACCELERATION: ", "HANDLING: "};
    float panelLeft = cx - 85.0f;
    for (const char* label : labels)
        panelLeft = std::min(panelLeft, cx - menuFont.GetTextWidth(label, 0.35f, 0) - 5.0f);
    DrawRect(panelLeft, y2 - 75.0f, cx + 85.0f, y2 - 20.0f, 0x80000000);
    DrawRectOutline(panelLeft, y2 - 75.0f, cx + 85.0f, y2 - 20.0f, 0xFF323232);
    const bool blinkOn = state == MENU_UPGRADE && g_Clock.GameTimeMs() % 401u > 200u;
    for (int s = 0; s < CAREER_SYSTEMS; ++s)
    {
        const float w = menuFont.GetTextWidth(labels[s], 0.35f, 0);
        menuFont.DrawTextGlow(cx - w, y2 - 70.0f + 15.0f * s, labels[s], 0xFFC86400, 0xFF000000, 0.35f);
        const float top = y2 - 69.0f + 15.0f * s, bottom = y2 - 57.0f + 15.0f * s;
        DrawRect(cx, top, cx + 80.0f, bottom, 0x80000000);
        DrawRectOutline(cx, top, cx + 80.0f, bottom, 0xFF643232);
        const int level = g_Career.upgradeLevel[s];
        for (int j = 0; j < 10; ++j)
        {
            const float cellX = cx + 5.0f + 7.0f * j;
            DrawRect(cellX, y2 - 67.0f + 15.0f * s, cellX + 5.0f, y2 - 59.0f + 15.0f * s,
                     level >= j + 1 ? 0xFFFF9600 : 0xFF281400);
        }
        // The level about to be bought blinks on the upgrade page.
        if (blinkOn && s == selectedSystem && level >= 0 && level < 10)
        {
            const float cellX = cx + 5.0f + 7.0f * level;
            DrawRect(cellX, y2 - 67.0f + 15.0f * s, cellX + 5.0f, y2 - 59.0f + 15.0f * s, 0xFFFFFF00);
        }
    }
}
