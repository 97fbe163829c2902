#pragma once
// A small motorcycle file with its meshes, built to order: the tests change
// single lines of the 26 or take parts of the meshes away.
#include <map>
#include <string>

#include "scene/StaticObjectFixture.h"
#include "tools/DataTree.h"
#include "tools/MeshWriter.h"

namespace vehiclefixture
{

const char kFile[] = "Data/Vehicles/Test/Main.obj";

struct Options
{
    int wheelPoints = 4;                 // points in set 8
    float topRise = 0.5f;                // suspension tops above the axles
    int wheelParts = 2;                  // parts of the wheels mesh's slot 0
    bool collisionParts = true;          // a box in slot 15
    bool bodyMesh = true;                // false: the file names a mesh that does not exist
    bool seatPoint = true;               // the seat point (set 9)
    int lines = 26;                      // lines after "//--"
    std::map<int, std::string> values;   // line number -> value
};

// The values of the 26 lines unless an option replaces them.
inline std::map<int, std::string> DefaultValues()
{
    return {{1, "Data/Vehicles/Test/Part.obj"},
            {2, "Data/Vehicles/Test/Part.obj"},
            {3, "Data/Vehicles/Test/Wheels.obj"},
            {5, "150"},
            {6, "300"},
            {7, "1.5"},
            {8, "1.2"},
            {10, "2"},
            {11, "3"},
            {12, "4"},
            {14, "7"},
            {15, "8"},
            {16, "1.1"},
            {17, "1.0"},
            {18, "0.1"},
            {19, "0.2"},
            {20, "40"},
            {21, "2.5"},
            {22, "3.0"},
            {23, "0.25"},
            {25, "2"}};
}

inline DataTree Tree(const Options& o)
{
    using testdata::Line;
    DataTree tree;
    MeshDesc body;
    const float lo[3] = {-0.2f, 0.3f, -0.5f}, hi[3] = {0.2f, 0.9f, 0.4f};
    AddBoxPart(body.slots[MESHSLOT_MAIN], lo, hi);
    if (o.collisionParts)
        AddBoxPart(body.slots[MESHSLOT_COLLISION_BOXES], lo, hi);
    const MeshPoint all[4] = {
        {0, 0.2f, 0.7f}, {0, 0.2f, -0.7f}, {0, 0.2f + o.topRise, 0.6f}, {0, 0.2f + o.topRise, -0.7f}};
    for (int i = 0; i < o.wheelPoints; ++i)
        body.points[8].push_back(all[i]);
    if (o.seatPoint)
        body.points[9].push_back({0, 0.8f, -0.2f});
    // The mesh cache keeps an empty record for a name it failed to open, so
    // the missing mesh has a name of its own.
    tree.Add("Data/Vehicles/Test/Body.msh", WriteMesh(body));

    MeshDesc wheels;
    for (int i = 0; i < o.wheelParts; ++i)
    {
        const float r = i == 0 ? 0.25f : 0.3f;
        const float wlo[3] = {-0.05f, -r, -r}, whi[3] = {0.05f, r, r};
        AddBoxPart(wheels.slots[MESHSLOT_MAIN], wlo, whi);
    }
    tree.Add("Data/Vehicles/Test/Wheels.msh", WriteMesh(wheels));

    auto part = [](const std::string& mesh) {
        return std::string("// part\n//\n//\n") + Line("Class:", "GCLASS_VEHICLE") + Line("Type:", "GTYPE_WHEEL") +
               "//\n" + Line("Mesh:", mesh) + Line("Texture:") + "//\n" + Line("End:", "//--");
    };
    tree.AddText("Data/Vehicles/Test/Part.obj", part("Data/Vehicles/Test/Wheels.msh"));
    tree.AddText("Data/Vehicles/Test/Wheels.obj", part("Data/Vehicles/Test/Wheels.msh"));

    std::string text = std::string("// test motorcycle\n//\n//\n") + Line("Class:", "GCLASS_VEHICLE") +
                       Line("Type:", "GTYPE_VEHICLE") + "//\n" + Line("Name:", "Tester") + "//\n" +
                       Line("Mesh:", o.bodyMesh ? "Data/Vehicles/Test/Body.msh" : "Data/Vehicles/Test/Missing.msh") +
                       Line("Texture:") + "//\n" + Line("End:", "//--");
    std::map<int, std::string> values = DefaultValues();
    for (const auto& kv : o.values)
        values[kv.first] = kv.second;
    for (int line = 1; line <= o.lines; ++line)
        text += values.count(line) ? Line("Line " + std::to_string(line) + ":", values[line])
                                   : "// line " + std::to_string(line) + "\n";
    tree.AddText(kFile, text);
    return tree;
}

}   // namespace vehiclefixture
