#pragma once
// Opening the game's files without ever waiting on one. Whatever stands
// where a file should be (a FIFO, a device, a folder) is refused at once
// instead of being opened: a FIFO would hold the open, or the first read,
// until something writes to it. Saves are written to a temporary file that
// is always made afresh and then renamed over the old file, so an unusable
// temporary path fails the save and leaves the old file whole.
#include <cstddef>
#include <cstdio>
#include <string>

// A regular file opened for reading; null for anything else or when it cannot
// be opened (errno tells why: ENOENT when nothing is there, EINVAL when it is
// not a regular file). Never blocks.
FILE* OpenFileForReading(const char* path);

// Why what stands at `path` cannot be opened for reading, in words for the
// log; empty when nothing stands there or it opens. A save must never take
// the place of a file that is there but cannot be read (no permission, not a
// regular file): its contents are unknown, not absent.
std::string UnreadableReason(const char* path);

// A regular file opened for appending, made when missing; `truncate` empties
// it first. Null for anything else (a FIFO, a folder, a link). Never blocks.
FILE* OpenFileForAppending(const char* path, bool truncate);

// The name of the temporary file a save of `path` writes first.
std::string TempFileName(const char* path);

// Makes `temp` afresh for writing: a leftover file or link of that name (from
// a save that was cut short) is removed first; anything else standing there,
// such as a folder, makes it fail. Never follows a link and never blocks.
// Null on failure, with errno set.
FILE* CreateTempFile(const char* temp);

// Why CreateTempFile failed for `temp`, from errno, in words for the log.
std::string TempFileFailure(const char* temp);

// Closes a stream written by CreateTempFile and renames `temp` over `path`
// when every byte reached the disk; otherwise removes `temp`, so the old file
// stays as it was. `ok` is false when a write already failed. Returns whether
// the file was saved; `why` (when given) gets the reason of a failure.
bool FinishTempFile(FILE* f, const char* temp, const char* path, bool ok, std::string* why);

// The whole file written through its temporary file as above. Returns whether
// it was saved; `why` (when given) gets the reason of a failure.
bool SaveWholeFile(const char* path, const void* bytes, size_t size, std::string* why);
