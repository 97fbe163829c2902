// Generator module: the crowd (applause, disappointment, cheering; five
// variants each) and the interface sounds (button hover and press, upgrade,
// result rows and points, the progress loop and the upgrade reached).
// Mono, 22050 Hz, 16 bits.
#include <cmath>
#include <cstdio>
#include <vector>

#include "tools/DataTree.h"
#include "tools/SoundSynth.h"

using namespace synth;

namespace
{

void AddSound(DataTree& tree, const char* name, std::vector<float> samples, float peak)
{
    Normalize(samples, peak);
    tree.Add(name, WaveFile(samples, 1, kRate));
}

// One hand clap: a few milliseconds of band-passed noise.
void Clap(std::vector<float>& out, int at, float gain, Noise& rnd)
{
    BandPass bp;
    bp.Set(rnd.Range(900.0f, 2600.0f), 1.5f);
    const int n = Samples(0.03f);
    for (int i = 0; i < n && at + i < (int)out.size(); ++i)
        out[at + i] += gain * Hit((float)i / kRate, 0.0005f, 0.006f) * bp.Run(rnd.Next());
}

// Many voices on one vowel, each with its own pitch and drift.
void Voices(std::vector<float>& out, int count, float lowHz, float highHz, float f1, float f2, float rise, float gain,
            Noise& rnd)
{
    const float length = (float)out.size() / kRate;
    for (int v = 0; v < count; ++v)
    {
        const float hz = rnd.Range(lowHz, highHz), start = rnd.Range(0.0f, 0.3f) * length;
        const float drift = rnd.Range(2.0f, 6.0f);
        BandPass a, b;
        a.Set(f1 * rnd.Range(0.9f, 1.1f), 6.0f);
        b.Set(f2 * rnd.Range(0.9f, 1.1f), 6.0f);
        float phase = rnd.Range(0.0f, 1.0f);
        for (size_t i = (size_t)Samples(start); i < out.size(); ++i)
        {
            const float t = (float)i / kRate, u = (t - start) / (length - start);
            phase += hz * (1.0f + rise * u + 0.02f * std::sin(2.0f * kPi * drift * t)) / kRate;
            phase -= std::floor(phase);
            const float pulse = 1.0f - 2.0f * phase;
            out[i] += gain * (a.Run(pulse) + 0.5f * b.Run(pulse)) * Fade(t - start, length - start, 0.2f, 0.6f);
        }
    }
}

std::vector<float> Applause(int variant)
{
    Noise rnd(900 + variant);
    const float length = rnd.Range(2.2f, 3.0f);
    std::vector<float> out(Samples(length));
    const int claps = (int)(length * rnd.Range(380.0f, 460.0f));
    for (int c = 0; c < claps; ++c)
    {
        // Denser in the middle: the crowd joins in and tails off.
        const float u = rnd.Range(0.0f, 1.0f), w = std::sin(kPi * u);
        if (rnd.Range(0.0f, 1.0f) > 0.25f + 0.75f * w)
            continue;
        Clap(out, Samples(u * (length - 0.05f)), rnd.Range(0.4f, 1.0f), rnd);
    }
    return out;
}

std::vector<float> Disappointed(int variant)
{
    Noise rnd(950 + variant);
    std::vector<float> out(Samples(rnd.Range(1.6f, 2.2f)));
    Voices(out, 24, 95.0f, 190.0f, 360.0f, 800.0f, -0.25f, 0.12f,
           rnd);   // "ooh", falling
    LowPass murmur;
    murmur.SetCutoff(600.0f);
    for (size_t i = 0; i < out.size(); ++i)
        out[i] += 0.08f * murmur.Run(rnd.Next()) * Fade((float)i / kRate, (float)out.size() / kRate, 0.2f, 0.5f);
    return out;
}

std::vector<float> Cheer(int variant)
{
    Noise rnd(980 + variant);
    const float length = rnd.Range(2.0f, 2.6f);
    std::vector<float> out(Samples(length));
    Voices(out, 28, 150.0f, 320.0f, 700.0f, 1500.0f, 0.2f, 0.1f,
           rnd);   // "yeah!", rising
    for (int c = 0; c < (int)(length * 60.0f); ++c)
        Clap(out, Samples(rnd.Range(0.1f, length - 0.1f)), rnd.Range(0.2f, 0.5f), rnd);
    // A whistle or two.
    for (int w = 0; w < 1 + variant % 2; ++w)
    {
        const float start = rnd.Range(0.2f, 0.8f), hz = rnd.Range(1900.0f, 2800.0f);
        float phase = 0.0f;
        for (size_t i = (size_t)Samples(start); i < out.size(); ++i)
        {
            const float t = (float)i / kRate - start;
            phase += 2.0f * kPi * hz * (1.0f + 0.08f * std::sin(2.0f * kPi * 1.3f * t)) / kRate;
            out[i] += 0.15f * std::sin(phase) * Fade(t, 0.8f, 0.05f, 0.3f);
        }
    }
    return out;
}

// A short tone with harmonics and a click of noise at its start.
void Blip(std::vector<float>& out, float at, float hz, float length, float gain, float bright)
{
    Noise rnd((uint32_t)(hz * 10.0f));
    for (int i = 0; i < Samples(length) && Samples(at) + i < (int)out.size(); ++i)
    {
        const float t = (float)i / kRate;
        const float x = std::sin(2.0f * kPi * hz * t) + bright * std::sin(4.0f * kPi * hz * t) +
                        0.4f * Hit(t, 0.0002f, 0.002f) * rnd.Next();
        out[(size_t)(Samples(at) + i)] += gain * x * Hit(t, 0.002f, length * 0.3f);
    }
}

void Generate(DataTree& tree)
{
    char name[64];
    for (int v = 1; v <= 5; ++v)
    {
        std::snprintf(name, sizeof(name), "Data/Audio/App%02d.wav", v);
        AddSound(tree, name, Applause(v), 0.7f);
        std::snprintf(name, sizeof(name), "Data/Audio/Foo%02d.wav", v);
        AddSound(tree, name, Disappointed(v), 0.6f);
        std::snprintf(name, sizeof(name), "Data/Audio/Yea%02d.wav", v);
        AddSound(tree, name, Cheer(v), 0.7f);
    }

    std::vector<float> in(Samples(0.06f));
    Blip(in, 0.0f, 1500.0f, 0.06f, 1.0f, 0.2f);
    AddSound(tree, "Data/Audio/Bt/Bt_In.wav", in, 0.4f);

    std::vector<float> press(Samples(0.14f));
    Blip(press, 0.0f, 700.0f, 0.07f, 1.0f, 0.5f);
    Blip(press, 0.05f, 1050.0f, 0.09f, 0.9f, 0.5f);
    AddSound(tree, "Data/Audio/Bt/Bt_Pr.wav", press, 0.6f);

    std::vector<float> upgrade(Samples(0.5f));
    const float arpeggio[4] = {72, 76, 79, 84};
    for (int k = 0; k < 4; ++k)
        Blip(upgrade, 0.08f * k, NoteHz(arpeggio[k]), 0.2f, 1.0f, 0.3f);
    AddSound(tree, "Data/Audio/Bt/Bt_Upgr.wav", upgrade, 0.7f);

    // A result row slides in: a short rising swoosh.
    std::vector<float> row(Samples(0.25f));
    {
        Noise rnd(41);
        BandPass bp;
        for (size_t i = 0; i < row.size(); ++i)
        {
            const float t = (float)i / kRate;
            bp.Set(600.0f + 9000.0f * t, 2.0f);
            row[i] = bp.Run(rnd.Next()) * Fade(t, 0.25f, 0.05f, 0.12f);
        }
    }
    AddSound(tree, "Data/Audio/Bt/RRS1.wav", row, 0.5f);

    // Points come in: a bell.
    std::vector<float> points(Samples(0.45f));
    Blip(points, 0.0f, 1320.0f, 0.45f, 1.0f, 0.0f);
    Blip(points, 0.0f, 1320.0f * 2.76f, 0.25f, 0.3f, 0.0f);
    AddSound(tree, "Data/Audio/Bt/RRS2.wav", points, 0.6f);

    // The progress bar filling, played looped: ticks of a whole number of
    // periods.
    std::vector<float> fill(Samples(0.24f));
    for (int k = 0; k < 4; ++k)
        Blip(fill, 0.06f * k, 880.0f + 110.0f * (k % 2), 0.05f, 1.0f, 0.3f);
    AddSound(tree, "Data/Audio/Bt/NewUpgr1.wav", fill, 0.45f);

    // An upgrade reached: a major chord.
    std::vector<float> reached(Samples(0.8f));
    const float chord[3] = {67, 71, 74};
    for (int k = 0; k < 3; ++k)
        Blip(reached, 0.02f * k, NoteHz(chord[k]), 0.8f, 0.8f, 0.35f);
    AddSound(tree, "Data/Audio/Bt/NewUpgr2.wav", reached, 0.7f);
}

REGISTER_GENERATOR("interface sounds", Generate);

}   // namespace
