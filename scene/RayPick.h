#pragma once
// What the object ray tests report to the picked-object record, which lives
// above the scene. Unset entries do nothing.
class CStaticObject;

struct RayPickHooks
{
    // An object's ray test hit it.
    void (*objectHit)(CStaticObject* object);
    // An object is being released: a record that names it must forget it.
    void (*objectReleased)(const CStaticObject* object);
};
extern RayPickHooks g_RayPickHooks;
