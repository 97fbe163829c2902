// Generator module: the music. Seven tracks of four bars each ("TrR00" the
// calmer menu theme, the others race tracks), rendered into a loop buffer so
// that every note's tail wraps round to the start and the track loops without
// a seam; and the start-logo jingle. Mono, 22050 Hz, 16 bits.
#include <cmath>
#include <cstdio>
#include <vector>

#include "tools/DataTree.h"
#include "tools/SoundSynth.h"

using namespace synth;

namespace
{

struct Track
{
    float bpm;
    int root;        // MIDI note of the key
    int chords[4];   // semitones above the root, one chord per bar
    bool minorChords[4];
    unsigned kickPattern;   // one bit per sixteenth of a bar, bit 0 first
    unsigned snarePattern;
    unsigned hatPattern;
    unsigned bassPattern;
    int arpStyle;   // 0 up, 1 up-down, 2 broken
    float leadGain;
    float padGain;
    float drumGain;
};

class Song
{
public:
    explicit Song(const Track& t) : m_Track(t)
    {
        m_Step = (int)std::lround(kRate * 60.0 / t.bpm / 4.0);
        m_Loop.assign((size_t)m_Step * 64, 0.0f);
    }

    std::vector<float>& Render();

private:
    void Kick(long long at);
    void Snare(long long at, Noise& rnd);
    void Hat(long long at, Noise& rnd);
    void Saw(long long at, int length, float hz, float gain, float cutoff, float attack);
    void Square(long long at, int length, float hz, float gain);

    const Track& m_Track;
    int m_Step;
    std::vector<float> m_Loop;
};

void Song::Kick(long long at)
{
    float phase = 0.0f;
    for (int i = 0; i < Samples(0.25f); ++i)
    {
        const float t = (float)i / kRate;
        phase += 2.0f * kPi * (45.0f + 110.0f * std::exp(-t / 0.03f)) / kRate;
        AddWrapped(m_Loop, at + i, m_Track.drumGain * 1.0f * std::sin(phase) * Hit(t, 0.001f, 0.12f));
    }
}

void Song::Snare(long long at, Noise& rnd)
{
    BandPass bp;
    bp.Set(1900.0f, 0.9f);
    for (int i = 0; i < Samples(0.2f); ++i)
    {
        const float t = (float)i / kRate;
        const float x = 0.9f * bp.Run(rnd.Next()) * Hit(t, 0.001f, 0.07f) +
                        0.4f * std::sin(2.0f * kPi * 190.0f * t) * Hit(t, 0.001f, 0.04f);
        AddWrapped(m_Loop, at + i, m_Track.drumGain * 0.6f * x);
    }
}

void Song::Hat(long long at, Noise& rnd)
{
    LowPass lp;
    lp.SetCutoff(6000.0f);
    for (int i = 0; i < Samples(0.05f); ++i)
    {
        const float n = rnd.Next();
        AddWrapped(m_Loop, at + i, m_Track.drumGain * 0.18f * (n - lp.Run(n)) * Hit((float)i / kRate, 0.0005f, 0.015f));
    }
}

void Song::Saw(long long at, int length, float hz, float gain, float cutoff, float attack)
{
    LowPass lp;
    lp.SetCutoff(cutoff);
    float phase = 0.0f;
    const int tail = Samples(0.08f);
    for (int i = 0; i < length + tail; ++i)
    {
        const float t = (float)i / kRate;
        phase += hz / kRate;
        phase -= std::floor(phase);
        float env = t < attack ? t / attack : 1.0f;
        if (i > length)
            env *= 1.0f - (float)(i - length) / (float)tail;
        AddWrapped(m_Loop, at + i, gain * env * lp.Run(1.0f - 2.0f * phase));
    }
}

void Song::Square(long long at, int length, float hz, float gain)
{
    LowPass lp;
    lp.SetCutoff(3500.0f);
    for (int i = 0; i < length + Samples(0.15f); ++i)
    {
        const float t = (float)i / kRate;
        const float wave = std::fmod(hz * t, 1.0f) < 0.5f ? 1.0f : -1.0f;
        AddWrapped(m_Loop, at + i, gain * lp.Run(wave) * Hit(t, 0.003f, 0.09f));
    }
}

std::vector<float>& Song::Render()
{
    Noise rnd((uint32_t)(m_Track.bpm * 7.0f) + (uint32_t)m_Track.root);
    const Track& t = m_Track;
    for (int bar = 0; bar < 4; ++bar)
    {
        const int chordRoot = t.root + t.chords[bar];
        const int third = t.minorChords[bar] ? 3 : 4;
        const int tones[4] = {chordRoot, chordRoot + third, chordRoot + 7, chordRoot + 12};
        const long long barStart = (long long)bar * 16 * m_Step;

        // Pad: the chord held for the bar, two detuned voices per tone.
        if (t.padGain > 0.0f)
            for (int k = 0; k < 3; ++k)
                for (float detune : {0.997f, 1.003f})
                    Saw(barStart, 16 * m_Step, NoteHz((float)tones[k]) * detune, t.padGain * 0.12f, 1400.0f, 0.15f);

        for (int s = 0; s < 16; ++s)
        {
            const long long at = barStart + (long long)s * m_Step;
            if (t.kickPattern >> s & 1)
                Kick(at);
            if (t.snarePattern >> s & 1)
                Snare(at, rnd);
            if (t.hatPattern >> s & 1)
                Hat(at, rnd);
            if (t.bassPattern >> s & 1)
            {
                const int note = (s == 14 && bar == 3) ? chordRoot - 12 + 7 : chordRoot - 24;
                Saw(at, m_Step - m_Step / 4, NoteHz((float)note), 0.35f, 500.0f, 0.005f);
            }
            // Lead arpeggio over the chord tones.
            if (t.leadGain > 0.0f && (s % 2 == 0 || t.arpStyle == 2))
            {
                int index = 0;
                if (t.arpStyle == 0)
                    index = (s / 2) % 4;
                else if (t.arpStyle == 1)
                    index = (s / 2) % 6 < 4 ? (s / 2) % 6 : 6 - (s / 2) % 6;
                else
                    index = (s * 3 + bar) % 4;
                Square(at, m_Step, NoteHz((float)(tones[index] + 12)), t.leadGain * 0.16f);
            }
        }
    }
    return m_Loop;
}

std::vector<float> LogoJingle()
{
    const float length = 2.6f;
    std::vector<float> out(Samples(length));
    const float notes[5] = {60, 64, 67, 72, 76};
    for (int k = 0; k < 5; ++k)
    {
        const float start = 0.11f * k, hz = NoteHz(notes[k]);
        for (size_t i = (size_t)Samples(start); i < out.size(); ++i)
        {
            const float tt = (float)i / kRate - start;
            const float bell = std::sin(2.0f * kPi * hz * tt) + 0.35f * std::sin(2.0f * kPi * hz * 2.0f * tt) +
                               0.12f * std::sin(2.0f * kPi * hz * 3.01f * tt);
            out[i] += 0.3f * bell * Hit(tt, 0.004f, k == 4 ? 0.9f : 0.35f);
        }
    }
    // The closing chord swells under the last note.
    for (size_t i = (size_t)Samples(0.5f); i < out.size(); ++i)
    {
        const float tt = (float)i / kRate - 0.5f;
        float x = 0.0f;
        for (float n : {48.0f, 55.0f, 64.0f, 67.0f})
            x += std::sin(2.0f * kPi * NoteHz(n) * tt);
        out[i] += 0.12f * x * Fade(tt, length - 0.5f, 0.3f, 1.2f);
    }
    return out;
}

// Bit patterns are read from the first sixteenth (bit 0).
const unsigned kFourFloor = 0x1111, kBackbeat = 0x1010, kEighths = 0x5555, kOffbeats = 0x4444;

const Track kTracks[7] = {
    // The menu theme: calm, with the pad carrying it.
    {108, 57, {0, 5, 8, 7}, {true, true, false, false}, 0x0101, 0x1010, kOffbeats, 0x0101, 1, 0.8f, 1.0f, 0.6f},
    {142,
     52,
     {0, 10, 8, 10},
     {true, false, false, false},
     kFourFloor,
     kBackbeat,
     kEighths,
     0x5555,
     0,
     1.0f,
     0.5f,
     1.0f},
    {150,
     55,
     {0, 3, 5, 3},
     {true, false, true, false},
     0x1111 | 0x0400,
     kBackbeat,
     0xFFFF,
     0x5555,
     2,
     0.9f,
     0.3f,
     1.0f},
    {136, 50, {0, 7, 9, 5}, {false, false, true, false}, kFourFloor, kBackbeat, kOffbeats, 0x3333, 1, 1.0f, 0.6f, 0.9f},
    {156, 53, {0, 0, 3, 5}, {true, true, false, false}, 0x0505, kBackbeat, kEighths, 0x5555, 2, 0.9f, 0.4f, 1.0f},
    {128,
     48,
     {0, 8, 3, 10},
     {true, false, false, false},
     kFourFloor,
     kBackbeat,
     0xFFFF,
     0x1111 | 0x4444,
     0,
     0.8f,
     0.7f,
     0.9f},
    {146,
     54,
     {0, 5, 7, 5},
     {false, false, false, false},
     kFourFloor | 0x8000,
     kBackbeat,
     kEighths,
     0x5555,
     1,
     1.0f,
     0.4f,
     1.0f},
};

void Generate(DataTree& tree)
{
    char name[64];
    for (int i = 0; i < 7; ++i)
    {
        Song song(kTracks[i]);
        std::vector<float> loop = song.Render();
        Normalize(loop, 0.8f);
        std::snprintf(name, sizeof(name), "Data/Audio/MusTrks/TrR%02d.wav", i);
        tree.Add(name, WaveFile(loop, 1, kRate));
    }
    std::vector<float> logo = LogoJingle();
    Normalize(logo, 0.8f);
    tree.Add("Data/Audio/Start logo.wav", WaveFile(logo, 1, kRate));
}

REGISTER_GENERATOR("music", Generate);

}   // namespace
