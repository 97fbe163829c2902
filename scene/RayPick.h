#pragma once
// What the object and landscape ray tests report to the picked-object record, which lives
// above the scene: ConnectAppLinks connects them. Unset entries do nothing.
class CStaticObject;

struct RayPickHooks
{
    // An object's ray test hit it.
    void (*objectHit)(CStaticObject* object);
    // An object is being released: a record that names it must forget it.
    void (*objectReleased)(const CStaticObject* object);
    // The landscape's ray test hit the ground: the record names the ground's
    // class and keeps the object it holds.
    void (*landscapeHit)();
};
extern RayPickHooks g_RayPickHooks;
