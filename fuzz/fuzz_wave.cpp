// Fuzz target for the WAVE reader.
// Input: the bytes of a sound file. A file the reader takes must describe
// whole frames of 8- or 16-bit PCM inside the file; the reader must hand out
// exactly those bytes; and the sound device (the recording one) must accept
// the buffers made from it, as is and down-mixed to mono for positional
// sounds. Any broken rule aborts, so the fuzzer reports the input.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "audio/AudioManager.h"
#include "audio/GameSound.h"
#include "audio/WaveReader.h"
#include "platform/audio/DSoundBackend.h"

namespace
{

void Check(bool ok, const char* what)
{
    if (!ok)
    {
        std::fprintf(stderr, "broken rule: %s\n", what);
        std::abort();
    }
}

IDirectSound8* Device()
{
    static IDirectSound8* device = [] {
        DSoundSelectBackend(DSoundBackendKind::Recording);
        IDirectSound8* d = nullptr;
        DirectSoundCreate8(nullptr, &d, nullptr);
        return d;
    }();
    return device;
}

}   // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > (1u << 20))
        return 0;
    WaveLayout layout = {};
    const char* reason = nullptr;
    const int result = ParseWave(data, size, &layout, &reason);
    CWaveReader reader;
    const int opened = reader.OpenBytes(data, size);
    Check((result == 0) == (opened == 0), "reader and parse agree");
    if (result != 0)
    {
        Check(reason != nullptr, "a refusal has a reason");
        return 0;
    }
    const WAVEFORMATEX& f = layout.format;
    Check(f.wFormatTag == WAVE_FORMAT_PCM && (f.nChannels == 1 || f.nChannels == 2), "PCM, one or two channels");
    Check(f.wBitsPerSample == 8 || f.wBitsPerSample == 16, "8 or 16 bits");
    Check(f.nBlockAlign == f.nChannels * f.wBitsPerSample / 8, "block align");
    Check(layout.dataSize > 0 && layout.dataSize % f.nBlockAlign == 0, "whole frames");
    Check((uint64_t)layout.dataOffset + layout.dataSize <= size, "samples inside the file");

    std::vector<uint8_t> samples(layout.dataSize);
    uint32_t got = 0;
    Check(reader.Read((uint32_t)samples.size() + 7, samples.data(), &got) == 0 && got == layout.dataSize,
          "reader hands out the data chunk");
    Check(std::memcmp(samples.data(), data + layout.dataOffset, got) == 0, "the same bytes");
    const std::vector<uint8_t> mono = DownmixToMono(samples.data(), got, f);
    Check(mono.size() == got / f.nChannels, "down-mix size");

    // The memory block of a loaded sound, as plain and as positional sound.
    g_AudioManager.directSound = Device();
    SoundMemoryBlock block = {};
    block.data = new uint8_t[size];
    std::memcpy(block.data, data, size);
    block.size = (uint32_t)size;
    block.referenceCount = 1;
    Check(GetBlockBuffer(&block, SOUND_TYPE_2D) != nullptr, "device takes the samples");
    Check(GetBlockBuffer(&block, SOUND_TYPE_3D) != nullptr, "device takes the mono samples");
    ReleaseBlock(&block);
    Check(block.data == nullptr && DSoundLiveBufferCount() == 0, "block freed");
    DSoundClearRecordedCalls();
    return 0;
}
