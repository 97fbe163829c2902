#pragma once
// Keywords of the text data files and the values the game stores for them.
// Classes and types are bits so that passes and filters can select several
// of them with one mask (GTYPE_STATIC | GTYPE_BUILDING).

// Object classes.
#define GCLASS_NONE      0
#define GCLASS_LANDSCAPE 1
#define GCLASS_STATIC    2
#define GCLASS_DYNAMIC   4
#define GCLASS_VEHICLE   8
#define GCLASS_HUMAN     16
#define GCLASS_EFFECT    0x10000000

// Object types.
#define GTYPE_NONE     0
#define GTYPE_STATIC   16
#define GTYPE_FENCES   32
#define GTYPE_STONE    64
#define GTYPE_TREE     128
#define GTYPE_BUILDING 256
#define GTYPE_VEHICLE  512
#define GTYPE_WHEEL    1024
#define GTYPE_HUMAN    2048
#define GTYPE_EFFECT   0x10000000

// Effect sub-objects of an object description; GEFFECT_NONE creates none.
#define GEFFECT_NONE         1000
#define GEFFECT_CHROME       1010
#define GEFFECT_RGLASS       1011
#define GEFFECT_LIGHTMAPS    1020
#define GEFFECT_SELFILLUM    1021
#define GEFFECT_LIGHTS       1040
#define GEFFECT_DIRECTLIGHTS 1041
#define GEFFECT_SPOTS        1050
#define GEFFECT_FLAME        1060
#define GEFFECT_SHADOW       1070

// Collision-shape kinds.
#define SHAPE_TYPE_NONE       (-1)
#define SHAPE_TYPE_TRIMESH    0
#define SHAPE_TYPE_CONVEXHULL 1
#define SHAPE_TYPE_COMPOUND   2
#define SHAPE_TYPE_GIMPACT    3

// Rider actions.
enum HumanAction
{
    ACTION_NONE = 0,
    ACTION_STEERING = 1,
    ACTION_STANDUP = 2,
    ACTION_KICK_LEFT = 3,
    ACTION_KICK_RIGHT = 4
};

// Each parser takes the value text of a line as read (without its line break)
// and compares it exactly and case-sensitively; an unknown text gives the
// "none" value of its group.
int GetClassValue(const char* text);
int GetTypeValue(const char* text);
int GetEffectValue(const char* text);
int GetShapeTypeValue(const char* text);
// Rider actions are compared with the spaces that pad the rider file's
// 32-column label: "ACTION_STEERING" alone is not an action.
int GetActionValue(const char* text);
