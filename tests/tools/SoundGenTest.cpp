// The generated sounds: every file the game loads is there, in the format
// the reader takes, at a level that is heard and never clipped, and the loops
// join without a click.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "audio/WaveReader.h"
#include "tests/support/Files.h"
#include "tests/support/Paths.h"

namespace
{

std::string DataDir()
{
    return testsupport::DemoDataDir() + "/";
}

struct Sound
{
    std::vector<uint8_t> file;
    WaveLayout layout = {};
    std::vector<float> samples;   // first channel, -1..1
};

bool Load(const std::string& name, Sound* s)
{
    s->file = testsupport::ReadFileBytes(DataDir() + name);
    if (s->file.empty())
        return false;
    if (ParseWave(s->file.data(), s->file.size(), &s->layout, nullptr) != 0 || s->layout.format.wBitsPerSample != 16)
        return false;
    const int16_t* p = reinterpret_cast<const int16_t*>(s->file.data() + s->layout.dataOffset);
    const size_t frames = s->layout.dataSize / s->layout.format.nBlockAlign;
    for (size_t i = 0; i < frames; ++i)
        s->samples.push_back(p[i * s->layout.format.nChannels] / 32768.0f);
    return true;
}

std::vector<std::string> Names(const char* format, int first, int last)
{
    std::vector<std::string> names;
    char name[96];
    for (int i = first; i <= last; ++i)
    {
        std::snprintf(name, sizeof(name), format, i);
        names.push_back(name);
    }
    return names;
}

float Rms(const std::vector<float>& s)
{
    double sum = 0;
    for (float x : s)
        sum += (double)x * x;
    return s.empty() ? 0.0f : (float)std::sqrt(sum / (double)s.size());
}

// The step across the loop's seam against the largest step inside it.
void ExpectSeamless(const Sound& s, const std::string& name)
{
    float largest = 0.0f;
    for (size_t i = 1; i < s.samples.size(); ++i)
        largest = std::fmax(largest, std::fabs(s.samples[i] - s.samples[i - 1]));
    const float seam = std::fabs(s.samples.front() - s.samples.back());
    EXPECT_LE(seam, largest) << name;
}

TEST(SoundGenDemoData, PositionalFamiliesAreMono22050AndHeard)
{
    std::vector<std::string> names;
    for (auto* family : {"Data/Audio/MS%02d.wav", "Data/Audio/FS%02d.wav"})
        for (const std::string& n : Names(family, 1, 5))
            names.push_back(n);
    for (const std::string& n : Names("Data/Audio/Imp%02d.wav", 1, 16))
        names.push_back(n);
    for (const std::string& n : Names("Data/Audio/WhS%02d.wav", 1, 14))
        names.push_back(n);
    for (const std::string& n : Names("Data/Audio/En%02d.wav", 1, 6))
        names.push_back(n);
    for (const std::string& name : names)
    {
        Sound s;
        ASSERT_TRUE(Load(name, &s)) << name;
        EXPECT_EQ(s.layout.format.nChannels, 1) << name;
        EXPECT_EQ(s.layout.format.nSamplesPerSec, 22050u) << name;
        EXPECT_GT(Rms(s.samples), 0.05f) << name;      // about -26 dB or louder
        EXPECT_LT(s.samples.size(), 22050u) << name;   // short: under a second
    }
    for (const std::string& name : Names("Data/Audio/En%02d.wav", 1, 6))
    {
        Sound s;
        ASSERT_TRUE(Load(name, &s));
        ExpectSeamless(s, name);
    }
}

TEST(SoundGenDemoData, CrowdInterfaceAndMusicAreThereAndLoopWell)
{
    std::vector<std::string> names = {"Data/Audio/Bt/Bt_In.wav",    "Data/Audio/Bt/Bt_Pr.wav",
                                      "Data/Audio/Bt/Bt_Upgr.wav",  "Data/Audio/Bt/RRS1.wav",
                                      "Data/Audio/Bt/RRS2.wav",     "Data/Audio/Bt/NewUpgr1.wav",
                                      "Data/Audio/Bt/NewUpgr2.wav", "Data/Audio/Start logo.wav"};
    for (auto* family : {"Data/Audio/App%02d.wav", "Data/Audio/Foo%02d.wav", "Data/Audio/Yea%02d.wav"})
        for (const std::string& n : Names(family, 1, 5))
            names.push_back(n);
    const std::vector<std::string> tracks = Names("Data/Audio/MusTrks/TrR%02d.wav", 0, 6);
    names.insert(names.end(), tracks.begin(), tracks.end());
    size_t bytes = 0;
    for (const std::string& name : names)
    {
        Sound s;
        ASSERT_TRUE(Load(name, &s)) << name;
        EXPECT_GT(Rms(s.samples), 0.03f) << name;
        bytes += s.file.size();
    }
    for (const std::string& name : tracks)
    {
        Sound s;
        ASSERT_TRUE(Load(name, &s));
        const float seconds = (float)s.samples.size() / 22050.0f;
        EXPECT_GT(seconds, 4.0f) << name;
        EXPECT_LT(seconds, 12.0f) << name;
        ExpectSeamless(s, name);
    }
    Sound fill;
    ASSERT_TRUE(Load("Data/Audio/Bt/NewUpgr1.wav", &fill));
    ExpectSeamless(fill, "NewUpgr1");
    EXPECT_LT(bytes, 4u << 20);   // the sound pack stays small
}

}   // namespace
