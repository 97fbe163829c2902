// Generator module: the positional effect sounds (mono, 22050 Hz, 16 bits):
// six engine loops, sixteen impacts, fourteen tyre skids and the rider
// voices, five male and five female.
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "tools/DataTree.h"
#include "tools/SoundSynth.h"

using namespace synth;

namespace
{

void AddSound(DataTree& tree, const char* format, int number, std::vector<float> samples, float peak)
{
    char name[64];
    std::snprintf(name, sizeof(name), format, number);
    Normalize(samples, peak);
    tree.Add(name, WaveFile(samples, 1, kRate));
}

// ---------------------------------------------------------------------------
// Engines: a whole number of crank cycles, so the loop has no seam. Each
// cycle fires the cylinders at their offsets; a firing is a resonant knock
// with a burst of exhaust noise. The game raises the pitch with the revs.

struct EngineKind
{
    int cyclePeriod;            // samples per crank cycle (two turns)
    std::vector<float> fires;   // firing offsets within the cycle
    float knockHz;              // resonance of the firing knock
    float knockDecay;           // s
    float noise;                // exhaust noise share
    float drive;                // saturation
};

std::vector<float> Engine(const EngineKind& k, uint32_t seed)
{
    const int cycles = 12;
    const int loop = k.cyclePeriod * cycles;
    Noise noise(seed);
    std::vector<float> noiseLoop(loop);
    for (float& n : noiseLoop)
        n = noise.Next();

    // Three passes through the loop let the filters settle; the last is kept.
    std::vector<float> out(loop);
    LowPass body, hiss;
    body.SetCutoff(1800.0f);
    hiss.SetCutoff(2500.0f);
    for (int pass = 0; pass < 3; ++pass)
        for (int i = 0; i < loop; ++i)
        {
            const float inCycle = (float)(i % k.cyclePeriod) / (float)k.cyclePeriod;
            float x = 0.0f, envelope = 0.0f;
            for (float f : k.fires)
            {
                float since = inCycle - f;
                if (since < 0.0f)
                    since += 1.0f;
                const float t = since * (float)k.cyclePeriod / kRate;
                const float e = Hit(t, 0.0008f, k.knockDecay);
                envelope += e;
                x += e * (std::sin(2.0f * kPi * k.knockHz * t) + 0.8f * std::sin(2.0f * kPi * k.knockHz * 0.5f * t));
            }
            x += k.noise * hiss.Run(noiseLoop[i]) * (0.3f + envelope);
            const float y = std::tanh(k.drive * body.Run(x));
            if (pass == 2)
                out[i] = y;
        }
    return out;
}

// ---------------------------------------------------------------------------
// Impacts: a low body thump, a noise crunch and a few metal partials.

std::vector<float> Impact(int index)
{
    Noise rnd(100 + index);
    const float length = rnd.Range(0.28f, 0.5f);
    const int n = Samples(length);
    const float thumpHz = rnd.Range(55.0f, 110.0f);
    const float crunchCut = rnd.Range(900.0f, 4000.0f);
    const float metal = index % 3 == 0 ? 0.6f : rnd.Range(0.0f, 0.35f);
    float partials[4];
    for (float& p : partials)
        p = rnd.Range(380.0f, 2400.0f);
    LowPass crunch;
    crunch.SetCutoff(crunchCut);
    std::vector<float> out(n);
    float phase = 0.0f;
    for (int i = 0; i < n; ++i)
    {
        const float t = (float)i / kRate;
        phase += 2.0f * kPi * thumpHz * (1.0f + 1.5f * std::exp(-t / 0.02f)) / kRate;
        float x = 1.0f * Hit(t, 0.002f, 0.07f) * std::sin(phase);
        x += 0.9f * Hit(t, 0.001f, 0.045f) * crunch.Run(rnd.Next());
        for (int p = 0; p < 4; ++p)
            x += metal * 0.25f * Hit(t, 0.001f, 0.09f + 0.03f * p) * std::sin(2.0f * kPi * partials[p] * t);
        out[i] = x * Fade(t, length, 0.0f, 0.03f);
    }
    return out;
}

// ---------------------------------------------------------------------------
// Skids: a wavering squeal over band-passed tyre noise.

std::vector<float> Skid(int index)
{
    Noise rnd(300 + index);
    const float length = rnd.Range(0.55f, 0.95f);
    const int n = Samples(length);
    const float squealHz = rnd.Range(650.0f, 1150.0f);
    const float wobbleHz = rnd.Range(5.0f, 11.0f);
    BandPass rubber;
    rubber.Set(rnd.Range(900.0f, 1600.0f), 3.0f);
    std::vector<float> out(n);
    float phase = 0.0f;
    for (int i = 0; i < n; ++i)
    {
        const float t = (float)i / kRate;
        const float hz = squealHz * (1.0f + 0.03f * std::sin(2.0f * kPi * wobbleHz * t) + 0.01f * rnd.Next());
        phase += 2.0f * kPi * hz / kRate;
        const float squeal = std::sin(phase) + 0.3f * std::sin(2.0f * phase) + 0.12f * std::sin(3.0f * phase);
        const float grip = 0.55f + 0.45f * std::sin(2.0f * kPi * (wobbleHz * 0.37f) * t);
        const float x = 0.6f * squeal * grip + 1.6f * rubber.Run(rnd.Next());
        out[i] = x * Fade(t, length, 0.03f, 0.18f);
    }
    return out;
}

// ---------------------------------------------------------------------------
// Voices: a glottal pulse train through three vowel formants, with a pitch
// contour; a gliding vowel gives "whoa" and "ow".

struct Vowel
{
    float f1, f2, f3;
};
const Vowel kA = {750, 1200, 2600}, kO = {500, 850, 2450}, kU = {330, 800, 2300}, kE = {550, 1800, 2600};

struct VoiceLine
{
    Vowel from, to;
    float length;                 // s
    float pitchStart, pitchEnd;   // factors of the voice's base pitch
};

std::vector<float> Voice(float baseHz, float formantShift, const VoiceLine& line, uint32_t seed)
{
    Noise rnd(seed);
    const int n = Samples(line.length);
    BandPass f[3];
    std::vector<float> out(n);
    float phase = 0.0f;
    for (int i = 0; i < n; ++i)
    {
        const float t = (float)i / kRate, u = t / line.length;
        const float glide = u * u * (3.0f - 2.0f * u);
        const float hz = baseHz * (line.pitchStart + (line.pitchEnd - line.pitchStart) * u) *
                         (1.0f + 0.015f * std::sin(2.0f * kPi * 5.5f * t) + 0.01f * rnd.Next());
        phase += hz / kRate;
        phase -= std::floor(phase);
        const float pulse = 1.0f - 2.0f * phase + 0.15f * rnd.Next();   // saw plus breath
        const float formants[3] = {line.from.f1 + (line.to.f1 - line.from.f1) * glide,
                                   line.from.f2 + (line.to.f2 - line.from.f2) * glide,
                                   line.from.f3 + (line.to.f3 - line.from.f3) * glide};
        float x = 0.0f;
        const float gains[3] = {1.0f, 0.6f, 0.25f};
        for (int k = 0; k < 3; ++k)
        {
            f[k].Set(formants[k] * formantShift, 8.0f);
            x += gains[k] * f[k].Run(pulse);
        }
        out[i] = x * Fade(t, line.length, 0.04f, line.length * 0.35f);
    }
    return out;
}

const VoiceLine kLines[5] = {
    {kA, kA, 0.65f, 1.25f, 0.85f},   // "aah!"
    {kU, kA, 0.75f, 0.95f, 1.2f},    // "whoa"
    {kU, kU, 0.30f, 1.1f, 0.8f},     // "oof"
    {kA, kU, 0.50f, 1.3f, 0.9f},     // "ow"
    {kE, kE, 0.40f, 1.0f, 1.35f},    // "hey!"
};

void Generate(DataTree& tree)
{
    const EngineKind engines[6] = {
        {441, {0.0f}, 180.0f, 0.018f, 0.35f, 2.2f},                             // big single
        {400, {0.0f, 0.4375f}, 210.0f, 0.014f, 0.3f, 2.0f},                     // V-twin
        {360, {0.0f, 0.5f}, 240.0f, 0.012f, 0.25f, 1.8f},                       // parallel twin
        {315, {0.0f, 1.0f / 3.0f, 2.0f / 3.0f}, 280.0f, 0.010f, 0.25f, 1.7f},   // triple
        {294, {0.0f, 0.25f, 0.5f, 0.75f}, 330.0f, 0.008f, 0.2f, 1.6f},          // four
        {490, {0.0f, 0.25f}, 160.0f, 0.020f, 0.4f, 2.4f},                       // off-beat twin
    };
    for (int i = 0; i < 6; ++i)
        AddSound(tree, "Data/Audio/En%02d.wav", i + 1, Engine(engines[i], 500 + i), 0.7f);
    for (int i = 0; i < 16; ++i)
        AddSound(tree, "Data/Audio/Imp%02d.wav", i + 1, Impact(i), 0.89f);
    for (int i = 0; i < 14; ++i)
        AddSound(tree, "Data/Audio/WhS%02d.wav", i + 1, Skid(i), 0.6f);
    for (int i = 0; i < 5; ++i)
    {
        AddSound(tree, "Data/Audio/MS%02d.wav", i + 1, Voice(120.0f + 8.0f * i, 1.0f, kLines[i], 700 + i), 0.8f);
        AddSound(tree, "Data/Audio/FS%02d.wav", i + 1, Voice(230.0f + 12.0f * i, 1.18f, kLines[i], 800 + i), 0.8f);
    }
}

REGISTER_GENERATOR("effect sounds", Generate);

}   // namespace
