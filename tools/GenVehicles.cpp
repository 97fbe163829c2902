// Generator module: the four demo motorcycles, "Data/Vehicles/01/Main.obj" to
// "04/Main.obj", each with its body mesh (painted hull, parts, chrome, shadow
// caster, collision boxes and cylinder, wheel points, eye and seat), its
// front and rear assemblies (four suspension frames each) and its wheels.
//
// Model space: x to the right, y up, z forward, the origin on the ground
// between the wheels. The suspension tops stand 0.5 above the axles; the
// collision parts keep clear of the wheel rays (which run down from halfway
// up each suspension) and stay below the seat plus 0.95, where the rider's
// box begins.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "tools/DataTree.h"
#include "tools/MeshWriter.h"
#include "tools/VehicleMesh.h"

namespace
{

// Cells of the 4 x 4 atlas "Elements.bmp" (see the vehicle textures module),
// kept two texels inside their cell so that filtering does not pick up the
// neighbours.
UvRect Cell(int column, int row)
{
    const float e = 2.0f / 512.0f;
    return UvRect{column * 0.25f + e, row * 0.25f + e, (column + 1) * 0.25f - e, (row + 1) * 0.25f - e};
}
const UvRect kFrame = Cell(0, 0);
const UvRect kEngine = Cell(1, 0);
const UvRect kSeat = Cell(2, 0);
const UvRect kPipe = Cell(3, 0);
const UvRect kHeadlight = Cell(0, 1);
const UvRect kTailLight = Cell(1, 1);
const UvRect kFins = Cell(2, 1);
const UvRect kRubber = Cell(3, 1);
const UvRect kGold = Cell(0, 2);
const UvRect kTyre = Cell(1, 2);
const UvRect kAlloy = Cell(2, 2);
const UvRect kDark = Cell(3, 2);
const UvRect kRadiator = Cell(0, 3);
const UvRect kDials = Cell(1, 3);
const UvRect kCarbon = Cell(2, 3);
const UvRect kPlate = Cell(3, 3);
// "Wheels.bmp" is one brake disc face; its rim is the steel edge.
const UvRect kBrakeFace{0.0f, 0.0f, 1.0f, 1.0f};
const UvRect kBrakeEdge{0.49f, 0.0f, 0.51f, 0.01f};

const float kRise = 0.5f;   // suspension top above the axle, front and rear
// Height of the lowest collision part above the model's origin, which rides
// about on the ground: the suspension's whole travel fits below it.
const float kGroundClearance = 0.4f;
// The suspension frames' compressions; the drawing picks frame
// min(3, trunc(4 c + 1.75)), so frame 1 is the unloaded fork and frame 3 the
// deeply compressed one.
const float kFrameCompression[4] = {0.0f, 0.03f, 0.2f, 0.45f};

struct Model
{
    const char* name;
    // Geometry.
    float rf, rr;         // tyre radii
    float tubeF, tubeR;   // tyre section radii
    float wheelbase;
    float rake;   // the steering head's distance behind the front axle
    float seatY, seatZ;
    std::vector<HullSection> hull;   // painted body, tail to nose
    float barRise, barWidth;         // handlebar above the steering head, half width
    float engineTop;
    // Driving values of the motorcycle file.
    float mass, power, transmission, chassis;
    int levels[3];
    float frontSlip, rearSlip, frontRoll, rearRoll;
    float stiffness, compression, damping, comHeight;
    int sound;
};

// Four characters: a light sports bike, a tall enduro, a naked roadster and a
// long, heavy tourer. Mass, power, transmission (pull), chassis (steering
// rate) and grip differ so that the choice matters.
//
// Masses and powers are large beside the game's fixed power steps: an upgrade
// level or a level of the race's difficulty adds 50, the rubber band takes 300
// from a rival far ahead and gives 400 to one far behind. On light motorcycles
// those steps changed a rival's pace by up to a half or more, so that the
// field rode at widely different speeds and into each other; at these masses
// they change it by a third at most, and a penalised rival still rides.
// The power over the mass keeps each model's speed. The rear tyre grips better than the front
// and both well enough for the computer riders' corners: with less, and the
// front stronger, a motorcycle leaning into a bend at speed slid round and
// blocked the road.
std::vector<Model> Models()
{
    std::vector<Model> m(4);
    m[0] = {"Vortex RS",
            0.31f,
            0.32f,
            0.055f,
            0.075f,
            1.40f,
            0.14f,
            0.80f,
            -0.25f,
            {{-0.78f, 0.05f, 0.86f, 0.97f},
             {-0.55f, 0.13f, 0.66f, 0.88f},
             {-0.2f, 0.16f, 0.6f, 0.82f},
             {0.02f, 0.19f, 0.55f, 1.0f},
             {0.3f, 0.2f, 0.62f, 1.06f},
             {0.5f, 0.17f, 0.72f, 1.14f},
             {0.6f, 0.08f, 0.86f, 1.12f}},
            0.12f,
            0.30f,
            0.62f,
            360.0f,
            1060.0f,
            1.7f,
            1.5f,
            {1, 1, 0},
            1.85f,
            2.05f,
            0.1f,
            0.1f,
            42.0f,
            2.6f,
            3.4f,
            0.2f,
            0};
    m[1] = {"Dust Goat",
            0.36f,
            0.34f,
            0.06f,
            0.07f,
            1.46f,
            0.16f,
            0.92f,
            -0.22f,
            {{-0.82f, 0.05f, 0.98f, 1.04f},
             {-0.6f, 0.11f, 0.84f, 0.98f},
             {-0.2f, 0.13f, 0.78f, 0.94f},
             {0.05f, 0.16f, 0.7f, 1.07f},
             {0.3f, 0.17f, 0.74f, 1.1f},
             {0.45f, 0.1f, 0.86f, 1.08f}},
            0.22f,
            0.36f,
            0.66f,
            300.0f,
            900.0f,
            2.0f,
            1.8f,
            {2, 1, 2},
            2.0f,
            2.25f,
            0.15f,
            0.15f,
            36.0f,
            2.3f,
            2.9f,
            0.25f,
            1};
    m[2] = {"Brawler 900",
            0.32f,
            0.33f,
            0.06f,
            0.08f,
            1.42f,
            0.15f,
            0.82f,
            -0.24f,
            {{-0.76f, 0.05f, 0.88f, 0.98f},
             {-0.55f, 0.12f, 0.72f, 0.9f},
             {-0.2f, 0.15f, 0.64f, 0.85f},
             {0.0f, 0.2f, 0.58f, 1.06f},
             {0.3f, 0.2f, 0.66f, 1.1f},
             {0.42f, 0.12f, 0.8f, 1.06f}},
            0.2f,
            0.34f,
            0.64f,
            380.0f,
            1065.0f,
            1.5f,
            1.3f,
            {1, 0, 1},
            1.75f,
            1.95f,
            0.1f,
            0.1f,
            40.0f,
            2.5f,
            3.2f,
            0.2f,
            2};
    m[3] = {"Highway Baron",
            0.33f,
            0.34f,
            0.065f,
            0.085f,
            1.56f,
            0.2f,
            0.76f,
            -0.3f,
            {{-0.88f, 0.1f, 0.82f, 1.0f},
             {-0.62f, 0.2f, 0.66f, 0.88f},
             {-0.25f, 0.21f, 0.6f, 0.8f},
             {0.0f, 0.22f, 0.55f, 1.0f},
             {0.32f, 0.24f, 0.6f, 1.08f},
             {0.55f, 0.24f, 0.72f, 1.28f},
             {0.62f, 0.14f, 0.85f, 1.3f}},
            0.18f,
            0.38f,
            0.6f,
            400.0f,
            1120.0f,
            1.5f,
            1.1f,
            {0, 0, 0},
            1.65f,
            1.85f,
            0.08f,
            0.08f,
            38.0f,
            2.4f,
            3.0f,
            0.18f,
            3};
    return m;
}

// The four wheel points: front axle, rear axle, front and rear suspension
// tops. The axles sit a little below the tyre radius: the loaded suspension
// rises by about that much.
void WheelPoints(const Model& m, V3 p[4])
{
    const float sag = 0.12f;
    p[0] = {0.0f, m.rf - sag, m.wheelbase * 0.5f};
    p[1] = {0.0f, m.rr - sag, -m.wheelbase * 0.5f};
    p[2] = p[0] + V3{0.0f, kRise, -m.rake};
    p[3] = p[1] + V3{0.0f, kRise, 0.0f};
}

MeshPoint Point(V3 v)
{
    return MeshPoint{v.x, v.y, v.z};
}

void Add(MeshSlot& slot, const PartBuilder& part)
{
    if (!AddBuiltPart(slot, part))
        std::fprintf(stderr, "datagen: motorcycle mesh parts differ in shape\n");
}

// --- Body --------------------------------------------------------------------

MeshDesc BodyMesh(const Model& m)
{
    V3 p[4];
    WheelPoints(m, p);
    MeshDesc mesh;

    // Painted hull: its side is one picture for the decal.
    float zmin = m.hull.front().z, zmax = m.hull.back().z, ymin = 10.0f, ymax = 0.0f;
    for (const HullSection& s : m.hull)
    {
        ymin = std::min(ymin, s.y0);
        ymax = std::max(ymax, s.y1);
    }
    PartBuilder body;
    body.projection = [=](const V3& q, float* u, float* v) {
        *u = (q.z - zmin) / (zmax - zmin);
        *v = (ymax - q.y) / (ymax - ymin);
    };
    body.Hull(m.hull, UvRect{0, 0, 1, 1});
    Add(mesh.slots[MESHSLOT_MAIN], body);

    // Parts: frame, engine, seat, radiator, footpegs, tail light.
    const V3 head = p[2] + V3{0, 0.06f, 0};
    const V3 pivot{0.0f, 0.42f, -0.12f};
    PartBuilder parts;
    for (float side : {-1.0f, 1.0f})
    {
        parts.Tube(head + V3{side * 0.05f, 0, 0}, pivot + V3{side * 0.11f, 0.08f, 0}, 0.03f, 0.03f, 8, kFrame);
        parts.Tube(head + V3{side * 0.04f, -0.1f, 0}, V3{side * 0.1f, 0.3f, 0.28f}, 0.025f, 0.025f, 8, kFrame);
        parts.Tube(V3{side * 0.1f, 0.3f, 0.28f}, pivot + V3{side * 0.11f, -0.06f, 0}, 0.025f, 0.025f, 8, kFrame);
        parts.Tube(V3{side * 0.12f, 0.3f, -0.2f}, V3{side * 0.26f, 0.3f, -0.2f}, 0.018f, 0.018f, 6, kRubber);
    }
    parts.Box(V3{-0.16f, 0.26f, -0.12f}, V3{0.16f, 0.46f, 0.26f}, kEngine);
    parts.Box(V3{-0.12f, 0.46f, 0.02f}, V3{0.12f, m.engineTop, 0.24f}, kFins);
    parts.Tube(V3{-0.19f, 0.36f, 0.08f}, V3{0.19f, 0.36f, 0.08f}, 0.1f, 0.1f, 12, kEngine);
    parts.Box(V3{-0.15f, 0.42f, 0.3f}, V3{0.15f, 0.66f, 0.34f}, kRadiator);
    // Side covers under the seat and a chain guard on the left.
    parts.Box(V3{-0.13f, m.seatY - 0.2f, m.seatZ - 0.2f}, V3{0.13f, m.seatY - 0.04f, m.seatZ + 0.12f}, kCarbon);
    parts.Box(V3{-0.2f, 0.34f, -0.75f}, V3{-0.17f, 0.4f, -0.1f}, kDark);
    parts.Hull({{m.seatZ - 0.38f, 0.1f, m.seatY - 0.02f, m.seatY + 0.06f},
                {m.seatZ - 0.1f, 0.15f, m.seatY - 0.04f, m.seatY + 0.05f},
                {m.seatZ + 0.18f, 0.14f, m.seatY - 0.03f, m.seatY + 0.07f},
                {m.seatZ + 0.3f, 0.08f, m.seatY + 0.02f, m.seatY + 0.1f}},
               kSeat);
    // Number plate under the tail.
    const HullSection& tail = m.hull.front();
    parts.Box(V3{-0.09f, tail.y0 - 0.16f, tail.z + 0.02f}, V3{0.09f, tail.y0 - 0.02f, tail.z + 0.04f}, kPlate);
    Add(mesh.slots[MESHSLOT_SECOND], parts);

    // Self-illumination: the tail light lens.
    PartBuilder lamp;
    lamp.Box(V3{-0.07f, tail.y0 + 0.01f, tail.z - 0.03f}, V3{0.07f, tail.y0 + 0.07f, tail.z + 0.01f}, kTailLight);
    Add(mesh.slots[MESHSLOT_SELFILLUM], lamp);

    // Chrome: the exhaust from the engine's front to the muffler on the right.
    PartBuilder chrome;
    chrome.Tube(V3{0.1f, 0.3f, 0.3f}, V3{0.16f, 0.22f, 0.05f}, 0.03f, 0.03f, 8, kPipe);
    chrome.Tube(V3{0.16f, 0.22f, 0.05f}, V3{0.2f, 0.34f, -0.4f}, 0.03f, 0.035f, 8, kPipe);
    chrome.Tube(V3{0.2f, 0.34f, -0.4f}, V3{0.21f, 0.45f, -0.78f}, 0.06f, 0.05f, 10, kPipe);
    Add(mesh.slots[MESHSLOT_CHROME], chrome);

    // Shadow caster: the hull, the engine and seat, the forks and the swing
    // arm, coarse but with the motorcycle's outline.
    PartBuilder shadow;
    shadow.Hull(m.hull, kFrame);
    shadow.Box(V3{-0.17f, 0.24f, -0.14f}, V3{0.17f, m.engineTop, 0.34f}, kFrame);
    shadow.Box(V3{-0.12f, m.seatY - 0.2f, m.seatZ - 0.38f}, V3{0.12f, m.seatY + 0.08f, m.seatZ + 0.3f}, kFrame);
    shadow.Tube(p[0], p[2] + (p[2] - p[0]) * 0.3f, 0.05f, 0.05f, 6, kFrame);
    shadow.Tube(pivot, p[1], 0.04f, 0.04f, 6, kFrame);
    Add(mesh.slots[MESHSLOT_SHADOW], shadow);

    // Collision: engine cylinder and two boxes (engine and tank, seat and
    // tail), between the wheel rays and below the rider's box. Nothing hangs
    // lower than kGroundClearance: a hard landing uses the whole suspension
    // travel before the frame touches the ground, where it would snag and
    // trip the motorcycle.
    PartBuilder cylinder;
    cylinder.Box(V3{-0.18f, kGroundClearance, -0.08f}, V3{0.18f, kGroundClearance + 0.2f, 0.2f}, kFrame);
    Add(mesh.slots[MESHSLOT_COLLISION_CYLINDERS], cylinder);
    PartBuilder front;
    front.Box(V3{-0.2f, kGroundClearance, -0.1f}, V3{0.2f, m.seatY + 0.25f, 0.42f}, kFrame);
    Add(mesh.slots[MESHSLOT_COLLISION_BOXES], front);
    PartBuilder rear;
    rear.Box(V3{-0.17f, m.seatY - 0.2f, tail.z + 0.02f}, V3{0.17f, m.seatY + 0.1f, -0.1f}, kFrame);
    Add(mesh.slots[MESHSLOT_COLLISION_BOXES], rear);

    // Lamps: the headlight's lens (two points, one beam each), the brake
    // light on the tail lens and two amber side lights beside it.
    const V3 lens = p[0] + (p[2] - p[0]) * 0.9f + V3{0.0f, 0.0f, 0.17f};
    mesh.points[1] = {Point(lens + V3{-0.035f, 0, 0}), Point(lens + V3{0.035f, 0, 0})};
    mesh.points[2] = {Point(V3{0.0f, tail.y0 + 0.04f, tail.z - 0.05f})};
    mesh.points[3] = {Point(V3{-0.13f, tail.y0 + 0.03f, tail.z + 0.01f}),
                      Point(V3{0.13f, tail.y0 + 0.03f, tail.z + 0.01f})};
    mesh.points[0] = {Point(V3{0.0f, m.seatY + 0.72f, m.seatZ + 0.2f})};
    mesh.points[8] = {Point(p[0]), Point(p[1]), Point(p[2]), Point(p[3])};
    mesh.points[9] = {Point(V3{0.0f, m.seatY, m.seatZ})};
    // The first part's box is the whole motorcycle as it stands, wheels,
    // handlebar grips and all (its sphere stays the hull's): the computer
    // riders keep clear of another racer by this box, and the hull alone is
    // narrower than the motorcycles that touch beside it.
    MeshPart& hull = mesh.slots[MESHSLOT_MAIN].parts[0];
    float half = m.barWidth + 0.03f, top = p[2].y + m.barRise + 0.04f;
    for (const HullSection& h : m.hull)
    {
        half = std::max(half, h.w);
        top = std::max(top, h.y1);
    }
    hull.boxMin[0] = -half;
    hull.boxMax[0] = half;
    hull.boxMin[1] = 0.0f;
    hull.boxMax[1] = top;
    hull.boxMin[2] = p[1].z - m.rr;
    hull.boxMax[2] = p[0].z + m.rf;
    return mesh;
}

// --- Assemblies -------------------------------------------------------------

// The front assembly's model has its origin at the front axle (fork bottom);
// the steering turns it about the axis towards the suspension top.
MeshDesc FrontMesh(const Model& m)
{
    V3 p[4];
    WheelPoints(m, p);
    const V3 axis = p[2] - p[0];
    const float barY = kRise + m.barRise;
    MeshDesc mesh;
    for (float c : kFrameCompression)
    {
        const V3 hub = axis * c;
        // Fender over the tyre, moving with the sliders.
        PartBuilder fender;
        std::vector<HullSection> arc;
        for (float z : {-0.2f, -0.1f, 0.0f, 0.12f, 0.24f})
        {
            const float y = std::sqrt(std::max(0.0f, (m.rf + 0.05f) * (m.rf + 0.05f) - z * z));
            arc.push_back({hub.z + z, m.tubeF + 0.03f, hub.y + y, hub.y + y + 0.03f});
        }
        fender.Hull(arc, UvRect{0.45f, 0.45f, 0.55f, 0.55f});
        Add(mesh.slots[MESHSLOT_MAIN], fender);

        PartBuilder parts;
        for (float side : {-1.0f, 1.0f})
        {
            const V3 x{side * (m.tubeF + 0.05f), 0, 0};
            // Slider from the axle up the fork.
            parts.Tube(hub + x, hub + x + axis * 0.55f, 0.035f, 0.035f, 8, kGold);
            // Grips at the bar ends.
            parts.Tube(V3{side * (m.barWidth - 0.1f), barY, p[2].z - p[0].z - 0.08f},
                       V3{side * m.barWidth, barY + 0.02f, p[2].z - p[0].z - 0.1f}, 0.02f, 0.02f, 6, kRubber);
        }
        parts.Tube(hub + V3{-(m.tubeF + 0.07f), 0, 0}, hub + V3{m.tubeF + 0.07f, 0, 0}, 0.02f, 0.02f, 6, kEngine);
        // Triple clamps, handlebar and headlight.
        parts.Box(axis * 0.96f + V3{-0.12f, -0.02f, -0.05f}, axis * 0.96f + V3{0.12f, 0.02f, 0.05f}, kEngine);
        parts.Box(axis * 1.12f + V3{-0.12f, -0.02f, -0.05f}, axis * 1.12f + V3{0.12f, 0.02f, 0.05f}, kEngine);
        parts.Tube(V3{-(m.barWidth - 0.09f), barY, p[2].z - p[0].z - 0.08f},
                   V3{m.barWidth - 0.09f, barY, p[2].z - p[0].z - 0.08f}, 0.014f, 0.014f, 6, kFrame);
        // Headlight shell, dials above the clamp, brake calipers by the discs.
        parts.Tube(axis * 0.9f + V3{0, 0.0f, 0.02f}, axis * 0.9f + V3{0, 0.0f, 0.14f}, 0.08f, 0.095f, 12, kDark);
        parts.Box(axis * 1.12f + V3{-0.1f, 0.02f, -0.06f}, axis * 1.12f + V3{0.1f, 0.05f, 0.02f}, kDials);
        for (float side : {-1.0f, 1.0f})
            parts.Box(hub + V3{side * 0.05f - 0.012f, 0.08f, -0.2f}, hub + V3{side * 0.05f + 0.012f, 0.16f, -0.1f},
                      kDark);
        Add(mesh.slots[MESHSLOT_SECOND], parts);

        // The headlight's lens glows.
        PartBuilder lens;
        lens.Tube(axis * 0.9f + V3{0, 0.0f, 0.14f}, axis * 0.9f + V3{0, 0.0f, 0.155f}, 0.085f, 0.08f, 12, kHeadlight);
        Add(mesh.slots[MESHSLOT_SELFILLUM], lens);
    }
    // Chrome fork stanchions, fixed in the clamps.
    PartBuilder stanchions;
    for (float side : {-1.0f, 1.0f})
    {
        const V3 x{side * (m.tubeF + 0.05f), 0, 0};
        stanchions.Tube(x + axis * 0.5f, x + axis * 1.15f, 0.027f, 0.027f, 8, kPipe);
    }
    Add(mesh.slots[MESHSLOT_CHROME], stanchions);
    return mesh;
}

// The rear assembly is drawn with the motorcycle's own matrix: the swing arm
// turns about its pivot as the rear axle rises towards the suspension top.
MeshDesc RearMesh(const Model& m)
{
    V3 p[4];
    WheelPoints(m, p);
    const V3 pivot{0.0f, 0.42f, -0.12f};
    MeshDesc mesh;
    for (float c : kFrameCompression)
    {
        const V3 axle = p[1] + (p[3] - p[1]) * c;
        PartBuilder hugger;
        std::vector<HullSection> arc;
        for (float z : {-0.05f, 0.05f, 0.15f, 0.25f})
        {
            const float y = std::sqrt(std::max(0.0f, (m.rr + 0.05f) * (m.rr + 0.05f) - z * z));
            arc.push_back({axle.z + z, m.tubeR + 0.03f, axle.y + y, axle.y + y + 0.025f});
        }
        hugger.Hull(arc, UvRect{0.45f, 0.45f, 0.55f, 0.55f});
        Add(mesh.slots[MESHSLOT_MAIN], hugger);

        PartBuilder parts;
        for (float side : {-1.0f, 1.0f})
        {
            const V3 x{side * (m.tubeR + 0.05f), 0, 0};
            parts.Tube(pivot + x, axle + x, 0.03f, 0.025f, 8, kFrame);
        }
        // The shock from the arm to the frame under the seat, and the axle.
        const V3 mount = pivot + (axle - pivot) * 0.45f;
        parts.Tube(mount, V3{0.0f, m.seatY - 0.12f, -0.3f}, 0.04f, 0.035f, 10, kGold);
        parts.Tube(axle + V3{-(m.tubeR + 0.07f), 0, 0}, axle + V3{m.tubeR + 0.07f, 0, 0}, 0.02f, 0.02f, 6, kEngine);
        parts.Box(pivot + V3{-0.15f, -0.03f, -0.03f}, pivot + V3{0.15f, 0.03f, 0.03f}, kEngine);
        Add(mesh.slots[MESHSLOT_SECOND], parts);
    }
    return mesh;
}

// --- Wheels
// -------------------------------------------------------------------

// Part 0 the front wheel, part 1 the rear, each centred on its hub in the
// motorcycle's axes. Slot 0 (drawn with "Wheels.bmp") holds the brake discs;
// its stored bounds carry the wheel's rolling size, which the physics reads:
// the front 0.1 smaller than its tyre (the physics adds 0.1 to the front),
// the rear as large as its tyre. Slot 1 (the atlas) holds tyre, spokes and
// hub, slot 4 the chrome rim, slot 11 the shadow.
MeshDesc WheelsMesh(const Model& m)
{
    MeshDesc mesh;
    const float radius[2] = {m.rf, m.rr}, tube[2] = {m.tubeF, m.tubeR};
    const float kPiF = 3.14159265f;
    for (int k = 0; k < 2; ++k)
    {
        const float r = radius[k], t = tube[k];
        const float rim = r - 2.0f * t;

        PartBuilder discs;
        for (float side : {-1.0f, 1.0f})
            discs.DiscX(V3{side * 0.05f, 0, 0}, k == 0 ? 0.55f * r : 0.45f * r, 0.004f, 28, kBrakeFace, kBrakeEdge);
        Add(mesh.slots[MESHSLOT_MAIN], discs);
        MeshPart& rolling = mesh.slots[MESHSLOT_MAIN].parts.back();
        const float roll = k == 0 ? r - 0.1f : r;
        const float lo[3] = {-0.06f, -roll, -roll}, hi[3] = {0.06f, roll, roll};
        for (int a = 0; a < 3; ++a)
        {
            rolling.boxMin[a] = lo[a];
            rolling.boxMax[a] = hi[a];
            rolling.centre[a] = 0.0f;
        }
        rolling.radius = roll * 1.42f;

        PartBuilder wheel;
        wheel.Torus(V3{0, 0, 0}, r - t, t, 36, 12, kTyre);
        // Five twin spokes from the hub to the rim, and the hub.
        for (int i = 0; i < 5; ++i)
            for (float twin : {-0.11f, 0.11f})
            {
                const float a = 2.0f * kPiF * (float)i / 5.0f, b = a + twin;
                const V3 from{0, 0.05f * std::cos(a), 0.05f * std::sin(a)};
                const V3 to{0, (rim - 0.005f) * std::cos(b), (rim - 0.005f) * std::sin(b)};
                wheel.Tube(from, to, 0.014f, 0.01f, 5, kAlloy);
            }
        wheel.Tube(V3{-0.07f, 0, 0}, V3{0.07f, 0, 0}, 0.048f, 0.048f, 12, kDark);
        Add(mesh.slots[MESHSLOT_SECOND], wheel);

        // The rim's two polished lips, where the tyre sits on them.
        PartBuilder chrome;
        for (float side : {-1.0f, 1.0f})
            chrome.Torus(V3{side * t * 0.55f, 0, 0}, rim + 0.004f, 0.012f, 36, 6, kPipe);
        Add(mesh.slots[MESHSLOT_CHROME], chrome);

        PartBuilder shadow;
        shadow.DiscX(V3{0, 0, 0}, r, t, 16, kTyre, kTyre);
        Add(mesh.slots[MESHSLOT_SHADOW], shadow);
    }
    return mesh;
}

// --- Description files ----------------------------------------------------

std::string Line(const std::string& label, const std::string& value)
{
    std::string s = label;
    s.resize(32, ' ');
    return s + value + "\n";
}

std::string Number(float v)
{
    char text[32];
    std::snprintf(text, sizeof(text), "%g", v);
    return text;
}

// The picture every self-illuminated lamp takes its colour from.
const char kLampPicture[] = "Data/Vehicles/Elements.bmp";

std::string PartDescription(const std::string& what, const std::string& type, const std::string& mesh, bool chrome,
                            bool lamp)
{
    std::string text = "// Demo motorcycle part: " + what + "\n//\n//\n" + Line("Class:", "GCLASS_VEHICLE") +
                       Line("Type:", type) + "// Geometry\n" + Line("Mesh:", mesh) + Line("Texture:", "");
    if (chrome)
        text += "// Polished metal\n" + Line("Effect:", "GEFFECT_CHROME");
    if (lamp)
        text += "// Lamp\n" + Line("Effect:", "GEFFECT_SELFILLUM") + Line("Lamp picture:", kLampPicture);
    return text + "// End of effects\n" + Line("End:", "//--");
}

std::string MainDescription(const Model& m, const std::string& folder)
{
    std::string t = "// Demo motorcycle: " + std::string(m.name) + "\n//\n//\n" + Line("Class:", "GCLASS_VEHICLE") +
                    Line("Type:", "GTYPE_VEHICLE") + "// Rider's name and model\n" + Line("Name:", m.name) +
                    "// Geometry\n" + Line("Mesh:", folder + "/Body.msh") + Line("Texture:", "") + "// Effects\n" +
                    Line("Effect:", "GEFFECT_CHROME") + "// Tail light\n" + Line("Effect:", "GEFFECT_SELFILLUM") +
                    Line("Lamp picture:", kLampPicture) + "// Shadow caster\n" + Line("Effect:", "GEFFECT_SHADOW") +
                    "// Headlight, brake light and side lights\n" + Line("Effect:", "GEFFECT_DIRECTLIGHTS") +
                    Line("Headlight colour:", "255 240 210 warm white") + Line("Headlight size:", "0.16") +
                    Line("Brake light colour:", "170 020 010 red") + Line("Brake light size:", "0.09") +
                    Line("Side light colour:", "255 130 020 amber") + Line("Side light size:", "0.05") +
                    "// End of effects\n" + Line("End:", "//--");
    t += Line("Front assembly:", folder + "/Front.obj");
    t += Line("Rear assembly:", folder + "/Rear.obj");
    t += Line("Wheels:", folder + "/Wheels.obj");
    t += "// Driving values\n";
    t += Line("Mass:", Number(m.mass));
    t += Line("Engine power:", Number(m.power));
    t += Line("Transmission:", Number(m.transmission));
    t += Line("Chassis:", Number(m.chassis));
    t += "// Upgrade levels: engine, transmission, chassis\n";
    t += Line("Engine level:", std::to_string(m.levels[0]));
    t += Line("Transmission level:", std::to_string(m.levels[1]));
    t += Line("Chassis level:", std::to_string(m.levels[2]));
    t += "// Reserved\n";
    t += Line("Reserved:", "0");
    t += Line("Reserved:", "0");
    t += Line("Front friction slip:", Number(m.frontSlip));
    t += Line("Rear friction slip:", Number(m.rearSlip));
    t += Line("Front roll influence:", Number(m.frontRoll));
    t += Line("Rear roll influence:", Number(m.rearRoll));
    t += Line("Suspension stiffness:", Number(m.stiffness));
    t += Line("Suspension compression:", Number(m.compression));
    t += Line("Suspension damping:", Number(m.damping));
    t += Line("Centre of mass height:", Number(m.comHeight));
    t += "// Sound\n";
    t += Line("Engine sound:", std::to_string(m.sound));
    t += "// End\n";
    return t;
}

void GenerateVehicles(DataTree& tree)
{
    const std::vector<Model> models = Models();
    for (size_t i = 0; i < models.size(); ++i)
    {
        char folder[32];
        std::snprintf(folder, sizeof(folder), "Data/Vehicles/%02d", (int)i + 1);
        const std::string f = folder;
        const Model& m = models[i];
        tree.Add(f + "/Body.msh", WriteMesh(BodyMesh(m)));
        tree.Add(f + "/Front.msh", WriteMesh(FrontMesh(m)));
        tree.Add(f + "/Rear.msh", WriteMesh(RearMesh(m)));
        tree.Add(f + "/Wheels.msh", WriteMesh(WheelsMesh(m)));
        tree.AddText(f + "/Front.obj", PartDescription("front assembly", "GTYPE_STATIC", f + "/Front.msh", true, true));
        tree.AddText(f + "/Rear.obj", PartDescription("rear assembly", "GTYPE_STATIC", f + "/Rear.msh", false, false));
        tree.AddText(f + "/Wheels.obj", PartDescription("wheels", "GTYPE_WHEEL", f + "/Wheels.msh", true, false));
        tree.AddText(f + "/Main.obj", MainDescription(m, f));
    }
}

}   // namespace

REGISTER_GENERATOR("vehicles", GenerateVehicles);
