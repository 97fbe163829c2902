#include "racers/HumanFile.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "common/Keywords.h"
#include "common/TextNumber.h"
#include "render/MeshContainer.h"

namespace
{

// The columns of an action row and of a body-part row.
const int kLabel = 32;
const int kColumn = 5;
// Anything larger is a damaged file, whatever the meshes hold.
const long kMaxIndex = 10000000;
const double kMaxSpeed = 1000.0;
const double kMaxMass = 10000.0;
// Part boxes and pivots stay within this of the rider's origin.
const float kMaxExtent = 100.0f;

// The text of one fixed column (from `start`, at most `width` characters,
// width -1 for the rest of the line); "" past the end of the line.
void ColumnText(const char* line, int start, int width, char* out, size_t outSize)
{
    const size_t length = std::strlen(line);
    if ((size_t)start >= length)
    {
        out[0] = '\0';
        return;
    }
    size_t n = length - (size_t)start;
    if (width >= 0 && n > (size_t)width)
        n = (size_t)width;
    if (n >= outSize)
        n = outSize - 1;
    std::memcpy(out, line + start, n);
    out[n] = '\0';
}

// A number read into a float, false when outside low..high.
bool ParseNumber(const char* text, double low, double high, float* out)
{
    double v = 0.0;
    if (!ParseBoundedNumber(text, low, high, &v))
        return false;
    *out = (float)v;
    return true;
}

bool IntegerColumn(const char* line, int start, int width, int* out)
{
    char text[DESCRIPTION_LINE_BUFFER];
    ColumnText(line, start, width, text, sizeof(text));
    return ParseBoundedInteger(text, -kMaxIndex, kMaxIndex, out);
}

bool Fail(char* error, int errorSize, const char* text)
{
    std::snprintf(error, (size_t)errorSize, "%s", text);
    return false;
}

bool Finite(const float* v, int n, float limit)
{
    for (int i = 0; i < n; ++i)
        if (!std::isfinite(v[i]) || std::fabs(v[i]) > limit)
            return false;
    return true;
}

}   // namespace

int ReadHumanValues(int handle, HumanFileValues* values, char* error, int errorSize)
{
    std::memset(values, 0, sizeof(*values));
    char line[DESCRIPTION_LINE_BUFFER];

    if (!ReadDescriptionLine(handle, line))
        return Fail(error, errorSize, "Rider file is too short!");
    if (!ParseNumber(DescriptionValue(line), 0.0, kMaxMass, &values->mass) || !(values->mass > 0.0f))
        return Fail(error, errorSize, "Wrong rider mass!");
    if (!ReadDescriptionLine(handle, line))
        return Fail(error, errorSize, "Rider file is too short!");
    std::snprintf(values->partsMesh, sizeof(values->partsMesh), "%s", DescriptionValue(line));
    if (!ReadDescriptionLine(handle, line))
        return Fail(error, errorSize, "Rider file is too short!");

    // Action rows up to the "//--" line; a keyword that names no action
    // keeps its row under action 0, which nothing plays.
    for (;;)
    {
        if (!ReadDescriptionLine(handle, line))
            return Fail(error, errorSize, "Rider file is too short!");
        if (std::strstr(line, "//--"))
            break;
        char keyword[kLabel + 1];
        ColumnText(line, 0, kLabel, keyword, sizeof(keyword));
        const size_t used = std::strlen(keyword);
        std::memset(keyword + used, ' ', (size_t)kLabel - used);
        keyword[kLabel] = '\0';
        const int action = GetActionValue(keyword);

        char text[DESCRIPTION_LINE_BUFFER];
        ColumnText(line, kLabel, kColumn, text, sizeof(text));
        float speed = 0.0f;
        int first = 0, last = 0;
        if (!ParseNumber(text, 0.0, kMaxSpeed, &speed) || !IntegerColumn(line, kLabel + kColumn, kColumn, &first) ||
            !IntegerColumn(line, kLabel + 2 * kColumn, -1, &last))
            return Fail(error, errorSize, "Wrong rider action row!");
        if (action < 0 || action >= HUMAN_ACTIONS)
            continue;
        values->actionSpeed[action] = speed;
        values->actionFrames[action][0] = first;
        values->actionFrames[action][1] = last;
    }

    for (int i = 0; i < 3; ++i)
        if (!ReadDescriptionLine(handle, line))
            return Fail(error, errorSize, "Rider file is too short!");
    for (int k = 0; k < HUMAN_PARTS; ++k)
    {
        if (!ReadDescriptionLine(handle, line))
            return Fail(error, errorSize, "Rider file is too short!");
        if (!IntegerColumn(line, kLabel, kColumn, &values->partVertices[k][0]) ||
            !IntegerColumn(line, kLabel + kColumn, kColumn, &values->partVertices[k][1]) ||
            !IntegerColumn(line, kLabel + 2 * kColumn, kColumn, &values->partTriangles[k][0]) ||
            !IntegerColumn(line, kLabel + 3 * kColumn, -1, &values->partTriangles[k][1]))
            return Fail(error, errorSize, "Wrong rider body part row!");
    }
    // The closing free line is not needed.
    return 1;
}

int CheckHumanData(const HumanFileValues& v, const MeshRecord* riderMesh, const MeshRecord* partsMesh, char* error,
                   int errorSize)
{
    // Frame 0 is the ragdoll pose; the animation needs at least one more.
    const int frames = riderMesh ? riderMesh->partCount[MESH_SLOT_MAIN] : 0;
    if (frames < 2)
        return Fail(error, errorSize, "Rider mesh is missing!");
    if (!partsMesh)
        return Fail(error, errorSize, "Rider parts mesh is missing!");
    if (partsMesh->partCount[HUMAN_PARTS_SLOT] < HUMAN_PARTS || !partsMesh->partCentre[HUMAN_PARTS_SLOT] ||
        !partsMesh->partSize[HUMAN_PARTS_SLOT] || partsMesh->pointCount[HUMAN_PIVOT_POINT_SET] < HUMAN_PARTS ||
        !partsMesh->points[HUMAN_PIVOT_POINT_SET])
        return Fail(error, errorSize, "Wrong rider parts mesh!");
    for (int i = 0; i < HUMAN_PARTS; ++i)
    {
        const float* size = partsMesh->partSize[HUMAN_PARTS_SLOT][i];
        const D3DXVECTOR3& pivot = partsMesh->points[HUMAN_PIVOT_POINT_SET][i];
        const float p[3] = {pivot.x, pivot.y, pivot.z};
        if (!Finite(partsMesh->partCentre[HUMAN_PARTS_SLOT][i], 3, kMaxExtent) || !Finite(size, 3, kMaxExtent) ||
            !Finite(p, 3, kMaxExtent) || size[0] < 0.0f || size[1] < 0.0f || size[2] < 0.0f)
            return Fail(error, errorSize, "Wrong rider parts mesh!");
    }

    // Every action the rider plays needs its row: a speed of 0 (no row)
    // would leave standing up or a kick running for ever.
    for (int a = ACTION_STEERING; a <= ACTION_KICK_RIGHT; ++a)
    {
        const int first = v.actionFrames[a][0], last = v.actionFrames[a][1];
        if (!(v.actionSpeed[a] > 0.0f))
            return Fail(error, errorSize, "Rider action is missing!");
        // Standing up measures its lift over the range, so it needs two frames.
        if (first < 1 || last >= frames || last < first || (a == ACTION_STANDUP && last == first))
            return Fail(error, errorSize, "Wrong rider action frames!");
    }

    ID3DXMesh* ragdollFrame = riderMesh->meshes[MESH_SLOT_MAIN] ? riderMesh->meshes[MESH_SLOT_MAIN][0] : nullptr;
    const long vertices = ragdollFrame ? (long)ragdollFrame->GetNumVertices() : kMaxIndex;
    const long triangles = ragdollFrame ? (long)ragdollFrame->GetNumFaces() : kMaxIndex;
    for (int k = 0; k < HUMAN_PARTS; ++k)
    {
        const long vf = v.partVertices[k][0], vc = v.partVertices[k][1];
        const long tf = v.partTriangles[k][0], tc = v.partTriangles[k][1];
        if (vf < 0 || vc < 1 || vf + vc > vertices || tf < 0 || tc < 1 || tf + tc > triangles)
            return Fail(error, errorSize, "Wrong rider body part ranges!");
    }
    return 1;
}
