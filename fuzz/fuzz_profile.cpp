// Fuzz target for the profile file "Save/ProfileNN.sav".
// Input: the bytes of the first listed profile. A second, good profile lies
// beside it. Listing and loading the first must never crash, must either load
// a whole valid career or leave the one in memory untouched, and must never
// change the other profile's file.
#include <cstdint>
#include <cstring>
#include <vector>

#include "core/CareerData.h"
#include "core/FileManager.h"
#include "core/Records.h"
#include "fuzz/FuzzScratch.h"
#include "interface/MainMenu.h"

namespace
{

void Check(bool ok)
{
    if (!ok)
        __builtin_trap();
}

std::vector<uint8_t> ReadAll(const char* path)
{
    std::vector<uint8_t> bytes;
    FILE* f = std::fopen(path, "rb");
    if (!f)
        return bytes;
    uint8_t buffer[512];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof(buffer), f)) > 0)
        bytes.insert(bytes.end(), buffer, buffer + n);
    std::fclose(f);
    return bytes;
}

}   // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > 4096 || !fuzzscratch::MakeScratch("fuzzprofile", {"Save"}))
        return 0;
    fuzzscratch::InScratch scratch;
    if (!scratch.entered)
        return 0;
    g_FileManager.m_LooseFiles = 1;

    // Direct parse: a result is either a refusal or a career in range.
    ProfileImage image;
    std::memset(&image, 0x5A, sizeof(image));
    const ProfileImage before = image;
    if (ReadProfileBytes(data, size, &image) == PROFILE_OK)
    {
        Check(strnlen(image.name, PROFILE_NAME_SIZE) < PROFILE_NAME_SIZE);
        Check(image.career.motorcycle >= 0 && image.career.motorcycle < CAREER_MODELS);
        Check(image.career.raceIndex >= 0 && image.career.raceIndex < CAREER_ROWS);
        for (int32_t level : image.career.upgradeLevel)
            Check(level >= 0 && level <= 10);
        uint8_t again[PROFILE_FILE_SIZE];
        WriteProfileBytes(image, again);
        ProfileImage reread;
        Check(ReadProfileBytes(again, sizeof(again), &reread) == PROFILE_OK);
    }
    else
        Check(std::memcmp(&image, &before, sizeof(image)) == 0);

    // Through the menu: the fuzzed file sorts first, a good one second.
    ProfileImage good;
    std::memset(&good, 0, sizeof(good));
    std::strcpy(good.name, "Keeper");
    good.careerClosed = 1;
    good.career.unlocked[0] = 1;
    good.career.decalId = -1;
    uint8_t goodBytes[PROFILE_FILE_SIZE];
    WriteProfileBytes(good, goodBytes);
    if (!fuzzscratch::WriteBytes("Save/Profile01.sav", data, size) ||
        !fuzzscratch::WriteBytes("Save/Profile02.sav", goodBytes, sizeof(goodBytes)))
        return 0;

    std::memset(&g_Career, 0, sizeof(g_Career));
    g_Career.raceIndex = 7;
    std::strcpy(g_PlayerName, "Before");
    g_MainMenu.FindProfiles();
    Check(g_MainMenu.profileCount == 2);
    g_CurrentProfile = 0;
    g_MainMenu.LoadProfile();
    Check(strnlen(g_PlayerName, PLAYER_NAME_SIZE) < PLAYER_NAME_SIZE);
    if (std::strcmp(g_PlayerName, "Before") == 0)
        Check(g_Career.raceIndex == 7);
    Check(g_Career.raceIndex >= 0 && g_Career.raceIndex < CAREER_ROWS);
    Check(g_Career.motorcycle >= 0 && g_Career.motorcycle < CAREER_MODELS);
    const std::vector<uint8_t> other = ReadAll("Save/Profile02.sav");
    Check(other.size() == sizeof(goodBytes) && std::memcmp(other.data(), goodBytes, sizeof(goodBytes)) == 0);
    return 0;
}
