#include "core/DebugLog.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "core/RunFlags.h"
#include "core/Settings.h"
#include "platform/os/FileOpen.h"
#include "platform/os/MessageBox.h"

namespace
{
const char* kLogFile = "debug.txt";

struct LogArg
{
    bool isText;
    uint32_t bits;
    const char* text;
};

template <typename T>
void AppendFormatted(std::string& out, const char* conversion, T value)
{
    int need = snprintf(nullptr, 0, conversion, value);
    if (need <= 0)
        return;
    std::string piece((size_t)need + 1, '\0');
    snprintf(&piece[0], piece.size(), conversion, value);
    piece.resize((size_t)need);
    out += piece;
}

// Applies the format to up to two arguments without handing the format to
// printf as a whole: each conversion is checked against the argument it would
// take, so a format that does not match its values prints the conversion
// literally instead of reading past them. Supported: d i o u x X c (32-bit
// values), f F e E g G a A (the 32 bits read as a float), s (text), %%.
std::string FormatLine(const char* format, const LogArg* args, int argCount)
{
    std::string out;
    int next = 0;
    const char* p = format;
    while (*p && out.size() < LOG_LINE_MAX)
    {
        if (*p != '%')
        {
            out += *p++;
            continue;
        }
        if (p[1] == '%')
        {
            out += '%';
            p += 2;
            continue;
        }
        const char* start = p++;
        std::string conversion = "%";
        while (*p && strchr("-+ #0", *p))
            conversion += *p++;
        int digits = 0;
        while (*p >= '0' && *p <= '9')
        {
            if (digits++ < 3)   // widths stay below 1000
                conversion += *p;
            ++p;
        }
        if (*p == '.')
        {
            conversion += *p++;
            digits = 0;
            while (*p >= '0' && *p <= '9')
            {
                if (digits++ < 3)
                    conversion += *p;
                ++p;
            }
        }
        while (*p && strchr("hlLqjzt", *p))
            ++p;   // sizes come from the argument, not from the format
        const char conv = *p;
        if (conv)
            ++p;

        bool done = false;
        if (conv && next < argCount)
        {
            const LogArg& a = args[next];
            if (strchr("diouxXc", conv) && !a.isText)
            {
                conversion += conv;
                if (conv == 'd' || conv == 'i' || conv == 'c')
                    AppendFormatted(out, conversion.c_str(), (int)(int32_t)a.bits);
                else
                    AppendFormatted(out, conversion.c_str(), (unsigned)a.bits);
                done = true;
            }
            else if (strchr("fFeEgGaA", conv) && !a.isText)
            {
                float f;
                memcpy(&f, &a.bits, 4);
                conversion += conv;
                AppendFormatted(out, conversion.c_str(), (double)f);
                done = true;
            }
            else if (conv == 's' && a.isText)
            {
                conversion += conv;
                AppendFormatted(out, conversion.c_str(), a.text);
                done = true;
            }
            if (done)
                ++next;
        }
        if (!done)
            out.append(start, p - start);
    }
    if (out.size() > LOG_LINE_MAX)
        out.resize(LOG_LINE_MAX);
    return out;
}

void AppendLine(const std::string& line)
{
    // Only ever a regular file: a FIFO standing there would hold the game.
    FILE* f = OpenFileForAppending(kLogFile, false);
    if (!f)
        return;   // the log never reports an error
    fputs(line.c_str(), f);
    fputc('\n', f);
    fclose(f);
}

std::string Literal(const char* text)
{
    std::string s(text);
    if (s.size() > LOG_LINE_MAX)
        s.resize(LOG_LINE_MAX);
    return s;
}
}   // namespace

void Log(const char* format, const void* a, const void* b)
{
    if (!g_DebugLog)
        return;
    if (!format)
    {
        FILE* f = OpenFileForAppending(kLogFile, true);
        if (f)
            fclose(f);
        return;
    }
    if (!a)
    {
        AppendLine(Literal(format));
        return;
    }
    LogArg args[2] = {};
    memcpy(&args[0].bits, a, 4);
    int count = 1;
    if (b)
    {
        memcpy(&args[1].bits, b, 4);
        count = 2;
    }
    AppendLine(FormatLine(format, args, count));
}

void LogString(const char* format, const char* text, int n)
{
    if (!g_DebugLog || !format)
        return;
    if (!text)
    {
        AppendLine(Literal(format));
        return;
    }
    LogArg args[2] = {};
    args[0].isText = true;
    args[0].text = text;
    int count = 1;
    if (n != 0)
    {
        args[1].bits = (uint32_t)n;
        count = 2;
    }
    AppendLine(FormatLine(format, args, count));
}

int ShowMessage(const char* text, const char* caption, UINT type)
{
    Log(text);
    return MessageBoxA(g_hwnd, text, caption, type);
}
