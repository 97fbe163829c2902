#pragma once
// One row per "Game.ini" key: where it lives, its default, the global it fills,
// the range the global is held to and what writing back and resetting do with
// it. Reading, clamping, writing back and the first-start reset all walk this
// table, so a setting is described in one place only.
#include <climits>
#include <cstddef>

struct SettingEntry
{
    const char* section;
    const char* key;
    const char* fileDefault;   // the text a missing key reads as
    int* value;

    // Kept range of the stored value. A set maxLimit replaces max: the limit
    // can be lowered while the program runs (the render device does so for
    // glow and blur).
    int min = INT_MIN;
    int max = INT_MAX;
    const int* maxLimit = nullptr;
    // A value outside the range becomes outsideValue instead of the nearer bound.
    bool replaceOutside = false;
    int outsideValue = 0;

    // The stored value is the file's number * scale + offset; writing back
    // turns it into file units again with signed division.
    int scale = 1;
    int offset = 0;

    bool written = false;   // WriteGameIni writes it back
    enum Reset
    {
        Keep,      // ResetSettings leaves it alone
        ToMax,     // ResetSettings gives it the upper bound (the current limit)
        ToValue,   // ResetSettings gives it resetValue
    } reset = Keep;
    int resetValue = 0;

    int* alsoSets = nullptr;   // a second global that reading gives the same value

    int Max() const { return maxLimit ? *maxLimit : max; }

    // Builders, so the table reads as one line per setting.
    constexpr SettingEntry AtLeast(int lo) const
    {
        SettingEntry e = *this;
        e.min = lo;
        return e;
    }
    constexpr SettingEntry Between(int lo, int hi) const
    {
        SettingEntry e = *this;
        e.min = lo;
        e.max = hi;
        return e;
    }
    constexpr SettingEntry UpToLimit(const int* limit) const
    {
        SettingEntry e = *this;
        e.min = 0;
        e.maxLimit = limit;
        return e;
    }
    constexpr SettingEntry OutsideGives(int v) const
    {
        SettingEntry e = *this;
        e.replaceOutside = true;
        e.outsideValue = v;
        return e;
    }
    constexpr SettingEntry Scaled(int s, int o) const
    {
        SettingEntry e = *this;
        e.scale = s;
        e.offset = o;
        return e;
    }
    constexpr SettingEntry Written() const
    {
        SettingEntry e = *this;
        e.written = true;
        return e;
    }
    constexpr SettingEntry ResetToLimit() const
    {
        SettingEntry e = *this;
        e.reset = ToMax;
        return e;
    }
    constexpr SettingEntry ResetTo(int v) const
    {
        SettingEntry e = *this;
        e.reset = ToValue;
        e.resetValue = v;
        return e;
    }
    constexpr SettingEntry AlsoSets(int* other) const
    {
        SettingEntry e = *this;
        e.alsoSets = other;
        return e;
    }
};

// The rows in file order; WriteGameIni writes the written ones in this order.
struct SettingsTableView
{
    const SettingEntry* entries;
    size_t count;
    const SettingEntry* begin() const { return entries; }
    const SettingEntry* end() const { return entries + count; }
};
SettingsTableView SettingsTable();
