#include "tests/support/TempFolder.h"

#include <unistd.h>

#include <filesystem>
#include <system_error>

namespace testsupport
{

std::string MakeTempFolder(const char* prefix)
{
    std::string pattern = std::string("/tmp/") + prefix + "XXXXXX";
    if (!mkdtemp(&pattern[0]))
        return std::string();
    return pattern;
}

void RemoveFolder(const std::string& path)
{
    if (path.empty())
        return;
    std::error_code ignored;
    std::filesystem::remove_all(path, ignored);
}

}   // namespace testsupport

bool TempFolder::Make(const char* prefix)
{
    Remove();
    m_Path = testsupport::MakeTempFolder(prefix);
    return !m_Path.empty();
}

bool TempFolder::MakeAndEnter(const char* prefix)
{
    if (!Make(prefix))
        return false;
    char cwd[4096];
    if (!getcwd(cwd, sizeof(cwd)) || chdir(m_Path.c_str()) != 0)
        return false;
    m_SavedCwd = cwd;
    return true;
}

bool TempFolder::Leave()
{
    if (m_SavedCwd.empty())
        return true;
    const bool back = chdir(m_SavedCwd.c_str()) == 0;
    m_SavedCwd.clear();
    return back;
}

bool TempFolder::Remove()
{
    const bool back = Leave();
    testsupport::RemoveFolder(m_Path);
    m_Path.clear();
    return back;
}
