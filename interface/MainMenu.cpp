// The front-end menu's object: creation, showing, the page state machine, the
// race start through the loading screen, and the frame's drawing order.
#include "interface/MainMenu.h"

#include <cstdlib>
#include <cstring>

#include "audio/AudioManager.h"
#include "audio/GameSound.h"
#include "core/CareerData.h"
#include "core/Controls.h"
#include "core/GameClock.h"
#include "core/GameEventPost.h"
#include "core/InputState.h"
#include "core/RaceState.h"
#include "core/RunFlags.h"
#include "core/Settings.h"
#include "interface/GameHUD.h"
#include "interface/MenuBackground.h"
#include "platform/os/Clock.h"
#include "racers/VehicleManager.h"
#include "render/D3DRender.h"
#include "render/Draw2D.h"

CMainMenu g_MainMenu;
int g_QuickRaceOptions[MENU_RACE_OPTIONS];
MenuHooks g_MenuHooks;

namespace
{
const char* const kTitlePicture = "Data/Interface/Menu_Main/Title_EN.dds";
const char* const kMakerLogo = "Data/Interface/Menu_Main/Logo_Brenhold.dds";
const char* const kPhysicsLogo = "Data/Interface/Menu_Main/Logo_Bullet.bmp";
const char* const kBorderPicture = "Data/Interface/Menu_Main/BorderHider.dds";
const char* const kLoadingPicture = "Data/Interface/Menu_Main/LoadingScreen.bmp";
const char* const kMenuMusic = "Data/Audio/MusTrks/TrR00.wav";

TextureId LoadPicture(const char* name)
{
    return g_Render.LoadTexture(name, 1, 1, 0);
}

void LoadIfMissing(TextureId* id, const char* name)
{
    if (*id == -1)
        *id = LoadPicture(name);
}

void ReleasePicture(TextureId* id)
{
    if (*id != -1)
        g_Render.ReleaseTexture(*id);
    *id = -1;
}

bool NamesPage(int s)
{
    switch (s)
    {
    case MENU_NONE:
    case MENU_PROFILES:
    case MENU_NEW_PROFILE:
    case MENU_MAIN:
    case MENU_QUICK_RACE:
    case MENU_CAREER:
    case MENU_NEW_CAREER:
    case MENU_MOTORCYCLE:
    case MENU_UPGRADE:
    case MENU_OPTIONS:
    case MENU_GRAPHICS:
    case MENU_AUDIO:
    case MENU_CONTROLS:
    case MENU_CREDITS:
    case MENU_RECORDS:
    case MENU_EXIT:
    case MENU_LOADING:
        return true;
    default:
        return false;
    }
}

void SetOption(CMenuOption& option, CFont* font, const char* caption, float x, float y, float scale, float r, float g,
               float b)
{
    option.label.font = font;
    option.label.Set(caption, x, y, scale, ALIGN_RIGHT, 1, r, g, b);
    option.value[0] = 0;
    option.valueAlign = ALIGN_LEFT;
}
}   // namespace

CMainMenu::CMainMenu()
    : active(0), secondsSinceShow(0.0f), state(MENU_NONE), borderTexture(-1), loadingTexture(-1), titleTexture(-1),
      makerLogoTexture(-1), physicsLogoTexture(-1), profileCount(0), trackPicture(-1), selectedSystem(0),
      pendingMode(0), pendingDistance(0), pendingShadows(0), pendingGlow(0), pendingBlur(0), focused(nullptr),
      focusList(), focusIndex(-1), focusCount(0), soundIn(nullptr), soundPress(nullptr), soundUpgrade(nullptr)
{
    for (TextureId& id : trackTextures)
        id = -1;
    for (TextureId& id : cupTextures)
        id = -1;
    for (TextureId& id : upgradeTextures)
        id = -1;
    for (auto& path : profilePaths)
        path[0] = 0;
    showroomCamera.fadeColor = D3DXCOLOR(1.0f, 1.0f, 1.0f, 1.0f);
}

int CMainMenu::Create()
{
    menuFont.Create("Data/Interface/Fonts/Menu 01");
    menuFont.UpdateMetrics();

    LoadIfMissing(&borderTexture, kBorderPicture);
    LoadIfMissing(&loadingTexture, kLoadingPicture);
    LoadIfMissing(&titleTexture, kTitlePicture);
    LoadIfMissing(&makerLogoTexture, kMakerLogo);
    LoadIfMissing(&physicsLogoTexture, kPhysicsLogo);
    char name[96];
    for (int area = 0; area < 3; ++area)
        for (int season = 0; season < 3; ++season)
        {
            std::snprintf(name, sizeof(name), "Data/Interface/Menu_Main/Tracks/Track%d_%02d.bmp", area + 1, season + 1);
            trackTextures[area * 3 + season] = LoadPicture(name);
        }
    const char* const cups[4] = {"Data/Interface/Cups/Cup1.dds", "Data/Interface/Cups/Cup2.dds",
                                 "Data/Interface/Cups/Cup3.dds", "Data/Interface/Cups/GoldenCup.dds"};
    for (int i = 0; i < 4; ++i)
        cupTextures[i] = LoadPicture(cups[i]);
    for (int i = 0; i < MENU_UPGRADE_SYSTEMS; ++i)
    {
        std::snprintf(name, sizeof(name), "Data/Interface/Menu_Main/UpgradeSys/UpgrSys%d.bmp", i);
        upgradeTextures[i] = LoadPicture(name);
    }

    SetWidgets();
    // The pointer lives in the in-race display but belongs to the menu's pages.
    if (g_GameHUD.cursor.texture == -1)
        g_GameHUD.cursor.Create();

    pendingMode = g_VideoMode;
    pendingDistance = g_ViewDistance;
    pendingShadows = g_ShadowQuality;
    pendingGlow = g_GlowOn;
    pendingBlur = g_BlurOn;

    // The showroom camera looks at the stand of the showroom models.
    const D3DXVECTOR3 eye(1002.0f, 1002.0f, 1002.0f), at(1000.0f, 1000.25f, 1000.0f);
    float aspect = 1.15f + (g_VideoMode > 3 ? 0.1f : 0.0f);
    showroomCamera.Init(&eye, &at, D3DX_PI / 4.0f, aspect, 0.2f, 500.0f, VIEWMODE_LOOKAT, CAMERA_SHOWROOM);
    // It circles the stand at half a radian per second each time it is updated.
    const D3DXVECTOR3 vertical(0.0f, 1.0f, 0.0f);
    showroomCamera.MoveTo(&eye, &at, 0.0f, &vertical, -0.5f, 0);

    focused = nullptr;
    for (CMenuButton*& entry : focusList)
        entry = nullptr;
    focusIndex = -1;
    focusCount = 0;

    soundIn = g_AudioManager.LoadSound("Data/Audio/Bt/Bt_In.wav", SOUND_TYPE_2D, 1.0f, 10.0f);
    soundPress = g_AudioManager.LoadSound("Data/Audio/Bt/Bt_Pr.wav", SOUND_TYPE_2D, 1.0f, 10.0f);
    soundUpgrade = g_AudioManager.LoadSound("Data/Audio/Bt/Bt_Upgr.wav", SOUND_TYPE_2D, 1.0f, 10.0f);
    return 1;
}

void CMainMenu::SetWidgets()
{
    CFont* f = &menuFont;
    for (int i = 0; i < MENU_PROFILE_SLOTS; ++i)
    {
        buttons[i].font = f;
        buttons[i].Set("-", 600.0f, 250.0f + 23.0f * (float)i, 0.45f, ALIGN_CENTER, 0, 1.0f, 0.8f, 0.2f, 0);
    }
    struct Row
    {
        const char* caption;
        float y, scale;
        int enabled;
        float g;
    };
    const Row rows[] = {
        {"DONE", 500, 0.6f, 1, 0.5f},
        {"NEW PROFILE", 530, 0.6f, 1, 0.5f},
        {"DELETE PROFILE", 560, 0.6f, 1, 0.5f},
        {"DONE", 500, 0.6f, 1, 0.8f},
        {"QUICK RACE", 260, 0.7f, 1, 0.8f},
        {"CONTINUE CAREER", 295, 0.7f, 1, 0.8f},
        {"NEW CAREER", 330, 0.7f, 1, 0.8f},
        {"RECORDS TABLE", 390, 0.65f, 1, 0.5f},
        {"CHANGE PROFILE", 420, 0.65f, 1, 0.5f},
        {"OPTIONS", 450, 0.65f, 1, 0.5f},
        {"CREDITS", 480, 0.65f, 0, 0.5f},
        {"EXIT", 510, 0.65f, 1, 0.5f},
    };
    for (int i = 0; i < 12; ++i)
    {
        CMenuButton& b = buttons[BUTTON_PROFILES_DONE + i];
        b.font = f;
        b.Set(rows[i].caption, 600.0f, rows[i].y, rows[i].scale, ALIGN_CENTER, rows[i].enabled, 1.0f, rows[i].g,
              rows[i].g == 0.8f ? 0.2f : 0.0f);
    }

    const char* const raceCaptions[MENU_RACE_OPTIONS] = {
        "TRACK :", "SEASON :", "LAPS :", "REVERSE :", "DIFFICULTY :", "RACERS :"};
    for (int i = 0; i < MENU_RACE_OPTIONS; ++i)
    {
        SetOption(raceOptions[i], f, raceCaptions[i], 600.0f, 285.0f + 25.0f * (float)i, 0.5f, 1.0f, 0.6f, 0.6f);
        raceOptions[i].valueColour[0] = 1.0f;
        raceOptions[i].valueColour[1] = 0.5f;
        raceOptions[i].valueColour[2] = 1.0f;
    }

    struct Single
    {
        CMenuButton* button;
        const char* caption;
        float x, y, scale;
        int align;
        float r, g, b;
        int translate;
    };
    const Single singles[] = {
        {&quickStartButton, "START!", 600, 450, 0.6f, ALIGN_CENTER, 1, 0.4f, 0.2f, 1},
        {&yesButton, "YES", 600, 400, 0.6f, ALIGN_CENTER, 1, 0.8f, 0.2f, 1},
        {&noButton, "NO", 600, 430, 0.6f, ALIGN_CENTER, 1, 0.8f, 0.2f, 1},
        {&prevButton, "<<<", 460, 370, 0.6f, ALIGN_CENTER, 1, 0.6f, 0.0f, 0},
        {&nextButton, ">>>", 740, 370, 0.6f, ALIGN_CENTER, 1, 0.6f, 0.0f, 0},
        {&motorcycleSchemeButton, "CHANGE COLOR SCHEME", 600, 500, 0.4f, ALIGN_CENTER, 1, 0.8f, 0.2f, 1},
        {&motorcycleOkButton, "OK", 600, 530, 0.6f, ALIGN_CENTER, 1, 0.8f, 0.2f, 0},
        {&careerStartButton, "START!", 600, 450, 0.6f, ALIGN_CENTER, 1, 0.4f, 0.2f, 1},
        {&careerSchemeButton, "CHANGE COLOR SCHEME", 150, 485, 0.35f, ALIGN_CENTER, 1, 0.8f, 0.2f, 1},
        {&systemButtons[0], "ENGINE", 600, 300, 0.6f, ALIGN_LEFT, 1, 0.4f, 0.0f, 1},
        {&systemButtons[1], "TRANSMISSION", 600, 380, 0.6f, ALIGN_LEFT, 1, 0.4f, 0.0f, 1},
        {&systemButtons[2], "CHASSIS", 600, 460, 0.6f, ALIGN_LEFT, 1, 0.4f, 0.0f, 1},
        {&upgradeOkButton, "OK", 600, 530, 0.6f, ALIGN_CENTER, 1, 0.8f, 0.2f, 0},
        {&recordsOkButton, "OK", 400, 560, 0.6f, ALIGN_CENTER, 1, 0.8f, 0.2f, 0},
        {&graphicsButton, "GRAPHICS", 600, 400, 0.7f, ALIGN_CENTER, 1, 0.8f, 0.2f, 1},
        {&audioButton, "AUDIO", 600, 435, 0.7f, ALIGN_CENTER, 1, 0.8f, 0.2f, 1},
        {&controlsButton, "CONTROLS", 600, 470, 0.7f, ALIGN_CENTER, 1, 0.8f, 0.2f, 1},
        {&acceptButton, "ACCEPT", 600, 515, 0.7f, ALIGN_CENTER, 1, 0.5f, 0.0f, 1},
        {&cancelButton, "CANCEL", 600, 550, 0.7f, ALIGN_CENTER, 1, 0.5f, 0.0f, 1},
        {&backButton, "BACK", 600, 535, 0.7f, ALIGN_CENTER, 1, 0.5f, 0.0f, 1},
    };
    for (const Single& s : singles)
    {
        s.button->font = f;
        s.button->Set(s.caption, s.x, s.y, s.scale, s.align, 1, s.r, s.g, s.b, s.translate);
    }

    const char* const videoCaptions[MENU_VIDEO_OPTIONS] = {
        "Resolution :", "View distance :", "Shadows :", "Glow :", "Blur :"};
    for (int i = 0; i < MENU_VIDEO_OPTIONS; ++i)
    {
        SetOption(videoOptions[i], f, videoCaptions[i], 605.0f, 350.0f + 25.0f * (float)i, 0.55f, 1.0f, 0.8f, 0.2f);
        videoOptions[i].valueColour[0] = 1.0f;
        videoOptions[i].valueColour[1] = 0.5f;
        videoOptions[i].valueColour[2] = 0.0f;
    }
    SetOption(musicOption, f, "Music volume :", 610.0f, 440.0f, 0.5f, 1.0f, 0.8f, 0.2f);
    SetOption(effectsOption, f, "Effects volume :", 610.0f, 470.0f, 0.5f, 1.0f, 0.8f, 0.2f);
    for (CMenuOption* o : {&musicOption, &effectsOption})
    {
        o->valueColour[0] = 1.0f;
        o->valueColour[1] = 0.5f;
        o->valueColour[2] = 0.0f;
    }
}

void CMainMenu::Release()
{
    menuFont.Release();
    showroomCamera.Release();
    for (TextureId* id :
         {&borderTexture, &loadingTexture, &titleTexture, &makerLogoTexture, &physicsLogoTexture, &trackPicture})
        ReleasePicture(id);
    for (TextureId& id : trackTextures)
        ReleasePicture(&id);
    for (TextureId& id : cupTextures)
        ReleasePicture(&id);
    for (TextureId& id : upgradeTextures)
        ReleasePicture(&id);
    g_AudioManager.ReleaseSound(&soundIn);
    g_AudioManager.ReleaseSound(&soundPress);
    g_AudioManager.ReleaseSound(&soundUpgrade);
}

void CMainMenu::Show(int newState)
{
    secondsSinceShow = 0.0f;
    g_MenuBackground.SetMode(0, 1);
    if (newState != MENU_NONE)
    {
        pendingMode = g_VideoMode;
        pendingDistance = g_ViewDistance;
        pendingShadows = g_ShadowQuality;
        pendingGlow = g_GlowOn;
        pendingBlur = g_BlurOn;
        g_GameHUD.cursor.visible = 1;
        g_AudioManager.PlayMusic(1, kMenuMusic, 1, 100.0f);
        SetState(newState);
        active = 1;
    }
    else
    {
        g_GameHUD.cursor.visible = 0;
        g_AudioManager.PlayMusic(0, nullptr, 0, 100.0f);
        SetState(MENU_NONE);
        active = 0;
    }
}

void CMainMenu::ClearLatches()
{
    for (CMenuButton& b : buttons)
        b.pressed = 0;
    for (CMenuOption& o : raceOptions)
        o.label.pressed = 0;
    for (CMenuOption& o : videoOptions)
        o.label.pressed = 0;
    for (CMenuButton* b : {&quickStartButton,   &yesButton,         &noButton,
                           &prevButton,         &nextButton,        &motorcycleSchemeButton,
                           &motorcycleOkButton, &careerStartButton, &careerSchemeButton,
                           &systemButtons[0],   &systemButtons[1],  &systemButtons[2],
                           &upgradeOkButton,    &recordsOkButton,   &graphicsButton,
                           &audioButton,        &controlsButton,    &acceptButton,
                           &cancelButton,       &musicOption.label, &effectsOption.label,
                           &backButton})
        b->pressed = 0;
}

void CMainMenu::SetState(int s)
{
    if (!NamesPage(s))
        return;
    // A press latched on one page must never fire on the next visit of
    // another (an Enter during loading would start a race unasked).
    ClearLatches();
    if (s == MENU_LOADING)
    {
        state = s;
        return;
    }
    if (s == MENU_PROFILES)
    {
        FindProfiles();
        if (profileCount == 0)
        {
            SetState(MENU_NEW_PROFILE);
            return;
        }
    }

    CMenuButton* list[MENU_FOCUS_LIST] = {};
    int count = 0, first = 0;
    auto add = [&](CMenuButton* b) { list[count++] = b; };
    switch (s)
    {
    case MENU_PROFILES:
        add(&buttons[BUTTON_PROFILES_DONE]);
        add(&buttons[BUTTON_NEW_PROFILE]);
        add(&buttons[BUTTON_DELETE_PROFILE]);
        break;
    case MENU_NEW_PROFILE:
        add(&buttons[BUTTON_NAME_DONE]);
        if (profileCount != 0)
            add(&backButton);
        g_TextInput = 1;
        g_TextChar = 0;
        break;
    case MENU_MAIN:
        for (int i = BUTTON_QUICK_RACE; i <= BUTTON_EXIT; ++i)
            add(&buttons[i]);
        break;
    case MENU_QUICK_RACE:
        for (CMenuOption& o : raceOptions)
            add(&o.label);
        add(&quickStartButton);
        add(&backButton);
        first = MENU_RACE_OPTIONS;
        break;
    case MENU_CAREER:
        add(&careerStartButton);
        add(&backButton);
        add(&careerSchemeButton);
        break;
    case MENU_NEW_CAREER:
        add(&yesButton);
        add(&noButton);
        first = 1;
        break;
    case MENU_MOTORCYCLE:
        add(&prevButton);
        add(&nextButton);
        add(&motorcycleSchemeButton);
        add(&motorcycleOkButton);
        first = 3;
        break;
    case MENU_UPGRADE:
        for (CMenuButton& b : systemButtons)
            add(&b);
        add(&upgradeOkButton);
        first = 3;
        break;
    case MENU_OPTIONS:
        add(&graphicsButton);
        add(&audioButton);
        add(&controlsButton);
        add(&backButton);
        break;
    case MENU_GRAPHICS:
        for (CMenuOption& o : videoOptions)
            add(&o.label);
        add(&acceptButton);
        add(&cancelButton);
        break;
    case MENU_AUDIO:
        add(&musicOption.label);
        add(&effectsOption.label);
        add(&backButton);
        break;
    case MENU_CONTROLS:
    case MENU_CREDITS:
        add(&backButton);
        break;
    case MENU_RECORDS:
        add(&recordsOkButton);
        break;
    case MENU_EXIT:
        g_Quit = 1;
        break;
    default:
        break;
    }
    SetFocusList(list, count, first);
    if (count == 0)
        focusIndex = 0;
    state = s;

    // Entry actions of the pages with more to set up than their focus.
    if (s == MENU_QUICK_RACE)
        EnterQuickRacePage();
    else if (s == MENU_CAREER)
        EnterCareerPage();
    else if (s == MENU_UPGRADE)
        EnterUpgradePage();
    else if (s == MENU_OPTIONS)
        EnterOptionsPage();
}

void CMainMenu::Update()
{
    if (!active)
        return;
    secondsSinceShow += g_Clock.m_GameStep;
    UpdateMenuKeys();
    switch (state)
    {
    case MENU_PROFILES:
        UpdateProfilesPage();
        break;
    case MENU_NEW_PROFILE:
        UpdateNewProfilePage();
        break;
    case MENU_MAIN:
        UpdateMainPage();
        break;
    case MENU_QUICK_RACE:
        UpdateQuickRacePage();
        break;
    case MENU_CAREER:
        UpdateCareerPage();
        break;
    case MENU_NEW_CAREER:
        UpdateNewCareerPage();
        break;
    case MENU_MOTORCYCLE:
        UpdateMotorcyclePage();
        break;
    case MENU_UPGRADE:
        UpdateUpgradePage();
        break;
    case MENU_OPTIONS:
        UpdateOptionsPage();
        break;
    case MENU_GRAPHICS:
        UpdateGraphicsPage();
        break;
    case MENU_AUDIO:
        UpdateAudioPage();
        break;
    case MENU_CONTROLS:
        UpdateControlsPage();
        break;
    case MENU_CREDITS:
        UpdateCreditsPage();
        break;
    case MENU_RECORDS:
        UpdateRecordsPage();
        break;
    case MENU_LOADING:
        UpdateLoading();
        break;
    default:
        break;
    }
}

void CMainMenu::UpdateMainPage()
{
    if (buttons[BUTTON_QUICK_RACE].IsPressed())
        SetState(MENU_QUICK_RACE);
    if (buttons[BUTTON_CONTINUE_CAREER].IsPressed() && LoadProfile())
        SetState(g_Career.upgradePoints > 0 ? MENU_UPGRADE : MENU_CAREER);
    if (buttons[BUTTON_NEW_CAREER].IsPressed())
        SetState(MENU_NEW_CAREER);
    if (buttons[BUTTON_RECORDS].IsPressed())
        SetState(MENU_RECORDS);
    if (buttons[BUTTON_CHANGE_PROFILE].IsPressed())
        SetState(MENU_PROFILES);
    if (buttons[BUTTON_OPTIONS].IsPressed())
        SetState(MENU_OPTIONS);
    if (buttons[BUTTON_CREDITS].IsPressed())
        SetState(MENU_CREDITS);
    if (buttons[BUTTON_EXIT].IsPressed())
        SetState(MENU_EXIT);
}

void CMainMenu::RequestRaceStart(int careerMode)
{
    secondsSinceShow = 0.0f;
    g_CareerMode = careerMode;
    if (g_MenuHooks.fadeOut)
        g_MenuHooks.fadeOut(1.0f);
    ClearLatches();
    state = MENU_LOADING;   // the focus list stays as it was
}

void CMainMenu::UpdateLoading()
{
    if (secondsSinceShow <= 2.0f)
        return;
    std::srand(timeGetTime());
    CopyRaceOptionsToRow();
    if (g_CareerMode == 0)
    {
        // A second quick race in a row keeps the career's row saved.
        if (g_Career.raceIndex != RACE_QUICK_ROW)
            g_Career.savedRaceIndex = g_Career.raceIndex;
        g_Career.raceIndex = RACE_QUICK_ROW;
    }
    if (g_MenuHooks.startRace)
        g_MenuHooks.startRace(-1);
    PostGameEvent(GEVENT_RACE_START, g_PlayerVehicle, 0);
    g_GameRunning = 1;
    Show(MENU_NONE);
    ReleasePicture(&trackPicture);
}

void CMainMenu::Render()
{
    if (!active)
        return;
    if (g_MenuHooks.renderMenuScreen)
        g_MenuHooks.renderMenuScreen();
    DrawRect(-1.0f, -1.0f, 801.0f, 601.0f, 0xFE000000, borderTexture);

    switch (state)
    {
    case MENU_PROFILES:
        DrawProfilesPage();
        break;
    case MENU_NEW_PROFILE:
        DrawNewProfilePage();
        break;
    case MENU_MAIN:
        DrawMainPage();
        break;
    case MENU_QUICK_RACE:
        DrawQuickRacePage();
        break;
    case MENU_CAREER:
        DrawCareerPage();
        break;
    case MENU_NEW_CAREER:
        DrawNewCareerPage();
        break;
    case MENU_MOTORCYCLE:
        DrawMotorcyclePage();
        break;
    case MENU_UPGRADE:
        DrawUpgradePage();
        break;
    case MENU_OPTIONS:
        DrawOptionsPage();
        break;
    case MENU_GRAPHICS:
        DrawGraphicsPage();
        break;
    case MENU_AUDIO:
        DrawAudioPage();
        break;
    case MENU_CONTROLS:
        DrawControlsPage();
        break;
    case MENU_CREDITS:
        DrawCreditsPage();
        break;
    case MENU_RECORDS:
        DrawRecordsTable();
        break;
    case MENU_LOADING:
        if (secondsSinceShow >= 1.0f)
        {
            // From 1 s the music stops and the screen fades back in over the
            // loading picture; the fade-in starts once.
            if (!g_MenuHooks.fadeState || g_MenuHooks.fadeState() == 0)
            {
                g_AudioManager.PlayMusic(0, nullptr, 0, 100.0f);
                if (g_MenuHooks.fadeIn)
                    g_MenuHooks.fadeIn(1.0f);
            }
            if (secondsSinceShow < 2.0f)
                DrawLoadingScreen(0);
        }
        break;
    default:
        break;
    }

    if (secondsSinceShow < 2.0f && (state == MENU_PROFILES || state == MENU_NEW_PROFILE))
    {
        // The first page fades in from the loading picture.
        unsigned alpha = (unsigned)(254.0f - 127.0f * secondsSinceShow);
        DrawRect(-1.0f, -1.0f, 801.0f, 601.0f, (alpha << 24) | 0x808080, loadingTexture);
    }
    DrawTitle();
}

void CMainMenu::DrawTitle()
{
    LoadIfMissing(&titleTexture, kTitlePicture);
    LoadIfMissing(&makerLogoTexture, kMakerLogo);
    LoadIfMissing(&physicsLogoTexture, kPhysicsLogo);
    DrawRect(420.0f, -10.0f, 780.0f, 210.0f, 0xFEFFFFFF, titleTexture);
    if (state == MENU_CAREER || state == MENU_RECORDS)
        return;
    if (makerLogoTexture != -1)
        DrawRect(0.0f, 550.0f, 50.0f, 600.0f, 0xFEFFFFFF, makerLogoTexture);
    if (physicsLogoTexture != -1)
        DrawRect(55.0f, 560.0f, 130.0f, 590.0f, 0x64FFFFFF, physicsLogoTexture);
}

void CMainMenu::DrawMainPage()
{
    // CREDITS is never drawn nor enabled; the keys skip its place.
    for (int i = BUTTON_QUICK_RACE; i <= BUTTON_EXIT; ++i)
        if (i != BUTTON_CREDITS)
            buttons[i].Draw(1);
}
