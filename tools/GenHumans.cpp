// Generator module: the demo rider, "Data/Humans/Main.obj", with its mesh
// ("Main.msh": the 44 frames of the figure) and its parts mesh ("Parts.msh":
// the ragdoll's part boxes and joint pivots). The suit and decal pictures
// come from the rider textures module.
#include <cstdio>
#include <string>

#include "tools/DataTree.h"
#include "tools/MeshWriter.h"
#include "tools/RiderFigure.h"

namespace
{

const char* const kPartNames[RIDER_PARTS] = {"Pelvis",       "Chest",           "Head",         "Left thigh",
                                             "Left shin",    "Right thigh",     "Right shin",   "Left upper arm",
                                             "Left forearm", "Right upper arm", "Right forearm"};

std::string Column(const std::string& text, size_t width)
{
    std::string s = text;
    s.resize(width, ' ');
    return s;
}

std::string Line(const std::string& label, const std::string& value)
{
    return Column(label, 32) + value + "\n";
}

std::string Description(const RiderFigure& figure)
{
    std::string t = "// Demo rider\n//\n//\n" + Line("Class:", "GCLASS_HUMAN") + Line("Type:", "GTYPE_HUMAN") +
                    "// Geometry\n" + Line("Mesh:", "Data/Humans/Main.msh") + Line("Texture:", "") +
                    "// End of effects\n" + Line("End:", "//--");
    t += Line("Mass:", "80");
    t += Line("Parts mesh:", "Data/Humans/Parts.msh");
    t += "// Actions: frames per second, first frame, last frame\n";
    for (const RiderActionRow& a : g_RiderActions)
    {
        char speed[16];
        std::snprintf(speed, sizeof(speed), "%.1f", a.speed);
        t += Column(a.keyword, 32) + Column(speed, 5) + Column(std::to_string(a.first), 5) + std::to_string(a.last) +
             "\n";
    }
    t += Line("End of actions:", "//--");
    t += "// Body parts: first vertex, vertex count, first triangle, triangle count\n";
    t += "// (ranges of the ragdoll frame, frame 0 of the mesh)\n";
    t += "//\n";
    for (int i = 0; i < RIDER_PARTS; ++i)
        t += Column(kPartNames[i], 32) + Column(std::to_string(figure.partVertices[i][0]), 5) +
             Column(std::to_string(figure.partVertices[i][1]), 5) +
             Column(std::to_string(figure.partTriangles[i][0]), 5) + std::to_string(figure.partTriangles[i][1]) + "\n";
    t += "// End\n";
    return t;
}

void GenerateHumans(DataTree& tree)
{
    const RiderFigure figure = BuildRiderFigure();
    std::string error;
    std::vector<uint8_t> mesh, parts;
    if (!WriteMesh(figure.mesh, mesh, &error) || !WriteMesh(figure.parts, parts, &error))
        std::fprintf(stderr, "datagen: rider mesh: %s\n", error.c_str());
    tree.Add("Data/Humans/Main.msh", mesh);
    tree.Add("Data/Humans/Parts.msh", parts);
    tree.AddText("Data/Humans/Main.obj", Description(figure));
}

}   // namespace

REGISTER_GENERATOR("humans", GenerateHumans);
