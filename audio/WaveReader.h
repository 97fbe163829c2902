#pragma once
// Reads RIFF WAVE files held whole in memory: the format and the samples of
// the data chunk. Only 8- and 16-bit PCM with one or two channels is taken;
// every size in the file is checked against the file before it is used.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/audio/DSound.h"

// Where the samples of a checked WAVE file are.
struct WaveLayout
{
    WAVEFORMATEX format;   // cbSize 0, average bytes per second recomputed
    uint32_t dataOffset;   // of the first sample byte in the file
    uint32_t dataSize;     // whole frames only, never past the end of the file
};

// Checks a WAVE file: 0 and its layout, or -1 with the reason (a fixed text)
// when it cannot be played. Chunks may come in any order; a chunk of odd size
// is followed by one pad byte; a data chunk cut short by the end of the file
// keeps what is there, and a partial last frame is dropped. A sound needs at
// least DSBSIZE_MIN bytes of samples per channel.
int ParseWave(const uint8_t* bytes, size_t size, WaveLayout* layout, const char** reason);

// Mono samples of the same bit depth from stereo ones (each frame the mean of
// its two channels); mono samples come back unchanged.
std::vector<uint8_t> DownmixToMono(const uint8_t* samples, uint32_t bytes, const WAVEFORMATEX& format);

// The largest sound file read (a larger one is refused without reading it).
#define WAVE_FILE_LIMIT (64u << 20)

class CWaveReader
{
public:
    CWaveReader();
    ~CWaveReader();

    // Reads the file into the memory copy when there is none yet (the sound
    // pack first, then a loose file), then OpenFromMemory and ResetFile.
    // 0, or -1 when the file is missing, unreadable or not a playable WAVE
    // (the reason goes to the debug log).
    int Open(const char* name);
    // Takes a copy of a file already in memory as the memory copy.
    int OpenBytes(const uint8_t* bytes, size_t size);
    // Parses the memory copy (ReadHeader); 0 or -1.
    int OpenFromMemory();
    int ReadHeader();
    // Back to the first sample of the data chunk.
    int ResetFile();
    // Copies min(bytes, bytes left in the data chunk); 0, or -1 when nothing is
    // open.
    int Read(uint32_t bytes, uint8_t* buffer, uint32_t* bytesRead);
    // Ends the parse; the memory copy stays.
    void CloseHandle();
    // Frees the memory copy and the format.
    void Close();

    WAVEFORMATEX* format;   // null until a header was read
    uint32_t dataSize;      // of the data chunk
    uint32_t dataLeft;      // not read yet
    const char* failure;    // reason of the last failed parse

private:
    WaveLayout m_Layout;
    bool m_Open;
    std::vector<uint8_t> m_Memory;
};
