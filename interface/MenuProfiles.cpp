// Player profiles: listing, loading, saving, creating and deleting the
// "Save/ProfileNN.sav" files, and the two profile pages' actions.
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "core/CareerData.h"
#include "core/Controls.h"
#include "core/DebugLog.h"
#include "core/FileManager.h"
#include "core/InputState.h"
#include "core/Records.h"
#include "core/Settings.h"
#include "interface/MainMenu.h"
#include "platform/os/FileOpen.h"
#include "racers/VehicleManager.h"
#include "racers/VehicleObject.h"
#include "render/Font.h"

namespace
{
const char* const kSaveFolder = "Save";

// The base upgrade levels of a showroom model, 0 when it is not loaded.
void ModelBaseLevels(int model, int out[CAREER_SYSTEMS])
{
    const CVehicleObject* v = (model >= 0 && model < VEHICLE_MODELS) ? g_Vehicles.showroom[model] : nullptr;
    for (int i = 0; i < CAREER_SYSTEMS; ++i)
        out[i] = v ? v->FileUpgradeLevels[i] : 0;
}

// The whole file into `out`; false when it cannot be opened. Reads one byte
// more than a profile has so that a long file is told apart.
bool ReadWholeFile(const char* path, uint8_t* out, size_t capacity, size_t* size)
{
    int handle = g_FileManager.Open(path, FILE_BINARY, nullptr);
    if (handle == -1)
        return false;
    *size = g_FileManager.Read(out, 1, capacity, handle);
    g_FileManager.Close(handle);
    return true;
}

// Writes a profile through a temporary file that replaces the old one only
// when every byte was written.
bool WriteProfileFile(const char* path, const ProfileImage& image)
{
    // A file there that cannot be read may hold a whole career: it is never
    // written over.
    const std::string unreadable = UnreadableReason(path);
    if (!unreadable.empty())
    {
        LogString("%s", unreadable.c_str());
        return false;
    }
    uint8_t bytes[PROFILE_FILE_SIZE];
    WriteProfileBytes(image, bytes);
    int handle = g_FileManager.OpenForWrite(path, FILE_BINARY);
    if (handle == -1)
        return false;
    size_t written = g_FileManager.Write(bytes, 1, sizeof(bytes), handle);
    g_FileManager.Close(handle);
    if (written != sizeof(bytes))
        return false;
    // The file takes its name only on closing; read it back to know that it
    // did, so a failure is never reported as a save.
    uint8_t check[PROFILE_FILE_SIZE + 1];
    size_t size = 0;
    return ReadWholeFile(path, check, sizeof(check), &size) && size == sizeof(bytes) &&
           std::memcmp(check, bytes, sizeof(bytes)) == 0;
}

ProfileImage CurrentImage(int careerClosed)
{
    ProfileImage image;
    std::memset(&image, 0, sizeof(image));
    std::memcpy(image.name, g_PlayerName, PROFILE_NAME_SIZE);
    image.name[PROFILE_NAME_SIZE - 1] = 0;
    image.careerClosed = careerClosed;
    image.career = g_Career;
    std::copy(g_HintCount, g_HintCount + HINT_COUNTERS, image.hintCount);
    return image;
}

// The profile files in number order, so "the first listed" is the oldest and
// the same on every machine whatever order the directory keeps.
std::vector<std::string> ListProfileFiles()
{
    std::vector<std::string> names;
    std::error_code ec;
    for (std::filesystem::directory_iterator it(kSaveFolder, ec), end; !ec && it != end; it.increment(ec))
    {
        if (it->is_directory(ec))
            continue;
        std::string name = it->path().filename().string();
        if (name.size() > 11 && name.compare(0, 7, "Profile") == 0 && name.compare(name.size() - 4, 4, ".sav") == 0 &&
            name.size() < MENU_PROFILE_PATH - 6)
            names.push_back(name);
    }
    // Numbers only grow, so shorter names are older ("Profile99" before
    // "Profile100").
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        return a.size() != b.size() ? a.size() < b.size() : a < b;
    });
    return names;
}
// Anything at all standing at the name: a file, a folder, a link.
bool NameTaken(const char* path)
{
    struct stat st;
    return lstat(path, &st) == 0 || errno != ENOENT;
}

// The first number after `last` whose file name and the temporary name its
// save writes first are both free, going round to 1
// past the highest number; -1 when every number is taken. A number is never
// given to a file that is there, whatever "Profiles" says (it may have been
// reset with the settings while the profiles stayed).
int NextFreeProfileNumber(int last, char (&path)[MENU_PROFILE_PATH])
{
    int number = last < 0 || last >= PROFILE_NUMBER_MAX ? 0 : last;
    for (int tries = 0; tries < PROFILE_NUMBER_MAX; ++tries)
    {
        number = number >= PROFILE_NUMBER_MAX ? 1 : number + 1;
        std::snprintf(path, sizeof(path), "%s/Profile%02d.sav", kSaveFolder, number);
        // The temporary name too: a save writes there first.
        if (!NameTaken(path) && !NameTaken(TempFileName(path).c_str()))
            return number;
    }
    return -1;
}
}   // namespace

void CMainMenu::FindProfiles()
{
    for (int i = 0; i < MENU_PROFILE_SLOTS; ++i)
    {
        buttons[i].SetText("-");
        buttons[i].enabled = 0;
        profilePaths[i][0] = 0;
    }
    profileCount = 0;

    // Only files that open are listed, so slot i and path i always name the
    // same file.
    for (const std::string& name : ListProfileFiles())
    {
        if (profileCount >= MENU_PROFILE_SLOTS)
            break;
        char path[MENU_PROFILE_PATH];
        std::snprintf(path, sizeof(path), "%s/%s", kSaveFolder, name.c_str());
        int handle = g_FileManager.Open(path, FILE_BINARY, nullptr);
        if (handle == -1)
            continue;
        char shown[PROFILE_NAME_SIZE + 1] = {};
        g_FileManager.Read(shown, 1, PROFILE_NAME_SIZE, handle);
        g_FileManager.Close(handle);
        std::memcpy(profilePaths[profileCount], path, sizeof(path));
        buttons[profileCount].SetText(shown[0] ? shown : "?");
        buttons[profileCount].enabled = 1;
        ++profileCount;
    }
    buttons[BUTTON_PROFILES_DONE].enabled = profileCount > 0;
    g_CurrentProfile = profileCount > 0 ? 0 : -1;
}

int CMainMenu::LoadProfile()
{
    if (g_CurrentProfile < 0 || g_CurrentProfile >= profileCount)
        return 0;
    uint8_t bytes[PROFILE_FILE_SIZE + 1];
    size_t size = 0;
    ProfileImage image;
    if (!ReadWholeFile(profilePaths[g_CurrentProfile], bytes, sizeof(bytes), &size) ||
        ReadProfileBytes(bytes, size, &image) != PROFILE_OK)
    {
        // A damaged file changes nothing: the player in memory stays whole.
        ShowMessage("Could't load profile!", "LoadProfile() error!", 0);
        return 0;
    }
    std::memcpy(g_PlayerName, image.name, PROFILE_NAME_SIZE);
    g_Career = image.career;
    std::copy(image.hintCount, image.hintCount + HINT_COUNTERS, g_HintCount);
    buttons[BUTTON_CONTINUE_CAREER].enabled = image.careerClosed == 0;
    return 1;
}

void CMainMenu::SaveProfile(int careerClosed)
{
    if (g_CurrentProfile < 0 || g_CurrentProfile >= profileCount)
        return;
    if (!WriteProfileFile(profilePaths[g_CurrentProfile], CurrentImage(careerClosed)))
    {
        ShowMessage("Could't save profile!", "SaveProfile() error!", 0);
        return;
    }
    buttons[BUTTON_CONTINUE_CAREER].enabled = 1;
}

int CMainMenu::CreateNewProfile()
{
    g_FileManager.CreateFolder(kSaveFolder);
    char path[MENU_PROFILE_PATH];
    const int number = NextFreeProfileNumber(g_ProfileCounter, path);

    // The new player's data, written before anything else changes: a file
    // that cannot be written leaves every other profile and the current one
    // as they were.
    CareerData career;
    int base[CAREER_SYSTEMS];
    ModelBaseLevels(0, base);
    SetDefaultCareer(&career, base);
    career.decalId = -1;
    ProfileImage image;
    std::memset(&image, 0, sizeof(image));
    std::memcpy(image.name, g_PlayerName, PROFILE_NAME_SIZE);
    image.name[PROFILE_NAME_SIZE - 1] = 0;
    image.careerClosed = 1;
    image.career = career;
    if (number < 0 || !WriteProfileFile(path, image))
    {
        ShowMessage("Could't create new profile!", "CreateNewProfile() error!", 48);
        return 0;
    }
    g_ProfileCounter = number;

    if (profileCount >= MENU_PROFILE_SLOTS)
    {
        // The list is full: the first listed (oldest) profile makes room, now
        // that the new one is safely on disk.
        std::remove(profilePaths[0]);
        for (int i = 1; i < profileCount; ++i)
            std::memcpy(profilePaths[i - 1], profilePaths[i], MENU_PROFILE_PATH);
        --profileCount;
    }
    std::memcpy(profilePaths[profileCount], path, MENU_PROFILE_PATH);
    g_CurrentProfile = profileCount;
    ++profileCount;

    g_Career = career;
    std::fill(g_HintCount, g_HintCount + HINT_COUNTERS, 0);
    WriteGameIni();
    SetRecordsPlayer();   // a new profile holds no score entry until it scores
    buttons[BUTTON_CONTINUE_CAREER].enabled = 0;
    return 1;
}

void CMainMenu::DeleteProfile()
{
    if (g_CurrentProfile < 0 || g_CurrentProfile >= profileCount)
        return;
    std::remove(profilePaths[g_CurrentProfile]);
    FindProfiles();
    // DONE is disabled when nothing is left, so nothing loads from the empty list.
    g_CurrentProfile = profileCount > 0 ? 0 : -1;
}

void CMainMenu::UpdateProfilesPage()
{
    for (int i = 0; i < MENU_PROFILE_SLOTS; ++i)
        if (buttons[i].IsPressed() && i < profileCount)
            g_CurrentProfile = i;
    // A profile that cannot be read keeps the page: going on would play,
    // and later save, the previous player's career under this file.
    if (buttons[BUTTON_PROFILES_DONE].IsPressed() && g_CurrentProfile != -1 && LoadProfile())
    {
        // The records table shows the player now playing, not the profile
        // made or played before.
        ClaimRecordsPlayer(g_Career.totalScore);
        SetState(MENU_MAIN);
    }
    if (buttons[BUTTON_NEW_PROFILE].IsPressed())
        SetState(MENU_NEW_PROFILE);
    if (buttons[BUTTON_DELETE_PROFILE].IsPressed())
        DeleteProfile();
}

void CMainMenu::TypeNameKeys()
{
    size_t len = strnlen(g_PlayerName, PROFILE_NAME_SIZE - 1);
    if (g_TextInput == 1 && g_TextChar != 0)
    {
        char c = (char)g_TextChar;
        char next[PROFILE_NAME_SIZE + 1] = {};
        std::memcpy(next, g_PlayerName, len);
        next[len] = c;
        if (c >= ' ' && menuFont.GetCharIndex(c) != CFont::NO_GLYPH && len < PROFILE_NAME_SIZE - 1 &&
            menuFont.GetTextWidth(g_PlayerName, 0.75f, 0) < 300.0f)
        {
            g_PlayerName[len] = c;
            g_PlayerName[len + 1] = 0;
        }
    }
    if (g_TextInput == 1)
        g_TextChar = 0;
    len = strnlen(g_PlayerName, PROFILE_NAME_SIZE - 1);
    if (g_TextInput == 3)
    {
        if (len > 0)
            g_PlayerName[len - 1] = 0;
        g_TextInput = 1;
    }
    else if (g_TextInput == 2 && len == 0)
        g_TextInput = 1;
    else if (g_TextInput == 4)
        g_TextInput = 1;
}

void CMainMenu::UpdateNewProfilePage()
{
    TypeNameKeys();
    int hasName = g_PlayerName[0] != 0;
    buttons[BUTTON_NAME_DONE].enabled = hasName;
    if ((g_TextInput == 2 || buttons[BUTTON_NAME_DONE].IsPressed()) && hasName)
    {
        g_TextInput = 0;
        g_TextChar = 0;
        // A profile that could not be written stays on this page: going on
        // would leave the current profile naming another player's file.
        if (!CreateNewProfile())
        {
            g_TextInput = 1;
            return;
        }
        SetState(MENU_MOTORCYCLE);
        return;
    }
    if (profileCount != 0 && BackFired(&backButton))
    {
        g_TextInput = 0;
        g_TextChar = 0;
        SetState(MENU_PROFILES);
    }
}
