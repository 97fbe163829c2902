#pragma once
// The debug log "debug.txt" (written only while g_DebugLog is set) and the
// error box that also logs its text.
#include "platform/os/WinTypes.h"

// a and b point at 32-bit values (int, unsigned or float, as the format's
// conversions say) or are null. A null format empties the file; a null `a`
// makes the format itself the line, written literally.
void Log(const char* format, const void* a = nullptr, const void* b = nullptr);

// The format applied to text (n == 0) or to text and n; a null text makes the
// format itself the line.
void LogString(const char* format, const char* text, int n = 0);

// Logs the text, then shows a message box owned by the main window.
int ShowMessage(const char* text, const char* caption, UINT type);

// Longest line written, before its line break; longer lines are cut.
#define LOG_LINE_MAX 2046
