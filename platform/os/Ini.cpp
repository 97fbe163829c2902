#include "platform/os/Ini.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <strings.h>
#include <unistd.h>
#include <vector>

#include "platform/os/FileOpen.h"

namespace
{
// The game names its settings file by the working folder followed by its own
// relative name, written with Windows separators. Only that relative part is
// the game's: on Linux a backslash is an ordinary character of a folder name,
// so the working folder's own name is kept exactly as it is.
std::string NormalizePath(const char* fileName)
{
    std::string path(fileName);
    size_t keep = 0;
    char cwd[4096];
    if (getcwd(cwd, sizeof(cwd)))
    {
        const size_t n = strlen(cwd);
        if (path.compare(0, n, cwd) == 0 && (path.size() == n || path[n] == '/' || path[n] == '\\'))
            keep = n;
    }
    for (size_t i = keep; i < path.size(); ++i)
        if (path[i] == '\\')
            path[i] = '/';
    return path;
}

std::string Trim(const std::string& s)
{
    size_t b = 0, e = s.size();
    while (b < e && (s[b] == ' ' || s[b] == '\t' || s[b] == '\r' || s[b] == '\n'))
        ++b;
    while (e > b && (s[e - 1] == ' ' || s[e - 1] == '\t' || s[e - 1] == '\r' || s[e - 1] == '\n'))
        --e;
    return s.substr(b, e - b);
}

bool SameName(const std::string& a, const char* b)
{
    return strcasecmp(a.c_str(), b) == 0;
}

// A settings file is a few hundred bytes; anything far larger is not one and
// is not loaded into memory.
const size_t kMaxIniBytes = 1 << 20;

enum ReadResult
{
    READ_OK,
    READ_MISSING,
    READ_TOO_LARGE,
    READ_FAILED,   // there, but it cannot be read (whole)
};

// Reads the whole file as lines without their line breaks. `crlf` tells
// whether the file uses CR LF line breaks.
ReadResult ReadLines(const std::string& path, std::vector<std::string>& lines, bool& crlf)
{
    // Only a regular file is read: a FIFO in its place would hold the game.
    FILE* f = OpenFileForReading(path.c_str());
    if (!f)
        return errno == ENOENT ? READ_MISSING : READ_FAILED;
    std::string all;
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof(buf), f)) > 0)
    {
        all.append(buf, n);
        if (all.size() > kMaxIniBytes)
        {
            fclose(f);
            return READ_TOO_LARGE;
        }
    }
    const bool failed = ferror(f) != 0;
    fclose(f);
    if (failed)
        return READ_FAILED;
    crlf = all.find("\r\n") != std::string::npos;
    size_t start = 0;
    while (start < all.size())
    {
        size_t nl = all.find('\n', start);
        if (nl == std::string::npos)
            nl = all.size();
        std::string line = all.substr(start, nl - start);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(line);
        start = nl + 1;
    }
    return READ_OK;
}

// "[name]" (with optional white space) gives true and the trimmed name.
bool SectionName(const std::string& line, std::string& name)
{
    std::string t = Trim(line);
    if (t.size() < 2 || t[0] != '[')
        return false;
    size_t close = t.find(']');
    if (close == std::string::npos)
        return false;
    name = Trim(t.substr(1, close - 1));
    return true;
}

// "key = value" gives true with the trimmed key and value. Comment lines
// (';') are not key lines.
bool KeyLine(const std::string& line, std::string& key, std::string& value)
{
    std::string t = Trim(line);
    if (t.empty() || t[0] == ';')
        return false;
    size_t eq = t.find('=');
    if (eq == std::string::npos)
        return false;
    key = Trim(t.substr(0, eq));
    value = Trim(t.substr(eq + 1));
    return true;
}

// Index of the first section line of that name, or -1.
int FindSection(const std::vector<std::string>& lines, const char* section)
{
    std::string name;
    for (size_t i = 0; i < lines.size(); ++i)
        if (SectionName(lines[i], name) && SameName(name, section))
            return (int)i;
    return -1;
}

DWORD CopyOut(const char* text, char* out, DWORD size)
{
    if (!out || size == 0)
        return 0;
    size_t n = strlen(text);
    if (n > size - 1)
        n = size - 1;
    memcpy(out, text, n);
    out[n] = 0;
    return (DWORD)n;
}
}   // namespace

DWORD GetPrivateProfileStringA(const char* section, const char* key, const char* defaultValue, char* out, DWORD size,
                               const char* fileName)
{
    const char* def = defaultValue ? defaultValue : "";
    if (!section || !key || !fileName)
        return CopyOut(def, out, size);

    std::vector<std::string> lines;
    bool crlf = false;
    if (ReadLines(NormalizePath(fileName), lines, crlf) != READ_OK)
        return CopyOut(def, out, size);

    int s = FindSection(lines, section);
    if (s < 0)
        return CopyOut(def, out, size);
    std::string name, k, v;
    for (size_t i = s + 1; i < lines.size(); ++i)
    {
        if (SectionName(lines[i], name))
            break;   // only the first section of that name counts
        if (KeyLine(lines[i], k, v) && SameName(k, key))
            return CopyOut(v.c_str(), out, size);
    }
    return CopyOut(def, out, size);
}

BOOL WritePrivateProfileStringA(const char* section, const char* key, const char* value, const char* fileName)
{
    if (!section || !key || !value || !fileName)
        return FALSE;
    const std::string path = NormalizePath(fileName);

    std::vector<std::string> lines;
    bool crlf = false;
    // A missing file starts empty. One too large to be a settings file, or one
    // that cannot be read whole, is left alone rather than replaced by what
    // could be read of it and the key being written.
    const ReadResult read = ReadLines(path, lines, crlf);
    if (read != READ_OK && read != READ_MISSING)
        return FALSE;

    const std::string newLine = std::string(key) + "=" + value;
    int s = FindSection(lines, section);
    if (s < 0)
    {
        lines.push_back(std::string("[") + section + "]");
        lines.push_back(newLine);
    }
    else
    {
        std::string name, k, v;
        int lastContent = s;   // the key goes after the section's last non-blank line
        bool replaced = false;
        for (size_t i = s + 1; i < lines.size(); ++i)
        {
            if (SectionName(lines[i], name))
                break;
            if (KeyLine(lines[i], k, v) && SameName(k, key))
            {
                lines[i] = newLine;
                replaced = true;
                break;
            }
            if (!Trim(lines[i]).empty())
                lastContent = (int)i;
        }
        if (!replaced)
            lines.insert(lines.begin() + lastContent + 1, newLine);
    }

    const char* eol = crlf ? "\r\n" : "\n";
    std::string text;
    for (const std::string& l : lines)
        text += l + eol;

    return SaveWholeFile(path.c_str(), text.data(), text.size(), nullptr) ? TRUE : FALSE;
}
