// The front-end menu's run: creation and release, showing, the page state
// machine, the frame's update and drawing order, the main page, and the race
// start through the loading screen.
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
#include "interface/MainMenu.h"
#include "interface/MenuBackground.h"
#include "platform/os/Clock.h"
#include "platform/os/Rand.h"
#include "racers/VehicleManager.h"
#include "render/D3DRender.h"
#include "render/Draw2D.h"
#include "render/Views.h"

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

// Every page with its per-frame actions and its drawing (null: none; the
// loading page draws in Render itself).
struct MenuPage
{
    int state;
    void (CMainMenu::*update)();
    void (CMainMenu::*draw)();
};

const MenuPage kPages[] = {
    {MENU_NONE, nullptr, nullptr},
    {MENU_PROFILES, &CMainMenu::UpdateProfilesPage, &CMainMenu::DrawProfilesPage},
    {MENU_NEW_PROFILE, &CMainMenu::UpdateNewProfilePage, &CMainMenu::DrawNewProfilePage},
    {MENU_MAIN, &CMainMenu::UpdateMainPage, &CMainMenu::DrawMainPage},
    {MENU_QUICK_RACE, &CMainMenu::UpdateQuickRacePage, &CMainMenu::DrawQuickRacePage},
    {MENU_CAREER, &CMainMenu::UpdateCareerPage, &CMainMenu::DrawCareerPage},
    {MENU_NEW_CAREER, &CMainMenu::UpdateNewCareerPage, &CMainMenu::DrawNewCareerPage},
    {MENU_MOTORCYCLE, &CMainMenu::UpdateMotorcyclePage, &CMainMenu::DrawMotorcyclePage},
    {MENU_UPGRADE, &CMainMenu::UpdateUpgradePage, &CMainMenu::DrawUpgradePage},
    {MENU_OPTIONS, &CMainMenu::UpdateOptionsPage, &CMainMenu::DrawOptionsPage},
    {MENU_GRAPHICS, &CMainMenu::UpdateGraphicsPage, &CMainMenu::DrawGraphicsPage},
    {MENU_AUDIO, &CMainMenu::UpdateAudioPage, &CMainMenu::DrawAudioPage},
    {MENU_CONTROLS, &CMainMenu::UpdateControlsPage, &CMainMenu::DrawControlsPage},
    {MENU_CREDITS, &CMainMenu::UpdateCreditsPage, &CMainMenu::DrawCreditsPage},
    {MENU_RECORDS, &CMainMenu::UpdateRecordsPage, &CMainMenu::DrawRecordsTable},
    {MENU_EXIT, nullptr, nullptr},
    {MENU_LOADING, &CMainMenu::UpdateLoading, nullptr},
};

// The page of a state; null for a value that names none.
const MenuPage* PageOf(int state)
{
    for (const MenuPage& page : kPages)
        if (page.state == state)
            return &page;
    return nullptr;
}
}   // namespace

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

void CMainMenu::SetState(int s)
{
    if (!PageOf(s))
        return;
    // A press latched on one page must never fire on the next visit of
    // another (an Enter during loading would start a race unasked). A page
    // entered again (the upgrade page after a purchase) keeps a press given
    // to it while the first was latched: the player pressed twice.
    if (s != state)
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
        RequestQuit();
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
    const MenuPage* page = PageOf(state);
    if (page && page->update)
        (this->*page->update)();
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

void CMainMenu::UpdateLoading()
{
    if (secondsSinceShow <= 2.0f)
        return;
    // The game's own generator: the C library's is never drawn from.
    GameSrand(timeGetTime());
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
    RunGame();
    Show(MENU_NONE);
    ReleasePicture(&trackPicture);
}

void CMainMenu::Render()
{
    if (!active)
        return;
    g_Render.RenderMenuScreen();   // the blurred copy of the frame behind the menu
    DrawRect(-1.0f, -1.0f, 801.0f, 601.0f, 0xFE000000, borderTexture);

    const MenuPage* page = PageOf(state);
    if (page && page->draw)
        (this->*page->draw)();
    else if (state == MENU_LOADING && secondsSinceShow >= 1.0f)
    {
        // From 1 s the music stops and the screen fades back in over the
        // loading picture; the fade-in starts once.
        CCamera* camera = g_Views.activeCamera;
        if (camera && camera->fadeState == 0)
        {
            g_AudioManager.PlayMusic(0, nullptr, 0, 100.0f);
            camera->FadeIn(1.0f, 1);
        }
        if (secondsSinceShow < 2.0f)
            DrawLoadingScreen(0);
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
