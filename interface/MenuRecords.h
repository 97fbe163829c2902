#pragma once
// Texts of the records table.
#include <cstddef>

class CFont;

// A best time as "(mm:ss.hh)", each part truncated; returns 0 and writes
// "(-------)" when there is no time (0, negative or not a number). Times
// beyond 99:59.99 show as that.
int FormatRecordTime(float seconds, char* out, size_t size);

// The two texts of a career row's best result: its holder (never read past
// the name's bytes) and time, or "NO RESULT" and "(-------)" when the row
// has no time or is not a row of the table. Returns 1 for a result.
int RecordResultTexts(int row, char* holder, size_t holderSize, char* time, size_t timeSize);

// A score as a truncated whole number, held to the int range.
int ScoreToInt(float score);

// The name as a column of `room` shows it at `scale`: whole when it fits,
// otherwise cut short and ended with "...", so every name keeps one size.
void FitNameText(CFont& font, const char* name, float scale, float room, char* out, size_t size);

// The scale, at most `scale`, at which the text is no wider than `room`: the
// table's columns are narrow and a long name must not run into the next one.
float FitTextScale(CFont& font, const char* text, float scale, float room);
