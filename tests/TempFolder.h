#pragma once
// A fresh folder under /tmp for one test, optionally entered as the working
// folder (the program writes its settings, log and data relative to it), and
// removed with everything in it afterwards.
#include <unistd.h>

#include <filesystem>
#include <string>
#include <system_error>

class TempFolder
{
public:
    TempFolder() = default;
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    ~TempFolder() { Remove(); }

    // Makes "/tmp/<prefix>XXXXXX" (removing the one made before); false when
    // it cannot be made.
    bool Make(const char* prefix)
    {
        Remove();
        std::string pattern = std::string("/tmp/") + prefix + "XXXXXX";
        if (!mkdtemp(&pattern[0]))
            return false;
        m_Path = pattern;
        return true;
    }

    // Makes the folder and makes it the working folder; Leave or Remove goes
    // back to the one before.
    bool MakeAndEnter(const char* prefix)
    {
        if (!Make(prefix))
            return false;
        char cwd[4096];
        if (!getcwd(cwd, sizeof(cwd)) || chdir(m_Path.c_str()) != 0)
            return false;
        m_SavedCwd = cwd;
        return true;
    }

    // Back to the working folder before MakeAndEnter; false when that fails.
    bool Leave()
    {
        if (m_SavedCwd.empty())
            return true;
        const bool back = chdir(m_SavedCwd.c_str()) == 0;
        m_SavedCwd.clear();
        return back;
    }

    // Leaves it and deletes it with everything in it; false when going back
    // to the earlier working folder fails.
    bool Remove()
    {
        const bool back = Leave();
        if (!m_Path.empty())
        {
            std::error_code ignored;
            std::filesystem::remove_all(m_Path, ignored);
            m_Path.clear();
        }
        return back;
    }

    const std::string& path() const { return m_Path; }

private:
    std::string m_Path;
    std::string m_SavedCwd;
};
