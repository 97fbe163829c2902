// Feeds arbitrary bytes to the mesh-file reader. An accepted file must hold
// exactly the data its counts announce and only triangles that name vertices
// of their slot; a refused one leaves nothing behind.
#include <cstdint>
#include <cstdlib>

#include "render/MeshFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    MeshFileData file;
    const MeshFileResult result = ParseMeshFile(data, size, file);
    if (result != MESHFILE_OK)
    {
        for (const MeshFileSlot& slot : file.slots)
            if (slot.partCount != 0 || !slot.vertices.empty() || !slot.indices.empty() || !slot.boxes.empty())
                std::abort();
        return 0;
    }
    uint64_t bytes = 3 * 64 + 64;
    for (const MeshFileSlot& slot : file.slots)
    {
        if (slot.partCount == 0)
            continue;
        const uint64_t parts = uint64_t(slot.partCount);
        if (slot.vertexCount <= 0 || slot.vertexCount > MESH_MAX_VERTICES || slot.faceCount <= 0 ||
            slot.boxes.size() != parts * 6 || slot.centres.size() != parts * 3 || slot.radii.size() != parts ||
            slot.vertices.size() != parts * uint64_t(slot.vertexCount) * MESH_FILE_FLOATS_PER_VERTEX ||
            slot.indices.size() != uint64_t(slot.faceCount) * 3)
            std::abort();
        for (uint16_t index : slot.indices)
            if (index >= slot.vertexCount)
                std::abort();
        bytes += parts * 40 + parts * uint64_t(slot.vertexCount) * 32 + uint64_t(slot.faceCount) * 6;
    }
    for (int p = 0; p < MESH_POINT_SETS; ++p)
    {
        if (file.pointCount[p] < 0 || file.points[p].size() != uint64_t(file.pointCount[p]) * 3)
            std::abort();
        bytes += uint64_t(file.pointCount[p]) * 12;
    }
    if (bytes > size)
        std::abort();
    return 0;
}
