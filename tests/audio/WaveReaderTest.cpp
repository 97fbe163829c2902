#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "audio/WaveReader.h"

namespace
{

// Builds RIFF files chunk by chunk, sizes as given (so they can lie).
struct Riff
{
    std::vector<uint8_t> bytes;
    explicit Riff(const char* form = "WAVE", const char* magic = "RIFF", bool header = true)
    {
        if (!header)
            return;   // a plain byte builder
        Id(magic);
        U32(0);   // patched by Done
        Id(form);
    }
    void Id(const char* id) { bytes.insert(bytes.end(), id, id + 4); }
    void U16(uint32_t v)
    {
        bytes.push_back((uint8_t)v);
        bytes.push_back((uint8_t)(v >> 8));
    }
    void U32(uint32_t v)
    {
        U16(v & 0xFFFF);
        U16(v >> 16);
    }
    Riff& Chunk(const char* id, const std::vector<uint8_t>& body, int64_t claimedSize = -1, bool pad = true)
    {
        Id(id);
        U32(claimedSize < 0 ? (uint32_t)body.size() : (uint32_t)claimedSize);
        bytes.insert(bytes.end(), body.begin(), body.end());
        if (pad && (body.size() & 1))
            bytes.push_back(0);
        return *this;
    }
    Riff& Fmt(uint16_t tag, uint16_t channels, uint32_t rate, uint16_t bits, int extraWord = -1,
              const std::vector<uint8_t>& extra = {}, int cut = 0)
    {
        Riff b("", "", false);
        b.U16(tag);
        b.U16(channels);
        b.U32(rate);
        b.U32(rate * channels * bits / 8);
        b.U16(channels * bits / 8);
        b.U16(bits);
        if (extraWord >= 0)
            b.U16((uint32_t)extraWord);
        b.bytes.insert(b.bytes.end(), extra.begin(), extra.end());
        b.bytes.resize(b.bytes.size() - (size_t)cut);
        return Chunk("fmt ", b.bytes);
    }
    std::vector<uint8_t> Done()
    {
        std::vector<uint8_t> out = bytes;
        const uint32_t size = (uint32_t)out.size() - 8;
        std::memcpy(&out[4], &size, 4);
        return out;
    }
};

std::vector<uint8_t> Samples(size_t n)
{
    std::vector<uint8_t> s(n);
    for (size_t i = 0; i < n; ++i)
        s[i] = (uint8_t)(i * 7 + 1);
    return s;
}

std::vector<uint8_t> ExtensiblePcm(uint16_t bits)
{
    Riff b("", "", false);
    b.U16(bits);   // valid bits
    b.U32(4);      // channel mask
    b.U16(1);      // PCM sub-format
    const uint8_t tail[14] = {0, 0, 0, 0, 0x10, 0, 0x80, 0, 0, 0xAA, 0, 0x38, 0x9B, 0x71};
    b.bytes.insert(b.bytes.end(), tail, tail + 14);
    return b.bytes;
}

struct WaveCase
{
    const char* what;
    std::vector<uint8_t> file;
    bool ok;
    uint32_t dataSize;   // when ok
    uint16_t channels;
    uint32_t dataOffset;   // when ok and not 0
};

std::vector<WaveCase> Cases()
{
    std::vector<WaveCase> c;
    c.push_back(
        {"valid mono 16-bit", Riff().Fmt(1, 1, 22050, 16).Chunk("data", Samples(100)).Done(), true, 100, 1, 44});
    c.push_back({"valid stereo 8-bit", Riff().Fmt(1, 2, 11025, 8).Chunk("data", Samples(64)).Done(), true, 64, 2, 44});
    c.push_back({"LIST before fmt",
                 Riff().Chunk("LIST", Samples(10)).Fmt(1, 1, 22050, 16).Chunk("data", Samples(40)).Done(), true, 40, 1,
                 62});
    c.push_back({"data before fmt", Riff().Chunk("data", Samples(8)).Fmt(1, 1, 22050, 16).Done(), true, 8, 1, 20});
    c.push_back({"odd chunk padded",
                 Riff().Chunk("junk", Samples(3)).Fmt(1, 1, 22050, 16).Chunk("data", Samples(20)).Done(), true, 20, 1,
                 56});
    c.push_back({"fmt with extra size word", Riff().Fmt(1, 1, 22050, 16, 0).Chunk("data", Samples(20)).Done(), true, 20,
                 1, 46});
    c.push_back({"extensible PCM",
                 Riff().Fmt(0xFFFE, 1, 22050, 16, 22, ExtensiblePcm(16)).Chunk("data", Samples(20)).Done(), true, 20, 1,
                 68});
    c.push_back({"truncated data keeps what is there",
                 Riff().Fmt(1, 1, 22050, 16).Chunk("data", Samples(50), 4000).Done(), true, 50, 1, 44});
    c.push_back(
        {"partial last frame dropped", Riff().Fmt(1, 2, 22050, 16).Chunk("data", Samples(26)).Done(), true, 24, 2, 44});
    c.push_back({"RIFF size beyond the file",
                 [] {
                     std::vector<uint8_t> f = Riff().Fmt(1, 1, 22050, 16).Chunk("data", Samples(10)).Done();
                     f[4] = 0xFF;
                     f[5] = 0xFF;
                     return f;
                 }(),
                 true, 10, 1, 44});

    c.push_back(
        {"not RIFF", Riff("WAVE", "RIFX").Fmt(1, 1, 22050, 16).Chunk("data", Samples(10)).Done(), false, 0, 0, 0});
    c.push_back(
        {"RIFF but not WAVE", Riff("AVI ").Fmt(1, 1, 22050, 16).Chunk("data", Samples(10)).Done(), false, 0, 0, 0});
    c.push_back({"shorter than a header", {'R', 'I', 'F', 'F', 4, 0, 0, 0, 'W'}, false, 0, 0, 0});
    c.push_back({"fmt under 16 bytes", Riff().Fmt(1, 1, 22050, 16, -1, {}, 2).Chunk("data", Samples(10)).Done(), false,
                 0, 0, 0});
    c.push_back({"fmt past the end of the file",
                 [] {
                     Riff r;
                     r.Chunk("fmt ", Samples(16), 400);
                     return r.Done();
                 }(),
                 false, 0, 0, 0});
    c.push_back({"extra size past its chunk",
                 Riff().Fmt(0xFFFE, 1, 22050, 16, 60, ExtensiblePcm(16)).Chunk("data", Samples(10)).Done(), false, 0, 0,
                 0});
    c.push_back({"ADPCM", Riff().Fmt(2, 1, 22050, 4, 0).Chunk("data", Samples(10)).Done(), false, 0, 0, 0});
    c.push_back({"24-bit PCM", Riff().Fmt(1, 1, 22050, 24).Chunk("data", Samples(30)).Done(), false, 0, 0, 0});
    c.push_back({"six channels", Riff().Fmt(1, 6, 22050, 16).Chunk("data", Samples(24)).Done(), false, 0, 0, 0});
    c.push_back({"zero rate", Riff().Fmt(1, 1, 0, 16).Chunk("data", Samples(10)).Done(), false, 0, 0, 0});
    c.push_back({"empty data", Riff().Fmt(1, 1, 22050, 16).Chunk("data", {}).Done(), false, 0, 0, 0});
    c.push_back({"less than one frame", Riff().Fmt(1, 2, 22050, 16).Chunk("data", Samples(3)).Done(), false, 0, 0, 0});
    c.push_back({"too short for the device once mono",
                 Riff().Fmt(1, 2, 22050, 8).Chunk("data", Samples(5), 64, false).Done(), false, 0, 0, 0});
    c.push_back({"no data chunk", Riff().Fmt(1, 1, 22050, 16).Done(), false, 0, 0, 0});
    c.push_back({"no fmt chunk", Riff().Chunk("data", Samples(10)).Done(), false, 0, 0, 0});
    return c;
}

TEST(WaveReader, ChecksEverySizeOfTheFile)
{
    for (const WaveCase& c : Cases())
    {
        SCOPED_TRACE(c.what);
        WaveLayout layout = {};
        const char* reason = nullptr;
        const int result = ParseWave(c.file.data(), c.file.size(), &layout, &reason);
        if (!c.ok)
        {
            EXPECT_EQ(result, -1);
            EXPECT_NE(reason, nullptr);
            continue;
        }
        ASSERT_EQ(result, 0) << (reason ? reason : "");
        EXPECT_EQ(layout.dataSize, c.dataSize);
        EXPECT_EQ(layout.format.nChannels, c.channels);
        EXPECT_EQ(layout.format.wFormatTag, WAVE_FORMAT_PCM);
        EXPECT_EQ(layout.format.cbSize, 0);
        EXPECT_LE((size_t)layout.dataOffset + layout.dataSize, c.file.size());
        if (c.dataOffset)
        {
            EXPECT_EQ(layout.dataOffset, c.dataOffset);
        }
        // The reader hands out exactly those samples.
        CWaveReader reader;
        ASSERT_EQ(reader.OpenBytes(c.file.data(), c.file.size()), 0);
        std::vector<uint8_t> got(c.dataSize + 10);
        uint32_t n = 0;
        ASSERT_EQ(reader.Read((uint32_t)got.size(), got.data(), &n), 0);
        ASSERT_EQ(n, c.dataSize);
        EXPECT_EQ(0, std::memcmp(got.data(), c.file.data() + layout.dataOffset, n));
        EXPECT_EQ(reader.dataLeft, 0u);
    }
}

TEST(WaveReader, ReadsInPiecesAndStartsAgainAfterReset)
{
    const std::vector<uint8_t> file = Riff().Fmt(1, 1, 22050, 16).Chunk("data", Samples(100)).Done();
    CWaveReader reader;
    ASSERT_EQ(reader.OpenBytes(file.data(), file.size()), 0);
    uint8_t part[60];
    uint32_t n = 0;
    reader.Read(60, part, &n);
    EXPECT_EQ(n, 60u);
    reader.Read(60, part, &n);
    EXPECT_EQ(n, 40u);
    EXPECT_EQ(part[0], file[44 + 60]);
    reader.Read(60, part, &n);
    EXPECT_EQ(n, 0u);
    ASSERT_EQ(reader.ResetFile(), 0);
    reader.Read(10, part, &n);
    EXPECT_EQ(n, 10u);
    EXPECT_EQ(part[0], file[44]);
    reader.Close();
    EXPECT_EQ(reader.format, nullptr);
    EXPECT_EQ(reader.Read(10, part, &n), -1);
}

TEST(WaveReader, DownmixAveragesTheTwoChannels)
{
    WAVEFORMATEX stereo16 = {1, 2, 22050, 88200, 4, 16, 0};
    const int16_t in16[4] = {1000, -3000, 32767, 32767};
    std::vector<uint8_t> mono = DownmixToMono((const uint8_t*)in16, sizeof(in16), stereo16);
    ASSERT_EQ(mono.size(), 4u);
    int16_t out16[2];
    std::memcpy(out16, mono.data(), 4);
    EXPECT_EQ(out16[0], -1000);
    EXPECT_EQ(out16[1], 32767);

    WAVEFORMATEX stereo8 = {1, 2, 22050, 44100, 2, 8, 0};
    const uint8_t in8[4] = {0, 255, 200, 100};
    mono = DownmixToMono(in8, 4, stereo8);
    EXPECT_EQ(mono, (std::vector<uint8_t>{127, 150}));

    WAVEFORMATEX mono16 = {1, 1, 22050, 44100, 2, 16, 0};
    EXPECT_EQ(DownmixToMono(in8, 4, mono16), std::vector<uint8_t>(in8, in8 + 4));
}

}   // namespace
