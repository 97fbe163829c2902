// Every "Game.ini" setting probed at and just beyond both ends of its range,
// through the file: what reading keeps, what writing back stores, and what the
// first-start reset gives. The expectations are written out here rather than
// taken from the settings table, so a wrong row in the table shows up.
#include <gtest/gtest.h>

#include <climits>
#include <fstream>
#include <set>
#include <string>

#include "core/Settings.h"
#include "core/SettingsTable.h"
#include "platform/os/Ini.h"
#include "tests/support/Files.h"
#include "tests/support/TempFolder.h"

namespace
{
// One line "key=text" in the file; the global after reading; the text writing
// back stores (nullptr: the key is never written, so the file keeps text).
struct Probe
{
    const char* text;
    int stored;
    const char* written;
};

const int kKeep = INT_MIN;   // ResetSettings leaves the global alone

struct Expected
{
    const char* section;
    const char* key;
    int* global;
    int missing;   // the global when the key is missing
    Probe justBelow, atMin, atMax, justAbove;
    int reset;               // with the limits 500, 3, 1, 1
    int resetLowered;        // with the limits 400, 2, 0, 0
    const char* resetText;   // the file after the reset with the full limits from 42
};

// A setting without a range keeps any int; text beyond the int range saturates.
Expected Unbounded(const char* section, const char* key, int* global, int missing, bool written)
{
    const char* low = written ? "-2147483648" : nullptr;
    const char* high = written ? "2147483647" : nullptr;
    return {section,
            key,
            global,
            missing,
            {"-99999999999", INT_MIN, low},
            {"-2147483648", INT_MIN, low},
            {"2147483647", INT_MAX, high},
            {"99999999999", INT_MAX, high},
            kKeep,
            kKeep,
            written ? "42" : nullptr};
}

// A volume: 0..100, full at the start and after the reset.
Expected Volume(const char* key, int* global)
{
    return {"Audio", key, global, 100, {"-1", 0, "0"}, {"0", 0, "0"}, {"100", 100, "100"}, {"101", 100, "100"},
            100,     100, "100"};
}

const Expected kExpected[] = {
    {"Video",
     "Mode",
     &g_VideoMode,
     1,
     {"-1", 0, "0"},
     {"0", 0, "0"},
     {"2147483647", INT_MAX, "2147483647"},
     {"99999999999", INT_MAX, "2147483647"},
     100,
     100,
     "100"},
    // World units: the file's number x 100 + 300, held to 0..limit.
    {"Video",
     "Distance",
     &g_ViewDistance,
     500,
     {"-4", 0, "-3"},
     {"-3", 0, "-3"},
     {"2", 500, "2"},
     {"3", 500, "2"},
     500,
     400,
     "2"},
    {"Video", "Shadows", &g_ShadowQuality, 3, {"-1", 0, "0"}, {"0", 0, "0"}, {"3", 3, "3"}, {"4", 3, "3"}, 3, 2, "3"},
    {"Video", "Glow", &g_GlowOn, 1, {"-1", 0, "0"}, {"0", 0, "0"}, {"1", 1, "1"}, {"2", 1, "1"}, 1, 0, "1"},
    {"Video", "Blur", &g_BlurOn, 1, {"-1", 0, "0"}, {"0", 0, "0"}, {"1", 1, "1"}, {"2", 1, "1"}, 1, 0, "1"},
    Unbounded("Video", "Windowed", &g_Windowed, 0, false),
    Unbounded("Audio", "Audio", &g_SoundOn, 1, false),
    Volume("Master", &g_MasterVolume),
    Volume("Music", &g_MusicVolume),
    Volume("Effects", &g_EffectsVolume),
    Unbounded("Misc", "File manager", &g_UseFileManager, 1, false),
    Unbounded("Misc", "BMP to JPG", &g_BmpToJpg, 1, false),
    Unbounded("Misc", "Game menu", &g_GameMenu, 1, false),
    Unbounded("Misc", "Debug out", &g_DebugMode, 0, false),
    Unbounded("Misc", "Editor mode", &g_EditorMode, 0, false),
    // The last profile number used: held to the file numbers, so the next one
    // never overflows.
    {"Misc",
     "Profiles",
     &g_ProfileCounter,
     0,
     {"-1", 0, "0"},
     {"0", 0, "0"},
     {"99999", 99999, "99999"},
     {"99999999999", 99999, "99999"},
     kKeep,
     kKeep,
     "42"},
    // A row outside the race table starts row 0, not the nearest row.
    {"Misc",
     "RaceID",
     &g_RaceID,
     0,
     {"-1", 0, "0"},
     {"0", 0, "0"},
     {"18", 18, "18"},
     {"19", 0, "0"},
     kKeep,
     kKeep,
     "42"},
};

class SettingsTableTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder.MakeAndEnter("settings_table_test_"));
        g_SettingLimits = {500, 3, 1, 1};
    }
    void TearDown() override
    {
        g_SettingLimits = {500, 3, 1, 1};
        // Back to the start values, so no other test sees a probe's value.
        ReadGameIni("no such file.ini");
        ASSERT_TRUE(folder.Remove());
    }

    static void WriteIni(const std::string& text) { std::ofstream("Game.ini", std::ios::binary) << text; }
    static std::string ReadIni() { return testsupport::ReadFileText("Game.ini"); }
    static std::string IniValue(const char* section, const char* key)
    {
        char buf[128];
        GetPrivateProfileStringA(section, key, "<missing>", buf, sizeof(buf), "Game.ini");
        return buf;
    }

    TempFolder folder;
};

TEST_F(SettingsTableTest, EveryRowOfTheTableIsExpectedHere)
{
    std::set<std::string> expected;
    for (const Expected& x : kExpected)
        expected.insert(std::string(x.section) + "/" + x.key);
    std::set<std::string> inTable;
    for (const SettingEntry& e : SettingsTable())
    {
        const std::string name = std::string(e.section) + "/" + e.key;
        EXPECT_TRUE(inTable.insert(name).second) << name << " twice in the table";
        const Expected* x = nullptr;
        for (const Expected& c : kExpected)
            if (name == std::string(c.section) + "/" + c.key)
                x = &c;
        ASSERT_NE(x, nullptr) << name << " has no expectations";
        EXPECT_EQ(e.value, x->global) << name << " fills the wrong global";
    }
    EXPECT_EQ(inTable, expected);
}

TEST_F(SettingsTableTest, ValuesAtAndBeyondTheRangeAreKeptOrClampedAndWrittenBack)
{
    for (const Expected& x : kExpected)
    {
        for (const Probe& probe : {x.justBelow, x.atMin, x.atMax, x.justAbove})
        {
            const std::string what = std::string(x.key) + "=" + probe.text;
            WriteIni(std::string("[") + x.section + "]\n" + x.key + "=" + probe.text + "\n");
            ReadGameIni("Game.ini");
            EXPECT_EQ(*x.global, probe.stored) << what;
            if (x.global == &g_DebugMode)   // one switch for the debug keys and the log
            {
                EXPECT_EQ(g_DebugLog, probe.stored) << what;
            }
            WriteGameIni();
            EXPECT_EQ(IniValue(x.section, x.key), probe.written ? probe.written : probe.text) << what;
        }
    }
}

TEST_F(SettingsTableTest, MissingKeysReadAsTheirDefaults)
{
    for (const Expected& x : kExpected)
        *x.global = 42;
    g_DebugLog = 42;
    ReadGameIni("Game.ini");
    for (const Expected& x : kExpected)
        EXPECT_EQ(*x.global, x.missing) << x.key;
    EXPECT_EQ(g_DebugLog, 0);
}

TEST_F(SettingsTableTest, ResetGivesTheFirstStartValuesUnderTheCurrentLimits)
{
    struct Limits
    {
        SettingLimits limits;
        int Expected::*reset;
    } runs[] = {{{500, 3, 1, 1}, &Expected::reset}, {{400, 2, 0, 0}, &Expected::resetLowered}};
    for (const Limits& run : runs)
    {
        WriteIni("");
        g_SettingLimits = run.limits;
        for (const Expected& x : kExpected)
            *x.global = 42;
        ResetSettings();
        for (const Expected& x : kExpected)
            EXPECT_EQ(*x.global, x.*run.reset == kKeep ? 42 : x.*run.reset)
                << x.key << " with the distance limit " << run.limits.viewDistance;
    }

    // The file after the reset with the full limits: only the written keys.
    g_SettingLimits = {500, 3, 1, 1};
    for (const Expected& x : kExpected)
        *x.global = 42;
    WriteIni("");
    ResetSettings();
    for (const Expected& x : kExpected)
        EXPECT_EQ(IniValue(x.section, x.key), x.resetText ? x.resetText : "<missing>") << x.key;
}

TEST_F(SettingsTableTest, WrittenInTheFileOrder)
{
    WriteIni("");
    g_VideoMode = 3;
    g_ViewDistance = 400;
    g_ShadowQuality = 2;
    g_GlowOn = 0;
    g_BlurOn = 1;
    g_MasterVolume = 10;
    g_MusicVolume = 20;
    g_EffectsVolume = 30;
    g_ProfileCounter = 7;
    g_RaceID = 5;
    WriteGameIni();
    const std::string text = ReadIni();
    const char* inOrder[] = {"[Video]",   "Mode=3",   "Distance=1", "Shadows=2", "Glow=0",     "Blur=1",  "[Audio]",
                             "Master=10", "Music=20", "Effects=30", "[Misc]",    "Profiles=7", "RaceID=5"};
    size_t at = 0;
    for (const char* line : inOrder)
    {
        const size_t found = text.find(line, at);
        ASSERT_NE(found, std::string::npos) << line << " after position " << at << " in\n" << text;
        at = found + 1;
    }
}
}   // namespace
