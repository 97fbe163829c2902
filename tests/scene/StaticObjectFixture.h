#pragma once
// Test data folders: files written as loose files and packed into the four
// archives, the working folder changed to them and the file manager opened in
// pack or loose mode. Shared by the static object and landscape tests.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "core/FileManager.h"
#include "core/Settings.h"
#include "platform/os/MessageBox.h"
#include "tests/support/Paths.h"
#include "tests/support/TempFolder.h"
#include "tools/DataTree.h"

namespace testdata
{

// A description line: the label padded to the 32-character column, then the value.
inline std::string Line(const std::string& label, const std::string& value = "")
{
    std::string l = label;
    l.resize(32, ' ');
    return l + value + "\n";
}

// Messages shown while a MessageCapture lives: "caption|text".
inline std::vector<std::string>& Messages()
{
    static std::vector<std::string> messages;
    return messages;
}

struct MessageCapture
{
    MessageCapture()
    {
        Messages().clear();
        SetMessageBoxHook(&Capture);
    }
    ~MessageCapture() { SetMessageBoxHook(nullptr); }
    static int Capture(HWND, const char* text, const char* caption, UINT)
    {
        Messages().push_back(std::string(caption ? caption : "") + "|" + (text ? text : ""));
        return 1;
    }
};

// Makes a fresh folder, writes the tree into it and opens the file manager
// there; the destructor closes it and goes back.
class DataFolder
{
public:
    DataFolder(const DataTree& tree, bool packs)
    {
        m_Dir = testsupport::MakeTempFolder("trallowmere-data-");
        if (m_Dir.empty())
        {
            ADD_FAILURE() << "no temporary folder";
            m_Keep = true;
            return;
        }
        tree.WriteAll(m_Dir);
        Enter(m_Dir, packs);
    }
    // An existing data root (the generated demo data), not deleted afterwards.
    DataFolder(const std::string& root, bool packs) : m_Keep(true) { Enter(root, packs); }
    ~DataFolder()
    {
        g_FileManager.Release();
        if (!m_SavedCwd.empty())
        {
            EXPECT_EQ(chdir(m_SavedCwd.c_str()), 0);
        }
        if (!m_Keep)
            testsupport::RemoveFolder(m_Dir);
    }
    const std::string& Dir() const { return m_Dir; }

private:
    void Enter(const std::string& dir, bool packs)
    {
        m_Dir = dir;
        char cwd[4096];
        if (getcwd(cwd, sizeof(cwd)))
            m_SavedCwd = cwd;
        EXPECT_EQ(chdir(dir.c_str()), 0);
        g_FileManager.Release();
        g_UseFileManager = packs ? 1 : 0;
        g_FileManager.Create();
    }

    std::string m_Dir;
    std::string m_SavedCwd;
    bool m_Keep = false;
};

}   // namespace testdata
