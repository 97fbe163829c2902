#pragma once
// What a long run of the demonstration race watches, free of the game: every
// racer's position and velocity must stay finite, every racer must keep
// getting further along its route while it races, every race must be ridden
// to its end, and the resident memory must not grow once the first races
// have loaded what they need.
//
// The caller feeds one sample per racer and frame; progress along the route
// is the racer's path point counted over laps (a drop of more than half the
// path is a lap, a smaller drop a respawn further back), so a racer thrown
// back again and again to the same place counts as stuck too.
#include <string>
#include <vector>

struct SoakRacerSample
{
    const void* id = nullptr;   // the racer, for telling racers apart
    std::string name;
    float position[3] = {0, 0, 0};
    float velocity[3] = {0, 0, 0};
    int pathPoint = 0;
    bool racing = false;   // past the start signal, not held on the grid
};

struct SoakLimits
{
    float stuckSeconds = 30.0f;   // game seconds without getting further while racing
    float growthMiB = 16.0f;      // resident memory allowed above the baseline
    int warmupRaces = 3;          // the races whose highest resident memory is the baseline
};

class SoakMonitor
{
public:
    explicit SoakMonitor(const SoakLimits& limits = SoakLimits()) : m_Limits(limits) {}

    // A race begins: its path has pathCount points and it is ridden for laps
    // laps. The race before it, if not done, stays counted as unfinished.
    void BeginRace(int pathCount, int laps);
    // One frame of dt game seconds with every racer of the race.
    void Sample(const std::vector<SoakRacerSample>& racers, float dt);
    // Every racer of the race has ridden its laps (counted once per race).
    bool RaceDone() const { return m_RaceDone; }

    // The resident memory now. The baseline is the highest sample while the
    // warm-up races run (each area loaded once by then); growth is the
    // highest sample after them less the baseline.
    void MemorySample(double residentMiB);

    int RacesStarted() const { return m_RacesStarted; }
    int RacesFinished() const { return m_RacesFinished; }
    int NonFinite() const { return m_NonFinite; }
    const std::vector<std::string>& StuckRacers() const { return m_Stuck; }
    bool HaveBaseline() const { return m_Baseline >= 0.0; }
    double BaselineMiB() const { return m_Baseline; }
    double PeakAfterBaselineMiB() const { return m_PeakAfter; }
    double GrowthMiB() const { return HaveBaseline() && m_PeakAfter > m_Baseline ? m_PeakAfter - m_Baseline : 0.0; }

    // The faults found so far, one line each; empty when the run is sound.
    std::vector<std::string> Faults() const;

private:
    struct Track
    {
        const void* id;
        int lastPoint;
        int laps;
        long start;   // progress at the first racing sample, -1 before it
        long best;    // furthest progress so far
        float sinceBest;
        bool stuck;
        bool done;
    };

    SoakLimits m_Limits;
    std::vector<Track> m_Tracks;
    int m_PathCount = 0;
    int m_Laps = 1;
    bool m_RaceDone = false;
    int m_RacesStarted = 0;
    int m_RacesFinished = 0;
    int m_NonFinite = 0;
    std::vector<std::string> m_Stuck;
    double m_WarmPeak = 0.0;
    double m_Baseline = -1.0;
    double m_PeakAfter = 0.0;
};

// The resident memory of this process in MiB (0 when it cannot be read).
double ResidentMiB();

// The memory the soak watches for growth: the resident memory, or under
// AddressSanitizer the live heap (its resident size grows by design).
double WatchedMemoryMiB();
// The column title of that figure.
const char* WatchedMemoryLabel();
// The heap in use, in MiB.
double HeapInUseMiB();
