// The career block and the profile file's byte layout.
#include "core/CareerData.h"

#include <cmath>
#include <cstring>

CareerData g_Career;
int g_HintCount[HINT_COUNTERS];
int g_CurrentProfile = -1;
int g_CareerMode = 1;

namespace
{
// Little-endian cursor over a fixed buffer; the caller has checked the size.
struct ByteWriter
{
    uint8_t* p;
    void U32(uint32_t v)
    {
        for (int i = 0; i < 4; ++i)
            *p++ = (uint8_t)(v >> (8 * i));
    }
    void I32(int32_t v) { U32((uint32_t)v); }
    void F32(float f)
    {
        uint32_t v;
        std::memcpy(&v, &f, 4);
        U32(v);
    }
};

struct ByteReader
{
    const uint8_t* p;
    uint32_t U32()
    {
        uint32_t v = 0;
        for (int i = 0; i < 4; ++i)
            v |= (uint32_t)*p++ << (8 * i);
        return v;
    }
    int32_t I32() { return (int32_t)U32(); }
    float F32()
    {
        uint32_t v = U32();
        float f;
        std::memcpy(&f, &v, 4);
        return f;
    }
};

void WriteCareer(ByteWriter& w, const CareerData& c)
{
    w.F32(c.totalScore);
    w.I32(c.raceIndex);
    w.I32(c.savedRaceIndex);
    for (int32_t v : c.place)
        w.I32(v);
    for (float v : c.raceTime)
        w.F32(v);
    for (int32_t v : c.unlocked)
        w.I32(v);
    w.I32(c.upgradesBought);
    w.I32(c.upgradePoints);
    for (int32_t v : c.upgradeLevel)
        w.I32(v);
    w.I32(c.motorcycle);
    w.I32(c.decalId);
    for (float v : c.colour1)
        w.F32(v);
    for (float v : c.colour2)
        w.F32(v);
    w.F32(c.voicePitch);
    w.I32(c.voiceIndex);
}

void ReadCareer(ByteReader& r, CareerData* c)
{
    c->totalScore = r.F32();
    c->raceIndex = r.I32();
    c->savedRaceIndex = r.I32();
    for (int32_t& v : c->place)
        v = r.I32();
    for (float& v : c->raceTime)
        v = r.F32();
    for (int32_t& v : c->unlocked)
        v = r.I32();
    c->upgradesBought = r.I32();
    c->upgradePoints = r.I32();
    for (int32_t& v : c->upgradeLevel)
        v = r.I32();
    c->motorcycle = r.I32();
    c->decalId = r.I32();
    for (float& v : c->colour1)
        v = r.F32();
    for (float& v : c->colour2)
        v = r.F32();
    c->voicePitch = r.F32();
    c->voiceIndex = r.I32();
}

bool InRange(int32_t v, int32_t lo, int32_t hi)
{
    return v >= lo && v <= hi;
}

bool FiniteIn(float v, float lo, float hi)
{
    return std::isfinite(v) && v >= lo && v <= hi;
}

// Every value another part of the game indexes with or converts is in range.
bool CareerValid(const CareerData& c)
{
    // A score or time far beyond any race is as broken as a NaN.
    if (!FiniteIn(c.totalScore, -1.0e7f, 1.0e7f))
        return false;
    if (!InRange(c.raceIndex, 0, CAREER_ROWS - 1) || !InRange(c.savedRaceIndex, 0, CAREER_ROWS - 1))
        return false;
    for (int i = 0; i < CAREER_ROWS; ++i)
        if (!InRange(c.place[i], 0, 16) || !FiniteIn(c.raceTime[i], 0.0f, 1.0e6f))
            return false;
    for (int32_t v : c.unlocked)
        if (!InRange(v, 0, 1))
            return false;
    if (!InRange(c.upgradesBought, 0, 1000000) || !InRange(c.upgradePoints, -1000000, 1000000))
        return false;
    for (int32_t v : c.upgradeLevel)
        if (!InRange(v, 0, 10))
            return false;
    if (!InRange(c.motorcycle, 0, CAREER_MODELS - 1) || !InRange(c.decalId, -1, 1000000))
        return false;
    for (int i = 0; i < 4; ++i)
        if (!FiniteIn(c.colour1[i], 0.0f, 1.0f) || !FiniteIn(c.colour2[i], 0.0f, 1.0f))
            return false;
    // A career never given a voice has pitch 0; anything else lies in the
    // voice range (with a little room for rounding).
    if (!(c.voicePitch == 0.0f || FiniteIn(c.voicePitch, 0.89f, 1.53f)))
        return false;
    return InRange(c.voiceIndex, 0, 1);
}
}   // namespace

void WriteProfileBytes(const ProfileImage& image, uint8_t out[PROFILE_FILE_SIZE])
{
    std::memset(out, 0, PROFILE_FILE_SIZE);
    size_t len = strnlen(image.name, PROFILE_NAME_SIZE - 1);
    std::memcpy(out, image.name, len);
    ByteWriter w{out + PROFILE_NAME_SIZE};
    w.I32(image.careerClosed);
    WriteCareer(w, image.career);
    for (int32_t v : image.hintCount)
        w.I32(v);
}

int ReadProfileBytes(const uint8_t* data, size_t size, ProfileImage* image)
{
    if (!data || size != PROFILE_FILE_SIZE)
        return PROFILE_SHORT;
    const void* end = std::memchr(data, 0, PROFILE_NAME_SIZE);
    if (!end || end == data)
        return PROFILE_BAD_NAME;
    ProfileImage read;
    std::memset(&read, 0, sizeof(read));
    std::memcpy(read.name, data, (const uint8_t*)end - data);
    ByteReader r{data + PROFILE_NAME_SIZE};
    read.careerClosed = r.I32();
    ReadCareer(r, &read.career);
    for (int32_t& v : read.hintCount)
        v = r.I32();
    if (!InRange(read.careerClosed, 0, 1) || !CareerValid(read.career))
        return PROFILE_BAD_VALUE;
    for (int32_t v : read.hintCount)
        if (v < 0)
            return PROFILE_BAD_VALUE;
    *image = read;
    return PROFILE_OK;
}

void SetDefaultCareer(CareerData* career, const int baseLevels[CAREER_SYSTEMS])
{
    std::memset(career, 0, sizeof(*career));
    career->unlocked[0] = 1;
    for (int i = 0; i < CAREER_SYSTEMS; ++i)
        career->upgradeLevel[i] = baseLevels ? baseLevels[i] : 0;
}
