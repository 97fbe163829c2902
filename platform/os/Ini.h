#pragma once
// Private profile (INI) files with the Windows rules the settings rely on:
// section and key names are matched without regard to case, white space
// around names and values is trimmed, the first of duplicate keys wins, and a
// missing file, section or key gives the default. A write replaces the key's
// line in place and keeps every other line (comments, unknown keys); a missing
// section or key is appended. Writes go to a temporary file that is renamed
// over the original. Both '/' and '\\' separate folders in file names, except
// in the leading working folder of a name: its backslashes are part of the
// folder's own name and are kept.
#include "platform/os/WinTypes.h"

// Copies the value (or the default) into out, truncated to size - 1
// characters; returns the number of characters copied.
DWORD GetPrivateProfileStringA(const char* section, const char* key, const char* defaultValue, char* out, DWORD size,
                               const char* fileName);

// Returns FALSE when a name or the value is null or the file cannot be written;
// a file that is there but cannot be read whole is left as it is.
BOOL WritePrivateProfileStringA(const char* section, const char* key, const char* value, const char* fileName);
