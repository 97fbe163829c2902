#include "render/MeshContainer.h"

#include <btBulletCollisionCommon.h>

#include <cstdio>
#include <cstring>
#include <vector>

#include "core/DebugLog.h"
#include "core/FileManager.h"
#include "render/D3DRender.h"

CMeshContainer g_MeshContainer;

const DWORD VertexFvfTable[MESH_VERTEX_TYPES] = {
    0x112,      // position, normal, uv
    0x152,      // position, normal, diffuse, uv
    0x142,      // position, diffuse, uv
    0x102,      // position, uv
    0x012,      // position, normal
    0x140342,   // position, diffuse, uv, two three-component sets
    0x140312,   // position, normal, uv, two three-component sets
};

namespace
{

const int kFollowsCaller = -1;

// Vertex type each slot is loaded with (kFollowsCaller: the caller's), and
// whether the slot stays in system memory whatever the caller asks for (the
// collision code and the occlusion test read those buffers back).
const int kSlotVertexType[MESH_SLOTS] = {kFollowsCaller,
                                         kFollowsCaller,
                                         3,
                                         0,
                                         4,
                                         3,
                                         kFollowsCaller,
                                         kFollowsCaller,
                                         kFollowsCaller,
                                         kFollowsCaller,
                                         4,
                                         4,
                                         4,
                                         4,
                                         4,
                                         4};
const bool kSlotSystemMemory[MESH_SLOTS] = {false, false, false, false, false, false, false, false,
                                            false, false, true,  false, true,  true,  true,  true};

const DWORD kWhite = 0xFFFFFFFFu;

void FileError(const char* name)
{
    char text[320];
    std::snprintf(text, sizeof(text), "Open mesh file '%s' error!", name);
    ShowMessage(text, "Mesh error!", 0);
}

// Converts the slot's file vertices (8 floats each) of one part into the
// layout of the vertex type.
void ConvertVertices(const float* in, int count, int type, std::vector<uint8_t>& out)
{
    const UINT stride = D3DXGetFVFVertexSize(VertexFvfTable[type]);
    out.assign(size_t(count) * stride, 0);
    for (int i = 0; i < count; ++i, in += MESH_FILE_FLOATS_PER_VERTEX)
    {
        uint8_t* dst = out.data() + size_t(i) * stride;
        const float* pos = in;
        const float* normal = in + 3;
        const float* uv = in + 6;
        switch (type)
        {
        case 0:
        {
            MeshVertexPNT v = {pos[0], pos[1], pos[2], normal[0], normal[1], normal[2], uv[0], uv[1]};
            std::memcpy(dst, &v, sizeof(v));
            break;
        }
        case 1:
        {
            MeshVertexPNDT v = {pos[0], pos[1], pos[2], normal[0], normal[1], normal[2], kWhite, uv[0], uv[1]};
            std::memcpy(dst, &v, sizeof(v));
            break;
        }
        case 2:
        {
            MeshVertexPDT v = {pos[0], pos[1], pos[2], kWhite, uv[0], uv[1]};
            std::memcpy(dst, &v, sizeof(v));
            break;
        }
        case 3:
        {
            MeshVertexPT v = {pos[0], pos[1], pos[2], uv[0], uv[1]};
            std::memcpy(dst, &v, sizeof(v));
            break;
        }
        case 4:
        {
            MeshVertexPN v = {pos[0], pos[1], pos[2], normal[0], normal[1], normal[2]};
            std::memcpy(dst, &v, sizeof(v));
            break;
        }
        case 5:
        {
            // The file has no colour or extra sets: white and zero.
            MeshVertexPDT33 v = {pos[0], pos[1], pos[2], kWhite, uv[0], uv[1], {0, 0, 0}, {0, 0, 0}};
            std::memcpy(dst, &v, sizeof(v));
            break;
        }
        default:
        {
            MeshVertexPNT33 v = {pos[0],    pos[1], pos[2], normal[0], normal[1],
                                 normal[2], uv[0],  uv[1],  {0, 0, 0}, {0, 0, 0}};
            std::memcpy(dst, &v, sizeof(v));
            break;
        }
        }
    }
}

// One part as a D3DX mesh with the slot's layout and options; null when the
// device cannot make it.
ID3DXMesh* CreatePartMesh(const MeshFileSlot& slot, int part, int type, DWORD options, int optimize)
{
    IDirect3DDevice9* device = g_Render.device;
    if (!device)
        return nullptr;
    const DWORD fvf = VertexFvfTable[type];
    ID3DXMesh* mesh = nullptr;
    if (FAILED(D3DXCreateMeshFVF(DWORD(slot.faceCount), DWORD(slot.vertexCount), options, fvf, device, &mesh)) || !mesh)
        return nullptr;

    std::vector<uint8_t> converted;
    ConvertVertices(slot.vertices.data() + size_t(part) * slot.vertexCount * MESH_FILE_FLOATS_PER_VERTEX,
                    slot.vertexCount, type, converted);
    void* data = nullptr;
    if (SUCCEEDED(mesh->LockVertexBuffer(D3DLOCK_DISCARD, &data)) && data)
    {
        std::memcpy(data, converted.data(), converted.size());
        mesh->UnlockVertexBuffer();
    }
    data = nullptr;
    if (SUCCEEDED(mesh->LockIndexBuffer(D3DLOCK_DISCARD, &data)) && data)
    {
        std::memcpy(data, slot.indices.data(), slot.indices.size() * sizeof(uint16_t));
        mesh->UnlockIndexBuffer();
    }
    if (optimize)
        mesh->OptimizeInplace(D3DXMESHOPT_VERTEXCACHE | D3DXMESHOPT_IGNOREVERTS, nullptr, nullptr, nullptr, nullptr);
    return mesh;
}

void CopySummaryBounds(MeshRecord& r)
{
    for (int s = 0; s < MESH_SLOTS; ++s)
    {
        if (r.partCount[s] <= 0)
            continue;
        for (int k = 0; k < 3; ++k)
        {
            r.boundsMin[k] = r.partBox[s][0][k];
            r.boundsMax[k] = r.partBox[s][0][k + 3];
            r.boundsSize[k] = r.partSize[s][0][k];
            r.boundsCentre[k] = r.partCentre[s][0][k];
        }
        r.boundsRadius = r.partRadius[s][0];
        return;
    }
}

// Reads the whole file; false when it cannot be opened.
bool ReadWholeFile(const char* name, std::vector<uint8_t>& bytes)
{
    int size = 0;
    const int file = g_FileManager.Open(name, FILE_WORLD, &size);
    if (file < 0)
        return false;
    bytes.resize(size > 0 ? size_t(size) : 0);
    const size_t got = bytes.empty() ? 0 : g_FileManager.Read(bytes.data(), 1, bytes.size(), file);
    bytes.resize(got);
    g_FileManager.Close(file);
    return true;
}

// Fills the record from the parsed file; false (record emptied) on a vertex
// type that has no layout.
bool FillRecord(MeshRecord& r, const MeshFileData& file, int vertexType, DWORD meshOptions, int optimize)
{
    for (int s = 0; s < MESH_SLOTS; ++s)
    {
        const MeshFileSlot& slot = file.slots[s];
        if (slot.partCount <= 0)
            continue;
        const int parts = slot.partCount;
        r.partBox[s] = new float[parts][6];
        r.partSize[s] = new float[parts][3];
        r.partCentre[s] = new float[parts][3];
        r.partRadius[s] = new float[parts];
        r.meshes[s] = new ID3DXMesh*[parts]();
        r.partCount[s] = parts;
        for (int p = 0; p < parts; ++p)
        {
            for (int k = 0; k < 6; ++k)
                r.partBox[s][p][k] = slot.boxes[size_t(p) * 6 + k];
            for (int k = 0; k < 3; ++k)
            {
                r.partCentre[s][p][k] = slot.centres[size_t(p) * 3 + k];
                r.partSize[s][p][k] = r.partBox[s][p][k + 3] - r.partBox[s][p][k];
            }
            r.partRadius[s][p] = slot.radii[p];
        }
    }

    for (int s = 0; s < MESH_SLOTS; ++s)
    {
        const MeshFileSlot& slot = file.slots[s];
        if (slot.partCount <= 0)
            continue;
        int type = kSlotVertexType[s];
        if (type == kFollowsCaller)
        {
            if (vertexType < 0 || vertexType >= MESH_VERTEX_TYPES)
            {
                ShowMessage("Empty vertex type!", "Create mesh error!", 0);
                r.Destroy();
                return false;
            }
            type = vertexType;
        }
        const DWORD options = kSlotSystemMemory[s] ? DWORD(D3DXMESH_SYSTEMMEM) : meshOptions;
        r.fvf[s] = VertexFvfTable[type];
        for (int p = 0; p < slot.partCount; ++p)
            r.meshes[s][p] = CreatePartMesh(slot, p, type, options, optimize);
    }

    for (int p = 0; p < MESH_POINT_SETS; ++p)
    {
        const int count = file.pointCount[p];
        if (count <= 0)
            continue;
        r.points[p] = new D3DXVECTOR3[count];
        for (int i = 0; i < count; ++i)
            r.points[p][i] = D3DXVECTOR3(&file.points[p][size_t(i) * 3]);
        r.pointCount[p] = count;
    }
    CopySummaryBounds(r);
    return true;
}

}   // namespace

MeshRecord::MeshRecord()
{
    vertexType = 0;
    std::memset(name, 0, sizeof(name));
    id = 0;
    refCount = 0;
    for (int s = 0; s < MESH_SLOTS; ++s)
    {
        fvf[s] = 0;
        partCount[s] = 0;
        meshes[s] = nullptr;
        partBox[s] = nullptr;
        partSize[s] = nullptr;
        partCentre[s] = nullptr;
        partRadius[s] = nullptr;
    }
    for (int k = 0; k < 3; ++k)
        boundsMin[k] = boundsMax[k] = boundsSize[k] = boundsCentre[k] = compoundCentre[k] = 0.0f;
    boundsRadius = 0.0f;
    for (int p = 0; p < MESH_POINT_SETS; ++p)
    {
        pointCount[p] = 0;
        points[p] = nullptr;
    }
    shapeKind = -1;
    triangleShape = nullptr;
    triangleData = nullptr;
    hullShape = nullptr;
    compoundShape = nullptr;
    next = nullptr;
}

void MeshRecord::Destroy()
{
    for (int s = 0; s < MESH_SLOTS; ++s)
    {
        if (meshes[s])
        {
            for (int p = 0; p < partCount[s]; ++p)
                if (meshes[s][p])
                    meshes[s][p]->Release();
            delete[] meshes[s];
        }
        delete[] partBox[s];
        delete[] partSize[s];
        delete[] partCentre[s];
        delete[] partRadius[s];
        meshes[s] = nullptr;
        partBox[s] = nullptr;
        partSize[s] = nullptr;
        partCentre[s] = nullptr;
        partRadius[s] = nullptr;
        partCount[s] = 0;
        fvf[s] = 0;
    }
    for (int p = 0; p < MESH_POINT_SETS; ++p)
    {
        delete[] points[p];
        points[p] = nullptr;
        pointCount[p] = 0;
    }
    delete triangleShape;
    delete triangleData;
    delete hullShape;
    if (compoundShape)
    {
        if (compoundShape->isCompound())
        {
            btCompoundShape* compound = static_cast<btCompoundShape*>(compoundShape);
            for (int i = compound->getNumChildShapes() - 1; i >= 0; --i)
            {
                btCollisionShape* child = compound->getChildShape(i);
                compound->removeChildShapeByIndex(i);
                delete child;
            }
        }
        delete compoundShape;
    }
    triangleShape = nullptr;
    triangleData = nullptr;
    hullShape = nullptr;
    compoundShape = nullptr;
    for (int k = 0; k < 3; ++k)
        compoundCentre[k] = 0.0f;
}

CMeshContainer::CMeshContainer() : nextId(0), head(nullptr) {}

MeshRecord* CMeshContainer::Load(const char* name, int vertexType, DWORD meshOptions, int optimize)
{
    if (!name)
        return nullptr;
    MeshRecord* last = nullptr;
    for (MeshRecord* r = head; r; r = r->next)
    {
        if (r->vertexType == vertexType && std::strcmp(r->name, name) == 0)
        {
            ++r->refCount;
            return r;
        }
        last = r;
    }

    MeshRecord* record = new MeshRecord;
    record->refCount = 1;
    record->vertexType = vertexType;
    std::snprintf(record->name, sizeof(record->name), "%s", name);
    record->id = nextId++;
    if (last)
        last->next = record;
    else
        head = record;

    // A file that cannot be read, or whose counts do not fit its size, leaves
    // the record listed but empty: it draws nothing and shutdown reports it.
    std::vector<uint8_t> bytes;
    if (!ReadWholeFile(name, bytes))
    {
        FileError(name);
        return nullptr;
    }
    MeshFileData file;
    if (ParseMeshFile(bytes.data(), bytes.size(), file) != MESHFILE_OK)
    {
        FileError(name);
        return nullptr;
    }
    bytes.clear();
    bytes.shrink_to_fit();
    if (!FillRecord(*record, file, vertexType, meshOptions, optimize))
        return nullptr;
    return record;
}

void CMeshContainer::ReleaseMesh(MeshRecord* record)
{
    if (!record)
        return;
    if (record->refCount <= 0)
    {
        char line[400];
        std::snprintf(line, sizeof(line), "Mesh reference counter in use! (ID: %d; Name: %s", record->id, record->name);
        Log(line);
        return;
    }
    if (--record->refCount > 0)
        return;

    MeshRecord* previous = nullptr;
    for (MeshRecord* r = head; r; previous = r, r = r->next)
    {
        if (r != record)
            continue;
        if (previous)
            previous->next = r->next;
        else
            head = r->next;
        r->Destroy();
        delete r;
        return;
    }
}

void CMeshContainer::Release()
{
    Log("\tCMeshContainer::Release() start...");
    MeshRecord* r = head;
    while (r)
    {
        char line[400];
        std::snprintf(line, sizeof(line), "\t\tMesh lost! (ID: %d; REF: %d; Name: %s", r->id, r->refCount, r->name);
        Log(line);
        MeshRecord* next = r->next;
        r->Destroy();
        delete r;
        r = next;
    }
    head = nullptr;
    Log("\tCMeshContainer::Release() done!");
}
