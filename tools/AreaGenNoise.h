#pragma once
// Small deterministic helpers of the area generator: a seeded generator of
// its own (so the areas never depend on the game's random sequence) and
// lattice value noise.
#include <cmath>
#include <cstdint>

class AreaRng
{
public:
    explicit AreaRng(uint64_t seed) : m_State(seed * 0x9E3779B97F4A7C15ull + 0x632BE59BD9B4E019ull) { Next(); }

    uint32_t Next()
    {
        m_State = m_State * 6364136223846793005ull + 1442695040888963407ull;
        uint64_t x = m_State;
        x ^= x >> 33;
        x *= 0xFF51AFD7ED558CCDull;
        x ^= x >> 29;
        return static_cast<uint32_t>(x >> 16);
    }
    // Uniform in [0, 1).
    float Unit() { return (Next() >> 8) * (1.0f / 16777216.0f); }
    float Range(float lo, float hi) { return lo + (hi - lo) * Unit(); }
    // Uniform in [0, n).
    int Below(int n) { return n > 0 ? static_cast<int>(Next() % static_cast<uint32_t>(n)) : 0; }

private:
    uint64_t m_State;
};

inline float AreaSmooth(float t)
{
    return t * t * (3.0f - 2.0f * t);
}

inline float AreaSmoothStep(float lo, float hi, float x)
{
    float t = (x - lo) / (hi - lo);
    t = t < 0.0f ? 0.0f : (t > 1.0f ? 1.0f : t);
    return AreaSmooth(t);
}

// Hash of a lattice point to [0, 1).
inline float AreaLatticeValue(int x, int y, uint32_t seed)
{
    uint32_t h = static_cast<uint32_t>(x) * 0x8DA6B343u ^ static_cast<uint32_t>(y) * 0xD8163841u ^ seed * 0xCB1AB31Fu;
    h ^= h >> 15;
    h *= 0x2C1B3C6Du;
    h ^= h >> 12;
    h *= 0x297A2D39u;
    h ^= h >> 15;
    return (h >> 8) * (1.0f / 16777216.0f);
}

// Smoothly interpolated value noise in [0, 1) at (x, y) in lattice units.
inline float AreaValueNoise(float x, float y, uint32_t seed)
{
    float fx = std::floor(x), fy = std::floor(y);
    int ix = static_cast<int>(fx), iy = static_cast<int>(fy);
    float tx = AreaSmooth(x - fx), ty = AreaSmooth(y - fy);
    float a = AreaLatticeValue(ix, iy, seed), b = AreaLatticeValue(ix + 1, iy, seed);
    float c = AreaLatticeValue(ix, iy + 1, seed), d = AreaLatticeValue(ix + 1, iy + 1, seed);
    float top = a + (b - a) * tx, bottom = c + (d - c) * tx;
    return top + (bottom - top) * ty;
}

// Fractal sum of `octaves` noise layers, each twice as fine and half as
// strong; result in [0, 1). `scale` is the size of the coarsest feature.
inline float AreaFractalNoise(float x, float y, float scale, int octaves, uint32_t seed)
{
    float sum = 0.0f, weight = 1.0f, total = 0.0f, freq = 1.0f / scale;
    for (int o = 0; o < octaves; ++o)
    {
        sum += AreaValueNoise(x * freq, y * freq, seed + 101u * static_cast<uint32_t>(o)) * weight;
        total += weight;
        weight *= 0.5f;
        freq *= 2.0f;
    }
    return sum / total;
}
