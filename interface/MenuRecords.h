#pragma once
// Texts of the records table.
#include <cstddef>

// A best time as "(mm:ss.hh)", each part truncated; returns 0 and writes
// "(-------)" when there is no time (0, negative or not a number). Times
// beyond 99:59.99 show as that.
int FormatRecordTime(float seconds, char* out, size_t size);

// A score as a truncated whole number, held to the int range.
int ScoreToInt(float score);
