#include "tools/SoundSynth.h"

#include <algorithm>
#include <cstring>

namespace synth
{

void Normalize(std::vector<float>& samples, float peak)
{
    const float p = Peak(samples);
    if (p <= 0.0f)
        return;
    const float g = peak / p;
    for (float& s : samples)
        s *= g;
}

float Rms(const std::vector<float>& samples)
{
    if (samples.empty())
        return 0.0f;
    double sum = 0.0;
    for (float s : samples)
        sum += (double)s * s;
    return (float)std::sqrt(sum / (double)samples.size());
}

float Peak(const std::vector<float>& samples)
{
    float p = 0.0f;
    for (float s : samples)
        p = std::max(p, std::fabs(s));
    return p;
}

namespace
{
// Little-endian fields written in place: the header's layout is fixed, so the
// whole file is sized once and filled by offset.
void Put16(uint8_t* at, uint32_t v)
{
    at[0] = (uint8_t)(v & 0xFF);
    at[1] = (uint8_t)((v >> 8) & 0xFF);
}

void Put32(uint8_t* at, uint32_t v)
{
    Put16(at, v & 0xFFFF);
    Put16(at + 2, v >> 16);
}

void PutId(uint8_t* at, const char* id)
{
    std::memcpy(at, id, 4);
}
}   // namespace

std::vector<uint8_t> WaveFile(const std::vector<float>& samples, int channels, int rate)
{
    const uint32_t dataBytes = (uint32_t)samples.size() * 2;
    std::vector<uint8_t> out(44 + (size_t)dataBytes);
    uint8_t* p = out.data();
    PutId(p + 0, "RIFF");
    Put32(p + 4, 36 + dataBytes);
    PutId(p + 8, "WAVE");
    PutId(p + 12, "fmt ");
    Put32(p + 16, 16);
    Put16(p + 20, 1);
    Put16(p + 22, (uint32_t)channels);
    Put32(p + 24, (uint32_t)rate);
    Put32(p + 28, (uint32_t)(rate * channels * 2));
    Put16(p + 32, (uint32_t)(channels * 2));
    Put16(p + 34, 16);
    PutId(p + 36, "data");
    Put32(p + 40, dataBytes);
    uint8_t* sample = p + 44;
    for (float s : samples)
    {
        const float c = std::max(-1.0f, std::min(1.0f, s));
        Put16(sample, (uint16_t)(int16_t)std::lround(c * 32767.0f));
        sample += 2;
    }
    return out;
}

}   // namespace synth
