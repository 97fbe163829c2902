#include "core/DebugLog.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "core/RunFlags.h"
#include "core/Settings.h"
#include "platform/os/MessageBox.h"
#include "tests/support/Files.h"
#include "tests/support/TempFolder.h"

namespace
{
class DebugLogTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder.MakeAndEnter("debuglog_test_"));
        dir = folder.path();
        g_DebugLog = 1;
    }
    void TearDown() override
    {
        g_DebugLog = 0;
        ASSERT_TRUE(folder.Remove());
    }
    std::string ReadLog() { return testsupport::ReadFileText("debug.txt"); }
    TempFolder folder;
    std::string dir;
};

TEST_F(DebugLogTest, SwitchedOffTheFileIsNotTouched)
{
    std::ofstream("debug.txt") << "old\n";
    g_DebugLog = 0;
    Log(nullptr);
    int v = 3;
    Log("value %d", &v);
    LogString("name %s", "x");
    EXPECT_EQ(ReadLog(), "old\n");
}

TEST_F(DebugLogTest, NullFormatEmptiesTheFile)
{
    std::ofstream("debug.txt") << "old\n";
    Log(nullptr);
    EXPECT_EQ(ReadLog(), "");
    Log("first");
    Log("second");
    EXPECT_EQ(ReadLog(), "first\nsecond\n");
}

TEST_F(DebugLogTest, FormatsThirtyTwoBitValues)
{
    int a = -42;
    unsigned b = 0xBEEF;
    float f = 1.5f;
    int id = 7, ref = 2;
    struct Case
    {
        const char* format;
        const void* a;
        const void* b;
        const char* line;
    } cases[] = {
        {"Frame %d", nullptr, nullptr, "Frame %d"},   // no values: the format is the line
        {"Value: %d", &a, nullptr, "Value: -42"},
        {"%d and %x", &a, &b, "-42 and beef"},
        {"%5.2f m", &f, nullptr, " 1.50 m"},
        {"ID: %d; REF: %d", &id, &ref, "ID: 7; REF: 2"},
        {"100%% of %d", &id, nullptr, "100% of 7"},
        // Conversions without a matching value are printed as they stand.
        {"%d %d %d", &id, &ref, "7 2 %d"},
        {"%s!", &id, nullptr, "%s!"},
        {"%n%p", &id, nullptr, "%n%p"},
    };
    for (const Case& c : cases)
    {
        Log(nullptr);
        Log(c.format, c.a, c.b);
        EXPECT_EQ(ReadLog(), std::string(c.line) + "\n") << c.format;
    }
}

TEST_F(DebugLogTest, LogStringAppliesTextAndNumber)
{
    Log(nullptr);
    LogString("Texture lost! Name: %s", "Data/Misc/Black.bmp");
    LogString("%s has %d entries", "Objects", 12);
    LogString("literal %s", nullptr);
    LogString("%d first", "text", 0);   // text where a number is asked: printed as is
    EXPECT_EQ(ReadLog(), "Texture lost! Name: Data/Misc/Black.bmp\n"
                         "Objects has 12 entries\n"
                         "literal %s\n"
                         "%d first\n");
}

TEST_F(DebugLogTest, LongLinesAreCut)
{
    Log(nullptr);
    const std::string longText(5000, 'x');
    Log(longText.c_str());
    LogString("%s", longText.c_str());
    int v = 1;
    Log((longText + "%d").c_str(), &v);
    const std::string cut = std::string(LOG_LINE_MAX, 'x') + "\n";
    EXPECT_EQ(ReadLog(), cut + cut + cut);
}

TEST_F(DebugLogTest, UnopenableLogIsIgnored)
{
    ASSERT_EQ(mkdir("debug.txt", 0700), 0);   // cannot be opened as a file
    Log(nullptr);
    Log("nothing");
    LogString("%s", "nothing");
    struct stat st;
    ASSERT_EQ(stat("debug.txt", &st), 0);
    EXPECT_TRUE(S_ISDIR(st.st_mode));
}

std::string s_BoxText, s_BoxCaption;
HWND s_BoxOwner;
int CaptureBox(HWND owner, const char* text, const char* caption, UINT)
{
    s_BoxOwner = owner;
    s_BoxText = text;
    s_BoxCaption = caption;
    return IDOK;
}

TEST_F(DebugLogTest, ShowMessageLogsAndShowsTheBox)
{
    SetMessageBoxHook(CaptureBox);
    HWND saved = g_hwnd;
    g_hwnd = reinterpret_cast<HWND>(0x99);
    Log(nullptr);
    EXPECT_EQ(ShowMessage("Could't save game! 100%d", "SaveGame() error!", 48), IDOK);
    g_hwnd = saved;
    SetMessageBoxHook(nullptr);
    EXPECT_EQ(ReadLog(), "Could't save game! 100%d\n");
    EXPECT_EQ(s_BoxText, "Could't save game! 100%d");
    EXPECT_EQ(s_BoxCaption, "SaveGame() error!");
    EXPECT_EQ(s_BoxOwner, reinterpret_cast<HWND>(0x99));
}
}   // namespace
