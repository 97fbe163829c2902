#include "common/Keywords.h"

#include <gtest/gtest.h>

#include <string>

namespace
{

struct Case
{
    int (*parse)(const char*);
    const char* text;
    int expected;
};

std::string Pad32(const char* s)
{
    std::string t(s);
    t.resize(32, ' ');
    return t;
}

TEST(KeywordsTest, EveryKeywordAndItsNearMisses)
{
    const std::string steering = Pad32("ACTION_STEERING");
    const std::string standup = Pad32("ACTION_STANDUP");
    const std::string kickLeft = Pad32("ACTION_KICK_LEFT");
    const std::string kickRight = Pad32("ACTION_KICK_RIGHT");
    // Near misses of the padded column, kept alive for the whole table.
    const std::string tooLong = steering + " ";
    const std::string tooShort = steering.substr(0, 31);
    const std::string lowerCase = Pad32("action_steering");
    const Case cases[] = {
        {GetClassValue, "GCLASS_LANDSCAPE", 1},
        {GetClassValue, "GCLASS_STATIC", 2},
        {GetClassValue, "GCLASS_DYNAMIC", 4},
        {GetClassValue, "GCLASS_VEHICLE", 8},
        {GetClassValue, "GCLASS_HUMAN", 16},
        {GetClassValue, "GCLASS_EFFECT", 0x10000000},
        {GetClassValue, "gclass_static", 0},
        {GetClassValue, "GCLASS_STATIC ", 0},
        {GetClassValue, "GCLASS_STATIC\r", 0},
        {GetClassValue, "", 0},
        {GetClassValue, nullptr, 0},
        {GetTypeValue, "GTYPE_STATIC", 16},
        {GetTypeValue, "GTYPE_FENCES", 32},
        {GetTypeValue, "GTYPE_STONE", 64},
        {GetTypeValue, "GTYPE_TREE", 128},
        {GetTypeValue, "GTYPE_BUILDING", 256},
        {GetTypeValue, "GTYPE_VEHICLE", 512},
        {GetTypeValue, "GTYPE_WHEEL", 1024},
        {GetTypeValue, "GTYPE_HUMAN", 2048},
        {GetTypeValue, "GTYPE_EFFECT", 0x10000000},
        {GetTypeValue, "GTYPE_TREE ", 0},
        {GetTypeValue, "GTYPE_TREE\r", 0},
        {GetTypeValue, "GCLASS_STATIC", 0},
        {GetEffectValue, "GEFFECT_CHROME", 1010},
        {GetEffectValue, "GEFFECT_RGLASS", 1011},
        {GetEffectValue, "GEFFECT_LIGHTMAPS", 1020},
        {GetEffectValue, "GEFFECT_SELFILLUM", 1021},
        {GetEffectValue, "GEFFECT_LIGHTS", 1040},
        {GetEffectValue, "GEFFECT_DIRECTLIGHTS", 1041},
        {GetEffectValue, "GEFFECT_SPOTS", 1050},
        {GetEffectValue, "GEFFECT_FLAME", 1060},
        {GetEffectValue, "GEFFECT_SHADOW", 1070},
        {GetEffectValue, "GEFFECT_SMOKE", 1000},
        {GetEffectValue, "GEFFECT_SHADOW\r", 1000},
        {GetShapeTypeValue, "SHAPE_TYPE_TRIMESH", 0},
        {GetShapeTypeValue, "SHAPE_TYPE_CONVEXHULL", 1},
        {GetShapeTypeValue, "SHAPE_TYPE_COMPOUND", 2},
        {GetShapeTypeValue, "SHAPE_TYPE_GIMPACT", 3},
        {GetShapeTypeValue, "SHAPE_TYPE_BOX", -1},
        {GetShapeTypeValue, "SHAPE_TYPE_TRIMESH\r", -1},
        {GetActionValue, steering.c_str(), 1},
        {GetActionValue, standup.c_str(), 2},
        {GetActionValue, kickLeft.c_str(), 3},
        {GetActionValue, kickRight.c_str(), 4},
        {GetActionValue, "ACTION_STEERING", 0},
        {GetActionValue, tooLong.c_str(), 0},
        {GetActionValue, tooShort.c_str(), 0},
        {GetActionValue, lowerCase.c_str(), 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.parse(c.text), c.expected) << (c.text ? c.text : "(null)");
}

TEST(KeywordsTest, ClassAndTypeValuesAreDistinctBits)
{
    // Passes select several types with one mask.
    EXPECT_EQ(GetTypeValue("GTYPE_STATIC") | GetTypeValue("GTYPE_BUILDING"), 0x110);
    const char* types[] = {"GTYPE_STATIC",  "GTYPE_FENCES", "GTYPE_STONE", "GTYPE_TREE",  "GTYPE_BUILDING",
                           "GTYPE_VEHICLE", "GTYPE_WHEEL",  "GTYPE_HUMAN", "GTYPE_EFFECT"};
    int seen = 0;
    for (const char* t : types)
    {
        int v = GetTypeValue(t);
        EXPECT_EQ(v & (v - 1), 0) << t;
        EXPECT_EQ(seen & v, 0) << t;
        seen |= v;
    }
}

}   // namespace
