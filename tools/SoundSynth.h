#pragma once
// Small synthesis kit of the sound generators: a seeded noise source, filters,
// envelopes, circular mixing for seamless loops, levels, and the 16-bit PCM
// WAVE file writer.
#include <cmath>
#include <cstdint>
#include <vector>

namespace synth
{

const int kRate = 22050;
const float kPi = 3.14159265358979f;

// Deterministic noise in -1..1 (the generator's output must not change between
// runs).
class Noise
{
public:
    explicit Noise(uint32_t seed) : m_State(seed * 2654435761u + 1u) {}
    float Next()
    {
        m_State = m_State * 1664525u + 1013904223u;
        return (float)(m_State >> 8) / 8388608.0f - 1.0f;
    }
    // Uniform in lo..hi.
    float Range(float lo, float hi) { return lo + (hi - lo) * (Next() * 0.5f + 0.5f); }

private:
    uint32_t m_State;
};

// One-pole low-pass.
class LowPass
{
public:
    void SetCutoff(float hz) { m_A = 1.0f - std::exp(-2.0f * kPi * hz / kRate); }
    float Run(float x) { return m_Y += m_A * (x - m_Y); }

private:
    float m_A = 1.0f, m_Y = 0.0f;
};

// Resonant band-pass (state-variable filter), for formants and tones in noise.
class BandPass
{
public:
    void Set(float hz, float q)
    {
        m_F = 2.0f * std::sin(kPi * std::fmin(hz, kRate * 0.2f) / kRate);
        m_Q = 1.0f / q;
    }
    float Run(float x)
    {
        m_Low += m_F * m_Band;
        const float high = x - m_Low - m_Q * m_Band;
        m_Band += m_F * high;
        return m_Band;
    }

private:
    float m_F = 0.1f, m_Q = 1.0f, m_Low = 0.0f, m_Band = 0.0f;
};

// Attack-then-exponential-decay envelope at time t (s).
inline float Hit(float t, float attack, float decay)
{
    if (t < 0.0f)
        return 0.0f;
    if (t < attack)
        return t / attack;
    return std::exp(-(t - attack) / decay);
}

// Linear fade in over `in` seconds and out over the last `out` seconds of
// `length`.
inline float Fade(float t, float length, float in, float out)
{
    float g = 1.0f;
    if (in > 0.0f && t < in)
        g = t / in;
    if (out > 0.0f && t > length - out)
        g = std::fmin(g, std::fmax(0.0f, (length - t) / out));
    return g;
}

inline float NoteHz(float midiNote)
{
    return 440.0f * std::pow(2.0f, (midiNote - 69.0f) / 12.0f);
}

inline int Samples(float seconds)
{
    return (int)(seconds * kRate);
}

// Adds `x` at index i of a loop buffer, wrapping past the end to the start.
inline void AddWrapped(std::vector<float>& loop, long long i, float x)
{
    const long long n = (long long)loop.size();
    loop[(size_t)(((i % n) + n) % n)] += x;
}

// Scales the samples so that the largest magnitude is `peak` (of full scale).
void Normalize(std::vector<float>& samples, float peak);
// Root mean square and peak, as fractions of full scale.
float Rms(const std::vector<float>& samples);
float Peak(const std::vector<float>& samples);

// A RIFF WAVE file of 16-bit PCM, channels interleaved; values clamped to
// -1..1.
std::vector<uint8_t> WaveFile(const std::vector<float>& samples, int channels, int rate);

}   // namespace synth
