#include "core/TextTable.h"

#include <gtest/gtest.h>

#include <string>

TEST(TextTableTest, CaptionsAreTheirOwnText)
{
    for (const char* key : {"OPTIONS", "QUICK RACE", "no caption uses this", ""})
        EXPECT_EQ(std::string(g_TextTable.GetText(key)), key);
}
