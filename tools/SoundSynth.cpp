#include "tools/SoundSynth.h"

#include <algorithm>

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
void Put16(std::vector<uint8_t>& out, uint32_t v)
{
    out.push_back((uint8_t)(v & 0xFF));
    out.push_back((uint8_t)((v >> 8) & 0xFF));
}

void Put32(std::vector<uint8_t>& out, uint32_t v)
{
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

void PutId(std::vector<uint8_t>& out, const char* id)
{
    out.insert(out.end(), id, id + 4);
}
}   // namespace

std::vector<uint8_t> WaveFile(const std::vector<float>& samples, int channels, int rate)
{
    const uint32_t dataBytes = (uint32_t)samples.size() * 2;
    std::vector<uint8_t> out;
    out.reserve(44 + dataBytes);
    PutId(out, "RIFF");
    Put32(out, 36 + dataBytes);
    PutId(out, "WAVE");
    PutId(out, "fmt ");
    Put32(out, 16);
    Put16(out, 1);
    Put16(out, (uint32_t)channels);
    Put32(out, (uint32_t)rate);
    Put32(out, (uint32_t)(rate * channels * 2));
    Put16(out, (uint32_t)(channels * 2));
    Put16(out, 16);
    PutId(out, "data");
    Put32(out, dataBytes);
    for (float s : samples)
    {
        const float c = std::max(-1.0f, std::min(1.0f, s));
        Put16(out, (uint16_t)(int16_t)std::lround(c * 32767.0f));
    }
    return out;
}

}   // namespace synth
