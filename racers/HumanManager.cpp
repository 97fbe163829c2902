// The rider list, the shared ragdoll part shapes, the riders' update and
// visibility.
#include "racers/HumanManager.h"

#include <btBulletDynamicsCommon.h>

#include <algorithm>
#include <cstdio>

#include "core/DebugLog.h"
#include "core/Settings.h"
#include "platform/os/Rand.h"
#include "racers/HumanObject.h"
#include "racers/RagDoll.h"
#include "racers/VehicleObject.h"
#include "render/D3DRender.h"
#include "render/Views.h"

CHumanManager g_HumanManager;

const char g_HumanFile[] = "Data/Humans/Main.obj";

namespace
{

// The rider leaves its motorcycle's record before it goes, so no motorcycle
// keeps a rider that is gone.
void Destroy(CHumanObject* rider)
{
    if (rider->Vehicle && rider->Vehicle->Rider == rider)
        rider->Vehicle->Rider = nullptr;
    rider->Release();
    delete rider;
}

void FreeShapes()
{
    for (btBoxShape*& shape : g_HumanPartShapes)
    {
        delete shape;
        shape = nullptr;
    }
}

}   // namespace

CHumanManager::CHumanManager() : count(0)
{
    for (CHumanObject*& r : riders)
        r = nullptr;
}

int CHumanManager::Create()
{
    DeleteAll();
    FreeShapes();
    CHumanObject* probe = Add(g_HumanFile, nullptr, nullptr, nullptr);
    if (probe && probe->Usable())
    {
        for (int i = 0; i < HUMAN_PARTS; ++i)
        {
            const D3DXVECTOR3 half = probe->GetPartSize(i) * 0.5f;
            btBoxShape* shape = new btBoxShape(btVector3(half.x, half.y, half.z));
            // The margin lies inside the box: a part thinner than twice the
            // margin would turn the box inside out.
            shape->setMargin(std::min(0.1f, std::min(half.x, std::min(half.y, half.z)) * 0.5f));
            g_HumanPartShapes[i] = shape;
        }
    }
    else
        ShowMessage("No usable rider data: riders will not fall off!", "CHumanManager::Create() error!", MB_OK);
    Remove(probe);
    return 1;
}

CHumanObject* CHumanManager::Add(const char* file, const float*, const float*, const float*)
{
    if (count >= HUMAN_MAX_RIDERS)
        return nullptr;
    CHumanObject* rider = new CHumanObject();
    rider->Load(file);
    riders[count++] = rider;
    return rider;
}

void CHumanManager::Remove(CHumanObject* rider)
{
    for (int i = 0; i < count; ++i)
    {
        if (riders[i] != rider)
            continue;
        Destroy(rider);
        for (int j = i; j + 1 < count; ++j)
            riders[j] = riders[j + 1];
        riders[--count] = nullptr;
        return;
    }
}

void CHumanManager::DeleteAll()
{
    for (int i = 0; i < count; ++i)
    {
        Destroy(riders[i]);
        riders[i] = nullptr;
    }
    count = 0;
}

void CHumanManager::Release()
{
    DeleteAll();
    FreeShapes();
}

void CHumanManager::Update()
{
    if (g_EditorMode)
        return;
    for (int i = 0; i < count; ++i)
        riders[i]->Update();
}

void CHumanManager::UpdateVisibility()
{
    for (int i = 0; i < count; ++i)
        riders[i]->UpdateVisibility();
}

void CHumanManager::CullHidden()
{
    for (int i = 0; i < count; ++i)
        if (riders[i] && riders[i]->visible && riders[i]->IsOccluded())
            riders[i]->visible = 0;
}
