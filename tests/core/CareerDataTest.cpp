// The profile file's byte layout: a fixture with every field at its offset,
// read and written back byte for byte, and the damaged files that must be
// refused without touching what is in memory.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

#include "core/CareerData.h"

namespace
{

void Put32(std::vector<uint8_t>& b, size_t at, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        b[at + i] = (uint8_t)(v >> (8 * i));
}
void PutF(std::vector<uint8_t>& b, size_t at, float f)
{
    uint32_t v;
    std::memcpy(&v, &f, 4);
    Put32(b, at, v);
}

// A profile written by hand at the documented offsets.
std::vector<uint8_t> Fixture()
{
    std::vector<uint8_t> b(PROFILE_FILE_SIZE, 0);
    std::memcpy(b.data(), "Marta", 5);
    Put32(b, 16, 0);   // a career can be continued
    PutF(b, 20, 4321.5f);
    Put32(b, 24, 5);
    Put32(b, 28, 2);
    Put32(b, 32 + 4 * 0, 1);
    Put32(b, 32 + 4 * 4, 3);
    Put32(b, 32 + 4 * 18, 2);
    PutF(b, 108 + 4 * 0, 83.25f);
    PutF(b, 108 + 4 * 18, 190.5f);
    Put32(b, 184 + 4 * 0, 1);
    Put32(b, 184 + 4 * 8, 1);
    Put32(b, 220, 7);
    Put32(b, 224, 2);
    Put32(b, 228, 4);
    Put32(b, 232, 10);
    Put32(b, 236, 0);
    Put32(b, 240, 3);
    Put32(b, 244, 6);
    PutF(b, 248, 0.25f);
    PutF(b, 260, 1.0f);
    PutF(b, 264, 0.5f);
    PutF(b, 276, 1.0f);
    PutF(b, 280, 1.15f);
    Put32(b, 284, 1);
    Put32(b, 288, 9);
    Put32(b, 288 + 4 * 15, 2);
    return b;
}

TEST(CareerDataTest, ProfileRoundTripsByteForByteAtTheDocumentedOffsets)
{
    const std::vector<uint8_t> bytes = Fixture();
    ProfileImage image;
    ASSERT_EQ(ReadProfileBytes(bytes.data(), bytes.size(), &image), PROFILE_OK);
    EXPECT_STREQ(image.name, "Marta");
    EXPECT_EQ(image.careerClosed, 0);
    EXPECT_FLOAT_EQ(image.career.totalScore, 4321.5f);
    EXPECT_EQ(image.career.raceIndex, 5);
    EXPECT_EQ(image.career.savedRaceIndex, 2);
    EXPECT_EQ(image.career.place[0], 1);
    EXPECT_EQ(image.career.place[4], 3);
    EXPECT_EQ(image.career.place[18], 2);
    EXPECT_FLOAT_EQ(image.career.raceTime[0], 83.25f);
    EXPECT_FLOAT_EQ(image.career.raceTime[18], 190.5f);
    EXPECT_EQ(image.career.unlocked[0], 1);
    EXPECT_EQ(image.career.unlocked[8], 1);
    EXPECT_EQ(image.career.upgradesBought, 7);
    EXPECT_EQ(image.career.upgradePoints, 2);
    EXPECT_EQ(image.career.upgradeLevel[0], 4);
    EXPECT_EQ(image.career.upgradeLevel[1], 10);
    EXPECT_EQ(image.career.motorcycle, 3);
    EXPECT_EQ(image.career.decalId, 6);
    EXPECT_FLOAT_EQ(image.career.colour1[0], 0.25f);
    EXPECT_FLOAT_EQ(image.career.colour1[3], 1.0f);
    EXPECT_FLOAT_EQ(image.career.colour2[0], 0.5f);
    EXPECT_FLOAT_EQ(image.career.colour2[3], 1.0f);
    EXPECT_FLOAT_EQ(image.career.voicePitch, 1.15f);
    EXPECT_EQ(image.career.voiceIndex, 1);
    EXPECT_EQ(image.hintCount[0], 9);
    EXPECT_EQ(image.hintCount[15], 2);

    uint8_t written[PROFILE_FILE_SIZE];
    WriteProfileBytes(image, written);
    EXPECT_EQ(std::memcmp(written, bytes.data(), PROFILE_FILE_SIZE), 0);
}

TEST(CareerDataTest, BytesAfterTheNameAreWrittenAsZero)
{
    ProfileImage image;
    std::memset(&image, 0, sizeof(image));
    std::memcpy(image.name, "Al\0garbagegarba", PROFILE_NAME_SIZE);
    uint8_t written[PROFILE_FILE_SIZE];
    WriteProfileBytes(image, written);
    for (int i = 2; i < PROFILE_NAME_SIZE; ++i)
        EXPECT_EQ(written[i], 0) << "byte " << i;
}

struct BadCase
{
    const char* name;
    size_t offset;   // where the damage goes; ignored for size cases
    uint32_t value;
    size_t size;     // file size handed over
    bool fillName;   // all 16 name bytes printable
};

class ProfileRefusalTest : public ::testing::TestWithParam<BadCase>
{};

TEST_P(ProfileRefusalTest, DamagedFileIsRefusedAndChangesNothing)
{
    const BadCase& c = GetParam();
    std::vector<uint8_t> bytes = Fixture();
    bytes.resize(std::max<size_t>(bytes.size(), c.size), 0);
    if (c.offset != (size_t)-1)
        Put32(bytes, c.offset, c.value);
    if (c.fillName)
        std::memset(bytes.data(), 'A', PROFILE_NAME_SIZE);
    ProfileImage image;
    std::memset(&image, 0x33, sizeof(image));
    ProfileImage before = image;
    EXPECT_NE(ReadProfileBytes(bytes.data(), c.size, &image), PROFILE_OK);
    EXPECT_EQ(std::memcmp(&image, &before, sizeof(image)), 0);
}

uint32_t FloatBits(float f)
{
    uint32_t v;
    std::memcpy(&v, &f, 4);
    return v;
}

INSTANTIATE_TEST_SUITE_P(Cases, ProfileRefusalTest,
                         ::testing::Values(BadCase{"Empty", (size_t)-1, 0, 0, false},
                                           BadCase{"Short", (size_t)-1, 0, 351, false},
                                           BadCase{"NameOnly", (size_t)-1, 0, 16, false},
                                           BadCase{"Long", (size_t)-1, 0, 353, false},
                                           BadCase{"NameWithoutTerminator", (size_t)-1, 0, PROFILE_FILE_SIZE, true},
                                           BadCase{"EmptyName", 0, 0, PROFILE_FILE_SIZE, false},
                                           BadCase{"CareerClosedTwo", 16, 2, PROFILE_FILE_SIZE, false},
                                           BadCase{"RaceIndexPastTable", 24, 19, PROFILE_FILE_SIZE, false},
                                           BadCase{"NegativeRaceIndex", 24, 0xFFFFFFFF, PROFILE_FILE_SIZE, false},
                                           BadCase{"PlaceNegative", 36, 0xFFFFFFFF, PROFILE_FILE_SIZE, false},
                                           BadCase{"NanRaceTime", 112, 0x7FC00000, PROFILE_FILE_SIZE, false},
                                           BadCase{"UnlockedTwo", 188, 2, PROFILE_FILE_SIZE, false},
                                           BadCase{"UpgradeLevelEleven", 228, 11, PROFILE_FILE_SIZE, false},
                                           BadCase{"MotorcycleFour", 240, 4, PROFILE_FILE_SIZE, false},
                                           BadCase{"InfiniteColour", 252, 0x7F800000, PROFILE_FILE_SIZE, false},
                                           BadCase{"PitchTooHigh", 280, FloatBits(5.0f), PROFILE_FILE_SIZE, false},
                                           BadCase{"VoiceTwo", 284, 2, PROFILE_FILE_SIZE, false},
                                           BadCase{"NegativeHintCounter", 300, 0x80000000, PROFILE_FILE_SIZE, false}),
                         [](const ::testing::TestParamInfo<BadCase>& info) { return std::string(info.param.name); });

TEST(CareerDataTest, DefaultCareerOpensOnlyTheFirstAreaInSummer)
{
    CareerData career;
    std::memset(&career, 0x7F, sizeof(career));
    const int base[CAREER_SYSTEMS] = {2, 3, 1};
    SetDefaultCareer(&career, base);
    EXPECT_EQ(career.unlocked[0], 1);
    for (int i = 1; i < CAREER_COMBINATIONS; ++i)
        EXPECT_EQ(career.unlocked[i], 0);
    EXPECT_EQ(career.upgradeLevel[0], 2);
    EXPECT_EQ(career.upgradeLevel[1], 3);
    EXPECT_EQ(career.upgradeLevel[2], 1);
    EXPECT_EQ(career.motorcycle, 0);
    EXPECT_EQ(career.decalId, 0) << "the model's own paint";
    EXPECT_EQ(career.raceIndex, 0);
    EXPECT_EQ(career.totalScore, 0.0f);
}

}   // namespace
