#pragma once
// The front-end menu: one object for the whole run. While it is shown a
// demonstration race runs behind it and the pages are drawn over a blurred
// copy of the frame. It is a state machine of pages: each page has fixed
// widgets, a keyboard focus list, an entry action (SetState), per-frame
// actions (Update) and a draw routine (Render).
#include "interface/MenuButton.h"
#include "interface/MenuFocus.h"
#include "interface/MenuOption.h"
#include "render/Camera.h"
#include "render/Font.h"
#include "render/TextureManager.h"

class CGameSound;
class CVehicleObject;

enum MenuState
{
    MENU_NONE = 0,
    MENU_PROFILES = 10,
    MENU_NEW_PROFILE = 11,
    MENU_MAIN = 20,
    MENU_QUICK_RACE = 21,
    MENU_CAREER = 22,
    MENU_NEW_CAREER = 23,
    MENU_MOTORCYCLE = 24,
    MENU_UPGRADE = 30,
    MENU_OPTIONS = 40,
    MENU_GRAPHICS = 41,
    MENU_AUDIO = 42,
    MENU_CONTROLS = 43,
    MENU_CREDITS = 50,
    MENU_RECORDS = 60,
    MENU_EXIT = 100,
    MENU_LOADING = 110,
};

// Indices into CMainMenu::buttons.
enum MenuButtonIndex
{
    BUTTON_PROFILE_SLOT = 0,   // 0..9
    BUTTON_PROFILES_DONE = 10,
    BUTTON_NEW_PROFILE = 11,
    BUTTON_DELETE_PROFILE = 12,
    BUTTON_NAME_DONE = 13,
    BUTTON_QUICK_RACE = 14,
    BUTTON_CONTINUE_CAREER = 15,
    BUTTON_NEW_CAREER = 16,
    BUTTON_RECORDS = 17,
    BUTTON_CHANGE_PROFILE = 18,
    BUTTON_OPTIONS = 19,
    BUTTON_CREDITS = 20,
    BUTTON_EXIT = 21,
    MENU_BUTTON_COUNT = 22,
};

#define MENU_PROFILE_SLOTS   10
#define MENU_PROFILE_PATH    64
#define MENU_RACE_OPTIONS    6
#define MENU_VIDEO_OPTIONS   5
#define MENU_UPGRADE_SYSTEMS 3

// Quick-race choices: [0] track (area 0..2), [1] season 0..2, [2] laps choice
// 0..2 (laps = choice + 1), [3] reverse 0..1, [4] difficulty choice 0..2,
// [5] racers choice (racers = 2 x choice + 8). Zero at program start.
extern int g_QuickRaceOptions[MENU_RACE_OPTIONS];

// What the menu asks of the game above it, connected by ConnectAppLinks.
struct MenuHooks
{
    int (*startRace)(int row);   // loads the row's area and sets up the race
};
extern MenuHooks g_MenuHooks;

class CMainMenu : public CMenuFocus
{
public:
    // Static construction: defaults only (font and camera constructed,
    // widgets white, the pictures the loading screen may load first at -1).
    CMainMenu();

    // Lifecycle, called by the game object. Create always returns 1.
    int Create();
    void Release();
    // Opens the menu on a page, or closes it with MENU_NONE.
    void Show(int state);
    // Enters a page: focus list and entry actions. A value that names no page
    // changes nothing.
    void SetState(int state);
    // Once per frame: keys, then the current page's actions.
    void Update();
    // Once per frame while shown: backdrop, border, page, title.
    void Render();

    // Widgets and keys.
    // The widget table: captions, places, sizes, colours, enabling, and each
    // button's font and focus (this menu).
    void SetWidgets();
    // Clears every button's press latch.
    void ClearLatches();
    void UpdateMenuKeys();
    // The page's back button fired, or Esc is held (the flag is left set).
    int BackFired(CMenuButton* back);

    // Profiles and career data.
    void FindProfiles();
    // 1 when the current profile was read whole; 0 (after the message) with
    // the player in memory unchanged.
    int LoadProfile();
    void SaveProfile(int careerClosed);
    // 1 when the new profile was written and became current; 0 after the
    // message, with every listed profile and the current one unchanged.
    int CreateNewProfile();
    // The name page's text entry: typed characters, Backspace, Enter and Esc.
    void TypeNameKeys();
    void DeleteProfile();

    // Race start: START! on the quick-race or career page; the loading state
    // then starts the race after 2 s of game time.
    void RequestRaceStart(int careerMode);
    void UpdateLoading();
    // Row 18 of the race table from g_QuickRaceOptions (the quick race, or the
    // career race the career page put there).
    void CopyRaceOptionsToRow();

    // Entry actions beyond the focus list (called by SetState).
    void EnterQuickRacePage();
    void EnterCareerPage();
    void EnterUpgradePage();
    void EnterOptionsPage();

    // Per-frame page actions (called by Update).
    void UpdateProfilesPage();
    void UpdateNewProfilePage();
    void UpdateMainPage();
    void UpdateQuickRacePage();
    void UpdateCareerPage();
    void UpdateNewCareerPage();
    void UpdateMotorcyclePage();
    void UpdateUpgradePage();
    void UpdateOptionsPage();
    void UpdateGraphicsPage();
    void UpdateAudioPage();
    void UpdateControlsPage();
    void UpdateCreditsPage();
    void UpdateRecordsPage();

    // Value texts of the race and option rows.
    void UpdateRaceTexts(int withPictures);
    void UpdateOptionTexts();

    // Page drawings (called by Render).
    void DrawProfilesPage();
    void DrawNewProfilePage();
    void DrawMainPage();
    void DrawQuickRacePage();
    void DrawCareerPage();
    void DrawNewCareerPage();
    void DrawMotorcyclePage();
    void DrawUpgradePage();
    void DrawOptionsPage();
    void DrawGraphicsPage();
    void DrawAudioPage();
    void DrawControlsPage();
    void DrawCreditsPage();
    void DrawRecordsTable();
    // present 1: five presented frames of its own (program start, before the
    // menu exists); 0: drawn once into the current frame.
    void DrawLoadingScreen(int present);
    // Title and the two logos, loading each picture on first use.
    void DrawTitle();
    // A showroom model in a screen rectangle with its three upgrade bars;
    // model null draws the career's motorcycle.
    void DrawMotorcycle(float x1, float y1, float x2, float y2, CVehicleObject* model, int withDisc);

    // Helpers of the career pages, defined with those pages.
    void ChangeColourScheme();
    void SelectMotorcycle(int step);
    void StartNewCareer();
    void BuyUpgrade();

    int active;
    float secondsSinceShow;   // game seconds since Show or the race-start request
    int state;
    CFont menuFont;
    TextureId borderTexture;
    TextureId loadingTexture;
    TextureId titleTexture;
    TextureId makerLogoTexture;
    TextureId physicsLogoTexture;
    TextureId trackTextures[9];   // area x 3 + season
    TextureId cupTextures[4];     // three places and the golden cup
    TextureId upgradeTextures[MENU_UPGRADE_SYSTEMS];
    // Only files that could be opened are listed, so slot i always names
    // profilePaths[i].
    int profileCount;
    char profilePaths[MENU_PROFILE_SLOTS][MENU_PROFILE_PATH];
    CMenuButton buttons[MENU_BUTTON_COUNT];
    TextureId trackPicture;
    CMenuOption raceOptions[MENU_RACE_OPTIONS];
    CMenuButton quickStartButton;
    CMenuButton yesButton;
    CMenuButton noButton;
    CMenuButton prevButton;
    CMenuButton nextButton;
    CMenuButton motorcycleSchemeButton;
    CMenuButton motorcycleOkButton;
    CMenuButton careerStartButton;
    CMenuButton careerSchemeButton;
    CMenuButton systemButtons[MENU_UPGRADE_SYSTEMS];
    CMenuButton upgradeOkButton;
    int selectedSystem;
    CMenuButton recordsOkButton;
    CMenuButton graphicsButton;
    CMenuButton audioButton;
    CMenuButton controlsButton;
    CMenuOption videoOptions[MENU_VIDEO_OPTIONS];
    CMenuButton acceptButton;
    CMenuButton cancelButton;
    CMenuOption musicOption;
    CMenuOption effectsOption;
    int pendingMode;
    int pendingDistance;
    int pendingShadows;
    int pendingGlow;
    int pendingBlur;
    CMenuButton backButton;
    CCamera showroomCamera;

    // The upgrade sound (the buttons' own are the focus's); null when it
    // failed to load.
    CGameSound* soundUpgrade;
};

extern CMainMenu g_MainMenu;
