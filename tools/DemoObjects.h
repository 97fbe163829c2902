#pragma once
// The demo buildings and props that the areas place beside their roads: the
// description of each, how much ground it covers and how it faces the road.
#include <string>
#include <vector>

struct DemoObjectKind
{
    const char* description;   // "Data/Static/.../Main.obj"
    float radius;              // ground it covers, in world units from its origin
    int building;              // 1: a GTYPE_BUILDING
    int sideToRoad;            // 0: its +z side faces the road; 1: its +x side
};

// Buildings.
extern const DemoObjectKind kDemoBarn;
extern const DemoObjectKind kDemoCottage;
extern const DemoObjectKind kDemoSilo;
// Props: movable barrels, hay bales and cones, and fixed chevron signs
// pointing left or right.
extern const DemoObjectKind kDemoBarrel;
extern const DemoObjectKind kDemoHayBale;
extern const DemoObjectKind kDemoCone;
extern const DemoObjectKind kDemoChevronLeft;
extern const DemoObjectKind kDemoChevronRight;

// An object description: three comment lines, class and type, a free line,
// mesh and texture, the effect pairs, "//--", then the lines after it.
std::string DemoDescription(const std::string& title, const char* objectClass, const char* objectType,
                            const std::string& mesh, const std::string& texture,
                            const std::vector<std::string>& effects, const std::vector<std::string>& after);
// A value line: the label padded to 32 columns, then the value.
std::string DemoLine(const std::string& label, const std::string& value);
