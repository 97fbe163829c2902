#pragma once
// The in-race display, drawn on the virtual 800 x 600 screen after the 3D
// passes: the position and lap panel with the racers around the player, the
// speed and gear readout, the minimap, the message box for the penalty and
// the one-time hints, the pause menu and the key help, and the race result
// and career-complete screens. Opening the pause menu, the help or a hint
// holds the race and turns the camera into a slow orbit around the player.
#include "core/CareerData.h"
#include "core/RacerNames.h"
#include "interface/MouseCursor.h"
#include "interface/RaceResult.h"
#include "interface/ScreenQuad.h"
#include "platform/math/D3DXMath.h"
#include "render/Font.h"

class CGameSound;
class CVehicleObject;

enum
{
    HUDMENU_CLOSED = -1,
    HUDMENU_PAUSE = 0,
    HUDMENU_HELP = 1,
};

enum
{
    HUDMSG_NONE = 0,
    HUDMSG_PENALTY = 1,
    HUDMSG_HIGH_JUMP = 2,
    HUDMSG_JUMP_HINT = 3,
    HUDMSG_KICKED = 4,
    HUDMSG_COUNT = 5,
};

#define HUD_MESSAGE_LINES     16
#define HUD_MESSAGE_LINE_SIZE 128
#define HUD_MESSAGE_WIDTH     480.0f
#define HUD_HINT_SPACING_MS   20000

// The message texts by id ('/' breaks a line); ids above 4 have none.
extern const char* const g_HudMessages[HUDMSG_COUNT];
extern const char* const g_PauseItems[3];
extern const char* const g_HelpRows[10][2];

// Fade of a panel: toward 1 while `on`, toward 0 otherwise, at 2.5 per
// second of `step`.
float HudFade(float fade, int on, float step);
// Alpha byte of a fade (int(fade x 254)).
int HudAlpha(float fade);
// Colour float to byte as int(c x 255), low 8 bits kept.
int HudColourByte(float c);
DWORD HudColour(const D3DXCOLOR& c, int alpha);
// The race-table row of the race shown: the current race, or the quick-race
// row when that names no row.
int HudRaceRow();

// Cuts a message into lines at each '/', a piece also at its last blank
// before `widthOf` of the line reaches `maxWidth`; the separating '/' or
// blank is dropped. At most 16 lines of 127 characters. Returns the count.
int WrapMessageText(const char* text, float maxWidth, float (*widthOf)(const char* text, void* context), void* context,
                    char lines[HUD_MESSAGE_LINES][HUD_MESSAGE_LINE_SIZE]);

// The lap shown: int(point / (count / laps)) + 1; 1 when the path holds
// fewer points than laps or the row has no laps.
int HudCurrentLap(int pathPoint, int pathCount, int laps);

// The racers listed around the player: from the racer ahead (the player's
// own place when first), at most three, never past the racers in the order
// or the row's racer count. Returns how many; *first takes the first place.
int HudRacerWindow(int playerPosition, int orderCount, int rowRacers, int* first);

// The gap text ("%+.0f" and the metre glyph) and its colour: red when the
// racer is ahead (gap above 0), green otherwise.
DWORD HudGapText(float gap, char* out, int outSize, int alpha);

// The speed in km/h truncated and the gear + 1, as printed; a speed that is
// not finite reads 0.
void HudSpeedTexts(float speed, int gear, char* speedText, char* gearText, int size);
// The speed the readout shows, km/h: the velocity along the motorcycle's
// heading (negative backwards), so that a drop straight down, as after a
// respawn, reads no speed.
float HudRoadSpeed(const float velocity[3], const float forward[3]);
// The same for a motorcycle: its velocity along its forward row.
float HudShownSpeed(const CVehicleObject& v);

class CGameHUD
{
public:
    CGameHUD();

    int Create();
    void Release();
    void Render();
    int ShowMessage(int id, float duration, const D3DXCOLOR* colour, float scale);
    void SetMenuMode(int mode);
    void DrawRaceInfo();
    void DrawSpeedometer();
    void DrawMessage();
    void DrawMiniMap();
    void ShowRaceResult(int show);
    void DrawRaceResult();
    void DrawCareerComplete();

    // The readouts' condition: the player's motorcycle under the keys with
    // its rider on it and the camera in view mode 1 to 3.
    int ReadoutsShown() const;
    // Fades a readout panel (`*fade`) in while the readouts are shown and out
    // otherwise; the alpha byte to draw it with, or -1 when it is not drawn
    // (faded out, or no player).
    int FadeReadout(float* fade);
    // Esc and F1 of the frame (the overlay's own keys come later).
    void HandleMenuKeys();
    void DrawOverlay();
    // The overlay's keys, once it has fully faded in.
    void HandleOverlayKeys();
    // The race held (HoldGame: not running, clock paused) with an orbit when the
    // camera's view mode is between 1 and maxViewMode.
    void HoldRace(const D3DXVECTOR3& eyeOffset, int maxViewMode);
    void EndOrbit();
    void CloseMessage();
    void PlaySound(CGameSound* sound);

    CFont font;
    TextureId iconsTexture;
    CScreenQuad arrowQuad;
    float minimapAlpha;
    CScreenQuad gaugeQuad;
    float speedometerAlpha, raceInfoAlpha;
    int menuMode, previousMenuMode, overlayOpen;
    float overlayAlpha;
    int cameraOrbit;
    int pauseItem;

    float messageAlpha, messageElapsed, messageDuration;
    int messageId;
    char messageLines[HUD_MESSAGE_LINES][HUD_MESSAGE_LINE_SIZE];
    int lineCount;
    D3DXCOLOR lineColours[HUD_MESSAGE_LINES];
    float lineScales[HUD_MESSAGE_LINES];

    // How often each message was shown: the profile's counters, which the
    // menu reads and writes with the profile.
    int* hintCount;
    int lastHintTime;   // game clock, ms

    int resultChoice, resultOpen, resultDismissed;
    float resultAlpha;
    int careerComplete;
    float careerCompleteTime;
    ResultScreenState result;   // rows, fades and sound flags of the screen
    CGameSound* rowSound;       // "RRS1"
    CGameSound* pointsSound;    // "RRS2"
    CGameSound* fillSound;      // "NewUpgr1"
    CGameSound* upgradeSound;   // "NewUpgr2"

    // The rival names; the same table the records' defaults read.
    char (*racerNames)[RACER_NAME_ENTRIES][RACER_NAME_SIZE];

    CGameSound* moveSound;    // "Bt_In"
    CGameSound* pressSound;   // "Bt_Pr"
    CMouseCursor cursor;
};

extern CGameHUD g_GameHUD;
