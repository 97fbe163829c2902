#include "scene/ObjectDescription.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "core/FileManager.h"
#include "platform/os/Rand.h"

const char* DescriptionValue(const char* line)
{
    if (!line || std::strlen(line) <= DESCRIPTION_LABEL_COLUMN)
        return "";
    return line + DESCRIPTION_LABEL_COLUMN;
}

int ReadDescriptionLine(int handle, char* buffer)
{
    return g_FileManager.ReadLine(buffer, DESCRIPTION_LINE_LIMIT, handle);
}

void ApplyTextureVariant(char* line)
{
    char* percent = line ? std::strchr(line, '%') : nullptr;
    if (!percent)
        return;
    // One random number per variant line, whatever follows the sign, so the
    // sequence of later draws does not depend on how the line is written.
    const int r = GameRand();
    const char digit = percent[1];
    if (digit < '1' || digit > '9')
        return;
    const int count = digit - '0';
    percent[0] = '0';
    percent[1] = (char)('1' + r % count);
}

int ReadColorLine(int handle, float colour[4], int longForm)
{
    // Fixed columns: label, then three components each followed by one
    // separator. A piece that comes back shorter than asked met the end of
    // the line, which ends the colour there (missing components stay 0).
    static const int kPieces[6] = {32, 3, 1, 3, 1, 3};
    char piece[DESCRIPTION_LINE_BUFFER];
    float components[3] = {0.0f, 0.0f, 0.0f};
    int lineEnded = 0;
    for (int i = 0; i < 6 && !lineEnded; ++i)
    {
        if (!g_FileManager.ReadLine(piece, kPieces[i] + 1, handle))
            return 0;
        if ((int)std::strlen(piece) < kPieces[i])
            lineEnded = 1;
        if (i == 1 || i == 3 || i == 5)
            components[i / 2] = (float)std::atof(piece) / 255.0f;
    }
    if (!lineEnded)
    {
        // Short form: the one separator after the third component (normally
        // the line break itself); long form: the rest of the line.
        g_FileManager.ReadLine(piece, longForm ? DESCRIPTION_LINE_LIMIT : 2, handle);
    }
    colour[0] = components[0];
    colour[1] = components[1];
    colour[2] = components[2];
    colour[3] = 1.0f;
    return 1;
}

// ---------------------------------------------------------------------------
// CStaticObject
