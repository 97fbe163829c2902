#include "common/TextNumber.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>

bool ParseBoundedInteger(const char* text, long low, long high, int* out)
{
    errno = 0;
    char* end = nullptr;
    const long v = std::strtol(text, &end, 10);
    if (end == text)
    {
        if (low > 0 || high < 0)
            return false;
        *out = 0;
        return true;
    }
    if (errno == ERANGE || v < low || v > high)
        return false;
    *out = (int)v;
    return true;
}

bool ParseBoundedNumber(const char* text, double low, double high, double* out)
{
    errno = 0;
    char* end = nullptr;
    const double v = std::strtod(text, &end);
    if (end == text)
    {
        if (low > 0.0 || high < 0.0)
            return false;
        *out = 0.0;
        return true;
    }
    if (errno == ERANGE || !std::isfinite(v) || v < low || v > high)
        return false;
    *out = v;
    return true;
}
