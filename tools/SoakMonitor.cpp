// The long-run watch: see SoakMonitor.h.
#include "tools/SoakMonitor.h"

#include <malloc.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>

namespace
{

bool Finite(const float* v)
{
    return std::isfinite(v[0]) && std::isfinite(v[1]) && std::isfinite(v[2]);
}

}   // namespace

void SoakMonitor::BeginRace(int pathCount, int laps)
{
    m_Tracks.clear();
    m_PathCount = pathCount > 0 ? pathCount : 0;
    m_Laps = laps > 0 ? laps : 1;
    m_RaceDone = false;
    ++m_RacesStarted;
}

void SoakMonitor::Sample(const std::vector<SoakRacerSample>& racers, float dt)
{
    bool allDone = !racers.empty() && m_PathCount > 0;
    for (const SoakRacerSample& r : racers)
    {
        if (!Finite(r.position) || !Finite(r.velocity))
            ++m_NonFinite;
        Track* t = nullptr;
        for (Track& k : m_Tracks)
            if (k.id == r.id)
                t = &k;
        if (!t)
        {
            m_Tracks.push_back(Track{r.id, r.pathPoint, 0, -1, 0, 0.0f, false, false});
            t = &m_Tracks.back();
        }
        // A drop of more than half the path is the wrap to the next lap.
        if (m_PathCount > 0 && r.pathPoint < t->lastPoint - m_PathCount / 2)
            ++t->laps;
        t->lastPoint = r.pathPoint;
        const long progress = (long)t->laps * m_PathCount + r.pathPoint;
        if (!r.racing)
        {
            allDone = false;
            continue;
        }
        if (t->start < 0)
        {
            t->start = progress;
            t->best = progress;
        }
        if (progress > t->best)
        {
            t->best = progress;
            t->sinceBest = 0.0f;
        }
        else
            t->sinceBest += dt;
        if (!t->done && t->best - t->start >= (long)m_Laps * m_PathCount && m_PathCount > 0)
            t->done = true;
        if (!t->stuck && !t->done && t->sinceBest > m_Limits.stuckSeconds)
        {
            t->stuck = true;
            char line[256];
            std::snprintf(line, sizeof line, "%s in race %d at path point %d", r.name.c_str(), m_RacesStarted,
                          r.pathPoint);
            m_Stuck.push_back(line);
        }
        allDone = allDone && t->done;
    }
    if (allDone && !m_RaceDone)
    {
        m_RaceDone = true;
        ++m_RacesFinished;
    }
}

void SoakMonitor::MemorySample(double residentMiB)
{
    if (m_RacesStarted <= m_Limits.warmupRaces)
    {
        if (residentMiB > m_WarmPeak)
            m_WarmPeak = residentMiB;
        return;
    }
    if (!HaveBaseline())
    {
        // Like is compared with like: the highest the warm-up races went.
        m_Baseline = m_WarmPeak > 0.0 ? m_WarmPeak : residentMiB;
        m_PeakAfter = residentMiB;
    }
    if (residentMiB > m_PeakAfter)
        m_PeakAfter = residentMiB;
}

std::vector<std::string> SoakMonitor::Faults() const
{
    std::vector<std::string> faults;
    char line[256];
    if (m_NonFinite > 0)
    {
        std::snprintf(line, sizeof line, "%d samples of position or velocity were not finite", m_NonFinite);
        faults.push_back(line);
    }
    for (const std::string& s : m_Stuck)
        faults.push_back("stuck: " + s);
    if (GrowthMiB() > m_Limits.growthMiB)
    {
        std::snprintf(line, sizeof line, "resident memory grew %.1f MiB after the first races (%.1f -> %.1f MiB)",
                      GrowthMiB(), m_Baseline, m_PeakAfter);
        faults.push_back(line);
    }
    return faults;
}

#if defined(__SANITIZE_ADDRESS__)
#define SOAK_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define SOAK_ASAN 1
#endif
#endif
#ifdef SOAK_ASAN
// The sanitizer runtime's own count; GCC ships the runtime without this header.
extern "C" size_t __sanitizer_get_current_allocated_bytes();
#endif

double HeapInUseMiB()
{
#ifdef SOAK_ASAN
    return (double)__sanitizer_get_current_allocated_bytes() / (1024.0 * 1024.0);
#else
    return (double)mallinfo2().uordblks / (1024.0 * 1024.0);
#endif
}

double WatchedMemoryMiB()
{
#ifdef SOAK_ASAN
    // Under AddressSanitizer the resident size holds the quarantine of freed
    // blocks and the shadow memory, which grow for a long time by design;
    // the live heap is what a leak would raise.
    return HeapInUseMiB();
#else
    return ResidentMiB();
#endif
}

const char* WatchedMemoryLabel()
{
#ifdef SOAK_ASAN
    return "heap MiB";
#else
    return "RSS MiB";
#endif
}

double ResidentMiB()
{
    FILE* f = std::fopen("/proc/self/statm", "r");
    if (!f)
        return 0.0;
    long size = 0, resident = 0;
    const int read = std::fscanf(f, "%ld %ld", &size, &resident);
    std::fclose(f);
    if (read != 2)
        return 0.0;
    return (double)resident * (double)sysconf(_SC_PAGESIZE) / (1024.0 * 1024.0);
}
