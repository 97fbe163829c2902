#include "common/Keywords.h"

#include <cstring>

namespace
{

struct Keyword
{
    const char* text;
    int value;
};

// Exact, case-sensitive, whole-string comparison; the first match wins.
int Lookup(const Keyword* table, int count, const char* text, int fallback)
{
    if (!text)
        return fallback;
    for (int i = 0; i < count; ++i)
        if (std::strcmp(table[i].text, text) == 0)
            return table[i].value;
    return fallback;
}

const Keyword kClasses[] = {
    {"GCLASS_LANDSCAPE", GCLASS_LANDSCAPE}, {"GCLASS_STATIC", GCLASS_STATIC}, {"GCLASS_DYNAMIC", GCLASS_DYNAMIC},
    {"GCLASS_VEHICLE", GCLASS_VEHICLE},     {"GCLASS_HUMAN", GCLASS_HUMAN},   {"GCLASS_EFFECT", GCLASS_EFFECT},
};

const Keyword kTypes[] = {
    {"GTYPE_STATIC", GTYPE_STATIC}, {"GTYPE_FENCES", GTYPE_FENCES},     {"GTYPE_STONE", GTYPE_STONE},
    {"GTYPE_TREE", GTYPE_TREE},     {"GTYPE_BUILDING", GTYPE_BUILDING}, {"GTYPE_VEHICLE", GTYPE_VEHICLE},
    {"GTYPE_WHEEL", GTYPE_WHEEL},   {"GTYPE_HUMAN", GTYPE_HUMAN},       {"GTYPE_EFFECT", GTYPE_EFFECT},
};

const Keyword kEffects[] = {
    {"GEFFECT_CHROME", GEFFECT_CHROME},       {"GEFFECT_RGLASS", GEFFECT_RGLASS},
    {"GEFFECT_LIGHTMAPS", GEFFECT_LIGHTMAPS}, {"GEFFECT_SELFILLUM", GEFFECT_SELFILLUM},
    {"GEFFECT_LIGHTS", GEFFECT_LIGHTS},       {"GEFFECT_DIRECTLIGHTS", GEFFECT_DIRECTLIGHTS},
    {"GEFFECT_SPOTS", GEFFECT_SPOTS},         {"GEFFECT_FLAME", GEFFECT_FLAME},
    {"GEFFECT_SHADOW", GEFFECT_SHADOW},
};

const Keyword kShapes[] = {
    {"SHAPE_TYPE_TRIMESH", SHAPE_TYPE_TRIMESH},
    {"SHAPE_TYPE_CONVEXHULL", SHAPE_TYPE_CONVEXHULL},
    {"SHAPE_TYPE_COMPOUND", SHAPE_TYPE_COMPOUND},
    {"SHAPE_TYPE_GIMPACT", SHAPE_TYPE_GIMPACT},
};

// The rider file's label column is 32 characters wide and the action is read
// as that whole column, padding included.
const Keyword kActions[] = {
    {"ACTION_STEERING                 ", ACTION_STEERING},
    {"ACTION_STANDUP                  ", ACTION_STANDUP},
    {"ACTION_KICK_LEFT                ", ACTION_KICK_LEFT},
    {"ACTION_KICK_RIGHT               ", ACTION_KICK_RIGHT},
};

template <int N>
int LookupIn(const Keyword (&table)[N], const char* text, int fallback)
{
    return Lookup(table, N, text, fallback);
}

}   // namespace

int GetClassValue(const char* text)
{
    return LookupIn(kClasses, text, GCLASS_NONE);
}
int GetTypeValue(const char* text)
{
    return LookupIn(kTypes, text, GTYPE_NONE);
}
int GetEffectValue(const char* text)
{
    return LookupIn(kEffects, text, GEFFECT_NONE);
}
int GetShapeTypeValue(const char* text)
{
    return LookupIn(kShapes, text, SHAPE_TYPE_NONE);
}
int GetActionValue(const char* text)
{
    return LookupIn(kActions, text, ACTION_NONE);
}
