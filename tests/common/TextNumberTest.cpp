#include "common/TextNumber.h"

#include <gtest/gtest.h>

namespace
{

struct IntegerCase
{
    const char* text;
    long low, high;
    bool ok;
    int value;   // when ok
};

TEST(TextNumberTest, IntegersAreReadAndChecked)
{
    const IntegerCase cases[] = {
        {"42", 0, 100, true, 42},
        {"  -7 rest of line", -10, 10, true, -7},
        {"", 0, 5, true, 0},       // no digits read as 0, inside the range
        {"abc", 1, 5, false, 0},   // ... and refused when 0 is outside it
        {"101", 0, 100, false, 0},
        {"-1", 0, 100, false, 0},
        {"99999999999999999999999", 0, 2147483647, false, 0},   // overflow
    };
    for (const IntegerCase& c : cases)
    {
        int out = -12345;
        EXPECT_EQ(ParseBoundedInteger(c.text, c.low, c.high, &out), c.ok) << c.text;
        EXPECT_EQ(out, c.ok ? c.value : -12345) << c.text << ": written only on success";
    }
}

struct NumberCase
{
    const char* text;
    double low, high;
    bool ok;
    double value;
};

TEST(TextNumberTest, NumbersAreReadAndChecked)
{
    const NumberCase cases[] = {
        {"1.5", 0.0, 10.0, true, 1.5},        {" -2.25e1 kg", -100.0, 0.0, true, -22.5},
        {"", -1.0, 1.0, true, 0.0},           {"x", 0.5, 1.0, false, 0.0},
        {"inf", -1e300, 1e300, false, 0.0},   {"nan", -1e300, 1e300, false, 0.0},
        {"1e999", -1e300, 1e300, false, 0.0},   // overflow
        {"10.0001", 0.0, 10.0, false, 0.0},
    };
    for (const NumberCase& c : cases)
    {
        double out = -12345.0;
        EXPECT_EQ(ParseBoundedNumber(c.text, c.low, c.high, &out), c.ok) << c.text;
        EXPECT_EQ(out, c.ok ? c.value : -12345.0) << c.text;
    }
}

}   // namespace
