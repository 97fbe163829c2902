#pragma once
// Numbers in the text data files, read as the standard conversions read
// them (leading spaces skipped, the number at the start taken, the rest left),
// with the checks a damaged or hand-edited file needs before the value is
// stored: no overflow, nothing infinite, and inside the range the caller
// gives.

// A decimal integer. No digits at all read as 0, which passes only when 0 is
// inside low..high. False on overflow or outside low..high; *out is written
// only on success.
bool ParseBoundedInteger(const char* text, long low, long high, int* out);

// A floating-point number. No digits at all read as 0, which passes only when
// 0 is inside low..high. False on overflow, for an infinity or a NaN, or
// outside low..high; *out is written only on success.
bool ParseBoundedNumber(const char* text, double low, double high, double* out);
