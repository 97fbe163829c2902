#include "audio/WaveReader.h"

#include <cstring>

#include "core/DebugLog.h"
#include "core/FileManager.h"

namespace
{

uint16_t Get16(const uint8_t* p)
{
    return (uint16_t)(p[0] | (p[1] << 8));
}

uint32_t Get32(const uint8_t* p)
{
    return (uint32_t)p[0] | ((uint32_t)p[1] << 8) | ((uint32_t)p[2] << 16) | ((uint32_t)p[3] << 24);
}

bool Is(const uint8_t* p, const char* id)
{
    return std::memcmp(p, id, 4) == 0;
}

const uint16_t kTagPcm = 1;
const uint16_t kTagExtensible = 0xFFFE;
// The PCM sub-format of an extensible format, after its first two bytes.
const uint8_t kPcmGuidTail[14] = {0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};

// The format chunk's body (size checked to lie inside the file).
int ParseFormat(const uint8_t* body, uint32_t size, WAVEFORMATEX* out, const char** reason)
{
    if (size < 16)
    {
        *reason = "fmt chunk under 16 bytes";
        return -1;
    }
    WAVEFORMATEX f = {};
    f.wFormatTag = Get16(body);
    f.nChannels = Get16(body + 2);
    f.nSamplesPerSec = Get32(body + 4);
    f.nBlockAlign = Get16(body + 12);
    f.wBitsPerSample = Get16(body + 14);
    if (f.wFormatTag != kTagPcm)
    {
        // Every other format has the extra-size word and that many bytes.
        if (size < 18)
        {
            *reason = "fmt chunk without its extra size";
            return -1;
        }
        const uint32_t extra = Get16(body + 16);
        if (extra > size - 18)
        {
            *reason = "extra format bytes past the fmt chunk";
            return -1;
        }
        const bool pcmInside = f.wFormatTag == kTagExtensible && extra >= 22 && Get16(body + 24) == kTagPcm &&
                               std::memcmp(body + 26, kPcmGuidTail, sizeof(kPcmGuidTail)) == 0 &&
                               Get16(body + 18) == f.wBitsPerSample;
        if (!pcmInside)
        {
            *reason = "not PCM";
            return -1;
        }
        f.wFormatTag = kTagPcm;
    }
    if (f.wBitsPerSample != 8 && f.wBitsPerSample != 16)
    {
        *reason = "not 8- or 16-bit samples";
        return -1;
    }
    if (f.nChannels != 1 && f.nChannels != 2)
    {
        *reason = "not one or two channels";
        return -1;
    }
    if (f.nBlockAlign != f.nChannels * f.wBitsPerSample / 8)
    {
        *reason = "block align does not match the channels and bits";
        return -1;
    }
    if (f.nSamplesPerSec < DSBFREQUENCY_MIN || f.nSamplesPerSec > DSBFREQUENCY_MAX)
    {
        *reason = "sample rate out of range";
        return -1;
    }
    f.nAvgBytesPerSec = f.nSamplesPerSec * f.nBlockAlign;
    f.cbSize = 0;
    *out = f;
    return 0;
}

}   // namespace

int ParseWave(const uint8_t* bytes, size_t size, WaveLayout* layout, const char** reason)
{
    const char* unused = nullptr;
    if (!reason)
        reason = &unused;
    *reason = nullptr;
    if (!bytes || !layout || size < 12 || !Is(bytes, "RIFF") || !Is(bytes + 8, "WAVE"))
    {
        *reason = "not a RIFF WAVE file";
        return -1;
    }
    if (size > WAVE_FILE_LIMIT)
    {
        *reason = "file too large";
        return -1;
    }
    // The RIFF size may claim more than the file holds: the file ends the walk.
    const uint64_t riffEnd = 8 + (uint64_t)Get32(bytes + 4);
    const uint64_t end = riffEnd < size ? riffEnd : size;

    bool haveFormat = false, haveData = false;
    WAVEFORMATEX format = {};
    uint64_t dataOffset = 0, dataSize = 0;
    uint64_t pos = 12;
    while (pos + 8 <= end && !(haveFormat && haveData))
    {
        const uint8_t* head = bytes + pos;
        const uint64_t chunkSize = Get32(head + 4);
        const uint64_t body = pos + 8;
        if (Is(head, "fmt ") && !haveFormat)
        {
            if (body + chunkSize > size)
            {
                *reason = "fmt chunk past the end of the file";
                return -1;
            }
            if (ParseFormat(bytes + body, (uint32_t)chunkSize, &format, reason) != 0)
                return -1;
            haveFormat = true;
        }
        else if (Is(head, "data") && !haveData)
        {
            dataOffset = body;
            // A file cut short keeps the samples it has.
            dataSize = body + chunkSize <= size ? chunkSize : size - body;
            haveData = true;
        }
        pos = body + chunkSize + (chunkSize & 1);
    }
    if (!haveFormat)
    {
        *reason = "no fmt chunk";
        return -1;
    }
    if (!haveData)
    {
        *reason = "no data chunk";
        return -1;
    }
    dataSize -= dataSize % format.nBlockAlign;
    if (dataSize == 0)
    {
        *reason = "no samples in the data chunk";
        return -1;
    }
    // The device takes no buffer smaller than this, mono ones included.
    if (dataSize / format.nChannels < DSBSIZE_MIN)
    {
        *reason = "too few samples to play";
        return -1;
    }
    layout->format = format;
    layout->dataOffset = (uint32_t)dataOffset;
    layout->dataSize = (uint32_t)dataSize;
    return 0;
}

std::vector<uint8_t> DownmixToMono(const uint8_t* samples, uint32_t bytes, const WAVEFORMATEX& format)
{
    if (format.nChannels != 2)
        return std::vector<uint8_t>(samples, samples + bytes);
    const uint32_t frames = bytes / format.nBlockAlign;
    std::vector<uint8_t> mono;
    if (format.wBitsPerSample == 16)
    {
        mono.resize((size_t)frames * 2);
        for (uint32_t i = 0; i < frames; ++i)
        {
            const uint8_t* p = samples + (size_t)i * 4;
            const int left = (int16_t)Get16(p), right = (int16_t)Get16(p + 2);
            const int16_t m = (int16_t)((left + right) / 2);
            mono[(size_t)i * 2] = (uint8_t)(m & 0xFF);
            mono[(size_t)i * 2 + 1] = (uint8_t)((uint16_t)m >> 8);
        }
    }
    else
    {
        mono.resize(frames);
        for (uint32_t i = 0; i < frames; ++i)
            mono[i] = (uint8_t)((samples[(size_t)i * 2] + samples[(size_t)i * 2 + 1]) / 2);
    }
    return mono;
}

// ---------------------------------------------------------------------------

CWaveReader::CWaveReader() : format(nullptr), dataSize(0), dataLeft(0), failure(nullptr), m_Layout{}, m_Open(false) {}

CWaveReader::~CWaveReader()
{
    Close();
}

int CWaveReader::Open(const char* name)
{
    format = nullptr;
    m_Open = false;
    if (m_Memory.empty())
    {
        if (!name)
            return -1;
        int size = 0;
        int handle = g_FileManager.Open(name, FILE_SD, &size);
        if (handle == -1)
            handle = g_FileManager.Open(name, FILE_BINARY, &size);
        if (handle == -1)
            return -1;
        if (size <= 0 || (uint32_t)size > WAVE_FILE_LIMIT)
        {
            g_FileManager.Close(handle);
            LogString("Sound file of unusable size: %s", name);
            return -1;
        }
        m_Memory.resize((size_t)size);
        const size_t got = g_FileManager.Read(m_Memory.data(), 1, m_Memory.size(), handle);
        g_FileManager.Close(handle);
        if (got != m_Memory.size())
        {
            m_Memory.clear();
            return -1;
        }
    }
    if (OpenFromMemory() != 0)
    {
        if (name)
            LogString("Unusable sound file: %s", name);
        if (failure)
            LogString("\t%s", failure);
        return -1;
    }
    return ResetFile();
}

int CWaveReader::OpenBytes(const uint8_t* bytes, size_t size)
{
    Close();
    if (!bytes || size == 0 || size > WAVE_FILE_LIMIT)
        return -1;
    m_Memory.assign(bytes, bytes + size);
    if (OpenFromMemory() != 0)
        return -1;
    return ResetFile();
}

int CWaveReader::OpenFromMemory()
{
    m_Open = false;
    if (m_Memory.empty())
        return -1;
    m_Open = true;
    if (ReadHeader() != 0)
    {
        CloseHandle();
        return -1;
    }
    return 0;
}

int CWaveReader::ReadHeader()
{
    format = nullptr;
    if (!m_Open || ParseWave(m_Memory.data(), m_Memory.size(), &m_Layout, &failure) != 0)
        return -1;
    format = &m_Layout.format;
    return 0;
}

int CWaveReader::ResetFile()
{
    if (!m_Open || !format)
        return -1;
    dataSize = m_Layout.dataSize;
    dataLeft = m_Layout.dataSize;
    return 0;
}

int CWaveReader::Read(uint32_t bytes, uint8_t* buffer, uint32_t* bytesRead)
{
    if (bytesRead)
        *bytesRead = 0;
    if (!m_Open || !format || !buffer)
        return -1;
    const uint32_t n = bytes < dataLeft ? bytes : dataLeft;
    const uint32_t at = m_Layout.dataOffset + (m_Layout.dataSize - dataLeft);
    std::memcpy(buffer, m_Memory.data() + at, n);
    dataLeft -= n;
    if (bytesRead)
        *bytesRead = n;
    return 0;
}

void CWaveReader::CloseHandle()
{
    m_Open = false;
}

void CWaveReader::Close()
{
    m_Open = false;
    format = nullptr;
    dataSize = 0;
    dataLeft = 0;
    m_Memory.clear();
    m_Memory.shrink_to_fit();
}
