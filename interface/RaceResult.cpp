// Scoring, the result rows and the career step.
#include "interface/RaceResult.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "racers/VehicleObject.h"

RaceResultPoints g_RaceResult;

char g_ResultRows[RESULT_ROWS][3][RESULT_TEXT_SIZE] = {
    {"Position :", "", ""},
    {"Your time :", "", ""},
    {"Best track time :", "", ""},
    {"Max Speed :", "", ""},
    {"Avg Speed :", "", ""},
    {"Collision times :", "", ""},
    {"Fallout times :", "", ""},
    {"Outside of road time :", "", ""},
    {"Time on fly :", "", ""},
    {"Inflicted kicks :", "", ""},
    {"Overall track score :", "", ""},
};

namespace
{

// Whole part of a statistic; anything not finite or beyond a day of racing
// reads 0 so that no conversion overflows.
int WholeOf(float v)
{
    if (!std::isfinite(v) || std::fabs(v) > 1.0e6f)
        return 0;
    return int(v);
}

}   // namespace

RaceResultPoints ScoreRace(const RaceStats& stats, const int prizes[3])
{
    RaceResultPoints p{};
    const int place = stats.Position + 1;
    p.place = (place >= 1 && place <= 3) ? prizes[place - 1] : 0;
    p.crash = stats.Crashes == 0 ? 100 : -10 * int(0.2 * double(stats.Crashes));
    p.fall = stats.Falls == 0 ? 100 : -100 * stats.Falls;
    p.offRoad = stats.OffRouteTime == 0.0f ? 100 : -10 * WholeOf(stats.OffRouteTime);
    p.air = stats.AirTime > 0.0f ? 50 * WholeOf(stats.AirTime) : 0;
    p.kick = stats.Kicks > 0 ? 20 * stats.Kicks : 0;
    const long long sum = (long long)p.place + p.crash + p.fall + p.offRoad + p.air + p.kick;
    p.total = sum < 0 ? 0 : (sum > 2000000000LL ? 2000000000 : int(sum));
    return p;
}

void FormatRaceTime(float seconds, char* out, int size)
{
    const float t = (std::isfinite(seconds) && seconds >= 0.0f && seconds < 360000.0f) ? seconds : 0.0f;
    const int minutes = int(t / 60.0f);
    const int whole = int(t);
    std::snprintf(out, size_t(size), "%02d:%02d.%02d", minutes, whole - 60 * minutes, int((t - float(whole)) * 100.0f));
}

void FillResultRows(const RaceStats& stats, const RaceResultPoints& points, float bestTime, const char* bestHolder)
{
    auto value = [](int row) { return g_ResultRows[row][1]; };
    auto pts = [](int row) { return g_ResultRows[row][2]; };
    for (int r = 0; r < RESULT_ROWS; ++r)
        value(r)[0] = pts(r)[0] = 0;

    std::snprintf(value(0), RESULT_TEXT_SIZE, "%d", stats.Position + 1);
    std::snprintf(pts(0), RESULT_TEXT_SIZE, "%+d", points.place);
    FormatRaceTime(stats.RaceTime, value(1), RESULT_TEXT_SIZE);
    FormatRaceTime(bestTime, value(2), RESULT_TEXT_SIZE);
    std::snprintf(pts(2), RESULT_TEXT_SIZE, "- %.20s", bestHolder ? bestHolder : "");
    std::snprintf(value(3), RESULT_TEXT_SIZE, "%d", WholeOf(stats.TopSpeed));
    std::snprintf(value(4), RESULT_TEXT_SIZE, "%d", WholeOf(stats.AverageSpeed));
    std::snprintf(value(5), RESULT_TEXT_SIZE, "%d", int(double(stats.Crashes) * 0.2));
    std::snprintf(pts(5), RESULT_TEXT_SIZE, "%+d", points.crash);
    std::snprintf(value(6), RESULT_TEXT_SIZE, "%d", stats.Falls);
    std::snprintf(pts(6), RESULT_TEXT_SIZE, "%+d", points.fall);
    std::snprintf(value(7), RESULT_TEXT_SIZE, "%d sec", WholeOf(stats.OffRouteTime));
    std::snprintf(pts(7), RESULT_TEXT_SIZE, "%+d", points.offRoad);
    std::snprintf(value(8), RESULT_TEXT_SIZE, "%d sec", WholeOf(stats.AirTime));
    std::snprintf(pts(8), RESULT_TEXT_SIZE, "%+d", points.air);
    std::snprintf(value(9), RESULT_TEXT_SIZE, "%d", stats.Kicks);
    std::snprintf(pts(9), RESULT_TEXT_SIZE, "%+d", points.kick);
    std::snprintf(value(10), RESULT_TEXT_SIZE, "%d", points.total);
}

int CareerCanUpgrade(const CareerData& career)
{
    for (int i = 0; i < CAREER_SYSTEMS; ++i)
        if (career.upgradeLevel[i] < RESULT_UPGRADE_TOP)
            return 1;
    return 0;
}

CareerStepOutcome ApplyCareerStep(CareerData& career, int raceTotal, int place, float raceTime, const RaceTable& table)
{
    CareerStepOutcome out{};

    // Points: one upgrade point per thousand career points beyond a thousand
    // for each upgrade already bought, none once every level is full.
    const float s = float(raceTotal) + career.totalScore;
    const float earned = (s - float(career.upgradesBought) * 1000.0f) / 1000.0f;
    if (earned >= 1.0f && earned < 1.0e6f && CareerCanUpgrade(career))
    {
        out.addedPoints = int(earned);
        career.upgradePoints += out.addedPoints;
    }
    career.totalScore = s;

    // A row left at 18 by a quick race (or anything else outside the
    // career) would index past the career's arrays: keep it in range.
    if (career.raceIndex < 0)
        career.raceIndex = 0;
    if (career.raceIndex > RESULT_CAREER_RACES - 1)
        career.raceIndex = RESULT_CAREER_RACES - 1;
    career.place[career.raceIndex] = place;
    career.raceTime[career.raceIndex] = raceTime;

    if (place < 1 || place > 3)
        return out;   // the same race is offered again

    ++career.raceIndex;
    out.advanced = 1;
    const int row = career.raceIndex;
    const int combination = table.area[row] * 3 + table.season[row];
    if (combination >= 0 && combination < 9)
        career.unlocked[combination] = 1;

    if (career.raceIndex >= RESULT_CAREER_RACES)
    {
        // The next start must not find row 18, which is empty then.
        career.savedRaceIndex = 0;
        career.raceIndex = 0;
        out.completed = 1;
    }
    out.raceId = career.raceIndex;
    return out;
}

int CupIndexForPlace(int place)
{
    return (place >= 1 && place <= 3) ? place - 1 : -1;
}
