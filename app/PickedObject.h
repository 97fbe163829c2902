#pragma once
// The last object a ray test hit, with its class and type, and the ray pick
// over the placed objects and the racers (the sun flare asks it whether
// anything hides the sun). Every object ray test that hits updates the
// record; the landscape's sets only the class.
class CStaticObject;

// The racers the pick looks at after the placed objects, in list order: the
// motorcycle list's racers (tests may put others in their place).
struct PickRacers
{
    int (*count)();
    CStaticObject* (*at)(int index);
};
extern PickRacers g_PickRacers;

class CPickedObject
{
public:
    // The empty record {null, -1, -1}; 1.
    int Init();
    // Records the object with its class and type.
    void Set(CStaticObject* hit);
    // Mode 0: the first object hit (placed objects, then racers); mode 1: the
    // nearest hit over both; any other mode: the nearest placed object, and
    // the racers only when no placed object is hit. The hit point of the kept
    // hit (in mode 0 the first one) goes to `out` (when given). A miss returns null and leaves the
    // record as the ray tests left it.
    CStaticObject* Pick(const float from[3], const float to[3], float out[3], int mode);

    CStaticObject* object = nullptr;
    int objectClass = -1;
    int objectType = -1;
};

extern CPickedObject g_PickedObject;
