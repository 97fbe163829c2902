#pragma once
#include <string>

// A start counter that lives until the machine restarts: a 4-byte count in
// "<folder>/Brenhold/<appName>/Started", the folder being $XDG_RUNTIME_DIR
// (a tmpfs emptied at every boot) unless a test sets another; without it,
// "<kStartCounterFallback>/runtime-<uid>", made for the user alone.
//
// Returns 0 on the first start and on any failure (no folder, unreadable or
// damaged count, failing write), then 1, 2, ... on later starts.
int CountStart(const char* appName);

// Shared memory: a tmpfs on every Linux machine, emptied at boot.
constexpr const char* kStartCounterFallback = "/dev/shm";

// Makes the folder for this user alone (0700), or takes the one there when it
// is a real folder (not a link) of this user that no one else may enter:
// shared memory is open to every user, who could leave a folder or a link
// under the name first. False when it cannot be used.
bool PrivateFolder(const std::string& path);

// Null restores $XDG_RUNTIME_DIR.
void SetStartCounterFolder(const char* folder);
