#pragma once
// A fresh folder under /tmp for one test, optionally entered as the working
// folder (the program writes its settings, log and data relative to it), and
// removed with everything in it afterwards.
#include <string>

namespace testsupport
{

// Makes "/tmp/<prefix>XXXXXX" and returns its path; empty when it cannot be
// made. The caller removes it.
std::string MakeTempFolder(const char* prefix);

// Deletes the folder with everything in it; nothing for an empty path.
void RemoveFolder(const std::string& path);

}   // namespace testsupport

class TempFolder
{
public:
    TempFolder() = default;
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    ~TempFolder() { Remove(); }

    // Makes "/tmp/<prefix>XXXXXX" (removing the one made before); false when
    // it cannot be made.
    bool Make(const char* prefix);

    // Makes the folder and makes it the working folder; Leave or Remove goes
    // back to the one before.
    bool MakeAndEnter(const char* prefix);

    // Back to the working folder before MakeAndEnter; false when that fails.
    bool Leave();

    // Leaves it and deletes it with everything in it; false when going back
    // to the earlier working folder fails.
    bool Remove();

    const std::string& path() const { return m_Path; }

private:
    std::string m_Path;
    std::string m_SavedCwd;
};
