#pragma once
// Saves that go wrong the way they do on a player's machine: the program
// killed in the middle of writing, a disk that is full, a folder that is
// mounted read-only. Each runs in a forked child, so the faults (file size
// limits, private mounts) never reach the test program itself.
//
// We run as root, for whom permission bits stop nothing, so the read-only
// folder is a real read-only mount: a small tmpfs in a mount namespace of the
// child's own (a user namespace when plain root cannot make one).
#include <functional>
#include <string>
#include <vector>

namespace testsupport
{

enum class DiskFault
{
    FileTooLarge,    // the file size limit trips in the middle of the write
    DiskFull,        // every block of the folder's disk is taken
    ReadOnly,        // the folder's disk is mounted read-only
    TempIsAFolder,   // a folder is left where the save's temporary file goes
};

const char* DiskFaultName(DiskFault fault);

struct ChildOutcome
{
    bool exited = false;   // returned from its body
    int signal = 0;        // the signal that ended it, 0 when it exited
    // What the body returned: empty when every check held, "skip: why" when
    // the fault cannot be made here, otherwise the checks that failed.
    std::string report;
};

// Runs `body` in a forked child and waits for it.
ChildOutcome RunInChild(const std::function<std::string()>& body);

// Runs `body` in a forked child as a user the file permissions hold back:
// as itself when it is not root, otherwise as the user "nobody" (65534). The
// report is "skip: why" when no such user can be taken.
ChildOutcome RunUnprivileged(const std::function<std::string()>& body);

// Makes `file` (in a folder below the working folder) one that nobody can read
// but anybody could replace: the file write-only, its folder and the working
// folder open to all. What RunUnprivileged's body then finds is a save it
// cannot read. Returns false when a permission cannot be set.
bool MakeUnreadableButReplaceable(const std::string& file);

// A check for a child's body: appends `what` to `failures` when `ok` is false.
void Check(std::string& failures, bool ok, const std::string& what);

// In a child only. Puts a small empty disk of its own over the working folder
// (seen by nobody else) and enters it. Returns "" or "skip: why".
std::string MountScratchDisk();

// In a child only, after MountScratchDisk: from now on writes fail with the
// fault, until HealFault. `saves` names the files whose saves TempIsAFolder
// spoils. Return "" or what went wrong.
std::string ArmFault(DiskFault fault, const std::vector<std::string>& saves = {});
std::string HealFault(DiskFault fault, const std::vector<std::string>& saves = {});

// In a child only: the first write that takes any file past `bytes` kills the
// process on the spot (SIGKILL), half-way through that write.
void KillWhenAFileGrowsPast(long bytes);

}   // namespace testsupport
