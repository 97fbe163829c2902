#include "tools/RiderFigure.h"

#include <algorithm>
#include <cmath>
#include <functional>

#include "tools/VehicleMesh.h"

const RiderActionRow g_RiderActions[4] = {
    {"ACTION_STEERING", 4.0f, 1, 9},
    {"ACTION_STANDUP", 1.5f, 10, 19},
    {"ACTION_KICK_LEFT", 22.0f, 20, 31},
    {"ACTION_KICK_RIGHT", 22.0f, 32, 43},
};

const float g_RiderCells[8][4] = {
    {0.0f, 0.0f, 0.5f, 0.5f},     // jacket
    {0.5f, 0.0f, 1.0f, 0.5f},     // legs
    {0.0f, 0.5f, 0.5f, 0.75f},    // sleeves
    {0.5f, 0.5f, 1.0f, 0.75f},    // helmet
    {0.5f, 0.75f, 0.75f, 1.0f},   // visor
    {0.0f, 0.75f, 0.25f, 1.0f},   // black leather: gloves, boots, neck
    {0.25f, 0.75f, 0.5f, 1.0f},   // armour: pads and back protector
    {0.75f, 0.75f, 1.0f, 1.0f},   // belt and seat of the trousers
};

namespace
{

const float kPi = 3.14159265358979f;

float Dot(V3 a, V3 b)
{
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

V3 Cross(V3 a, V3 b)
{
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

float Length(V3 a)
{
    return std::sqrt(Dot(a, a));
}

V3 Unit(V3 a)
{
    const float l = Length(a);
    return l > 1e-6f ? a * (1.0f / l) : V3{0, 1, 0};
}

V3 Lerp(V3 a, V3 b, float t)
{
    return a + (b - a) * t;
}

float Lerp(float a, float b, float t)
{
    return a + (b - a) * t;
}

float Radians(float degrees)
{
    return degrees * kPi / 180.0f;
}

// Turns about the motorcycle's axes (x right, y up, z forward): positive x
// tips the top forward, positive y turns the front to the right, positive z
// tips the top to the left.
V3 RotX(V3 v, float a)
{
    return {v.x, v.y * std::cos(a) - v.z * std::sin(a), v.y * std::sin(a) + v.z * std::cos(a)};
}
V3 RotY(V3 v, float a)
{
    return {v.x * std::cos(a) + v.z * std::sin(a), v.y, -v.x * std::sin(a) + v.z * std::cos(a)};
}
V3 RotZ(V3 v, float a)
{
    return {v.x * std::cos(a) - v.y * std::sin(a), v.x * std::sin(a) + v.y * std::cos(a), v.z};
}

// A rotation given by where it takes two perpendicular unit directions.
struct Turn
{
    V3 from[3], to[3];
    V3 Apply(V3 v) const { return to[0] * Dot(from[0], v) + to[1] * Dot(from[1], v) + to[2] * Dot(from[2], v); }
};

Turn MakeTurn(V3 fromLong, V3 fromSide, V3 toLong, V3 toReference)
{
    Turn t;
    t.from[0] = Unit(fromLong);
    t.from[1] = Unit(fromSide - t.from[0] * Dot(fromSide, t.from[0]));
    t.from[2] = Cross(t.from[0], t.from[1]);
    t.to[0] = Unit(toLong);
    V3 side = toReference - t.to[0] * Dot(toReference, t.to[0]);
    if (Length(side) < 1e-4f)
        side = Cross(t.to[0], V3{1, 0, 0});
    t.to[1] = Unit(side);
    t.to[2] = Cross(t.to[0], t.to[1]);
    return t;
}

// Two bones from `root` toward `target` with the middle joint bent toward
// `pole`; *end is where the second bone ends (the target when it is reached).
V3 TwoBone(V3 root, V3 target, float first, float second, V3 pole, V3* end)
{
    const V3 toTarget = target - root;
    const V3 dir = Unit(toTarget);
    const float d = std::min(std::max(Length(toTarget), std::fabs(first - second) + 1e-3f), (first + second) * 0.999f);
    *end = root + dir * d;
    const float along = (first * first - second * second + d * d) / (2.0f * d);
    const float out = std::sqrt(std::max(0.0f, first * first - along * along));
    const V3 bend = Unit(pole - dir * Dot(pole, dir));
    return root + dir * along + bend * out;
}

// --- The figure in the ragdoll frame -----------------------------------------

// Joints (ragdoll frame, left side; the right side mirrors x).
const V3 kWaist{0.0f, 0.30f, 0.05f};
const V3 kNeck{0.0f, 0.76f, 0.05f};
const V3 kHip{-0.115f, 0.19f, 0.05f};
const V3 kKnee{-0.135f, 0.19f, 0.49f};
const V3 kAnkle{-0.135f, -0.25f, 0.49f};
const V3 kShoulder{-0.22f, 0.68f, 0.05f};
const V3 kElbow{-0.235f, 0.68f, 0.36f};
const V3 kGrip{-0.235f, 0.68f, 0.69f};

V3 Side(V3 v, float side)
{
    return {v.x * -side, v.y, v.z};   // side -1 the left (as given), +1 the right
}

UvRect Cell(RiderCell c)
{
    return UvRect{g_RiderCells[c][0], g_RiderCells[c][1], g_RiderCells[c][2], g_RiderCells[c][3]};
}

struct Piece
{
    std::vector<MeshVertex> vertices;
    std::vector<uint16_t> indices;

    // The builder's triangles, each vertex passed through `map` (a turn and
    // a move, so the winding stays right).
    void Append(const PartBuilder& b, const std::function<void(MeshVertex&)>& map = nullptr)
    {
        const uint16_t base = (uint16_t)vertices.size();
        MeshPart part = b.Part();
        for (MeshVertex v : part.vertices)
        {
            if (map)
                map(v);
            vertices.push_back(v);
        }
        for (uint16_t i : b.Indices())
            indices.push_back((uint16_t)(base + i));
    }
};

// One section of an upright hull: at height y, half width w, from z0 (back)
// to z1 (front).
struct Ring
{
    float y, w, z0, z1;
};

// A hull along y: built along z and stood up, (x, y, z) -> (x, z, -y).
void HullY(Piece& piece, const std::vector<Ring>& rings, UvRect uv)
{
    std::vector<HullSection> sections;
    for (const Ring& r : rings)
        sections.push_back({r.y, r.w, -r.z1, -r.z0});
    PartBuilder b;
    b.Hull(sections, uv);
    piece.Append(b, [](MeshVertex& v) {
        const float y = v.pos[1], ny = v.normal[1];
        v.pos[1] = v.pos[2];
        v.pos[2] = -y;
        v.normal[1] = v.normal[2];
        v.normal[2] = -ny;
    });
}

struct BodyPart
{
    Piece piece;
    V3 anchor;   // the joint the part turns about in the animation
    V3 along;    // its long direction
    V3 side;     // a direction across it
    V3 pivot;    // the joint to its parent (point set 8)
};

void Pelvis(BodyPart& p)
{
    HullY(p.piece,
          {{0.10f, 0.13f, -0.05f, 0.13f},
           {0.16f, 0.17f, -0.09f, 0.17f},
           {0.24f, 0.175f, -0.09f, 0.16f},
           {0.31f, 0.16f, -0.07f, 0.14f}},
          Cell(CELL_BELT));
    PartBuilder belt;
    belt.Box(V3{-0.168f, 0.27f, -0.08f}, V3{0.168f, 0.31f, 0.15f}, Cell(CELL_LEATHER));
    p.piece.Append(belt);
    p.anchor = kWaist;
    p.along = V3{0, 1, 0};
    p.side = V3{0, 0, 1};
    p.pivot = V3{0.0f, 0.2f, 0.04f};
}

void Chest(BodyPart& p)
{
    HullY(p.piece,
          {{0.30f, 0.155f, -0.065f, 0.135f},
           {0.44f, 0.18f, -0.08f, 0.16f},
           {0.60f, 0.205f, -0.085f, 0.155f},
           {0.70f, 0.19f, -0.07f, 0.13f},
           {0.77f, 0.09f, -0.03f, 0.09f}},
          Cell(CELL_JACKET));
    // Back protector hump.
    HullY(p.piece, {{0.46f, 0.07f, -0.11f, -0.05f}, {0.62f, 0.09f, -0.13f, -0.05f}, {0.76f, 0.05f, -0.09f, -0.03f}},
          Cell(CELL_ARMOUR));
    p.anchor = kWaist;
    p.along = V3{0, 1, 0};
    p.side = V3{0, 0, 1};
    p.pivot = kWaist;
}

void Head(BodyPart& p)
{
    PartBuilder neck;
    neck.Tube(V3{0.0f, 0.74f, 0.045f}, V3{0.0f, 0.84f, 0.055f}, 0.055f, 0.05f, 8, Cell(CELL_LEATHER));
    p.piece.Append(neck);
    HullY(p.piece,
          {{0.80f, 0.105f, -0.07f, 0.15f},
           {0.85f, 0.135f, -0.11f, 0.175f},
           {0.95f, 0.145f, -0.125f, 0.17f},
           {1.03f, 0.13f, -0.11f, 0.14f},
           {1.09f, 0.08f, -0.06f, 0.08f}},
          Cell(CELL_HELMET));
    PartBuilder visor;
    visor.Box(V3{-0.105f, 0.895f, 0.13f}, V3{0.105f, 0.985f, 0.178f}, Cell(CELL_VISOR));
    p.piece.Append(visor);
    p.anchor = kNeck;
    p.along = V3{0, 1, 0};
    p.side = V3{0, 0, 1};
    p.pivot = kNeck;
}

void Thigh(BodyPart& p, float s)
{
    const V3 hip = Side(kHip, s), knee = Side(kKnee, s);
    PartBuilder b;
    b.Tube(hip + V3{0, 0, -0.03f}, knee, 0.09f, 0.068f, 10, Cell(CELL_LEGS));
    b.Box(knee + V3{-0.06f, -0.05f, -0.07f}, knee + V3{0.06f, 0.08f, 0.045f}, Cell(CELL_ARMOUR));
    p.piece.Append(b);
    p.anchor = hip;
    p.along = knee - hip;
    p.side = V3{0, 1, 0};
    p.pivot = hip;
}

void Shin(BodyPart& p, float s)
{
    const V3 knee = Side(kKnee, s), ankle = Side(kAnkle, s);
    PartBuilder b;
    b.Tube(knee + V3{0, 0.02f, 0}, ankle + V3{0, 0.12f, 0}, 0.066f, 0.055f, 10, Cell(CELL_LEGS));
    b.Tube(ankle + V3{0, 0.14f, 0}, ankle + V3{0, -0.03f, 0}, 0.066f, 0.062f, 10, Cell(CELL_LEATHER));
    b.Box(ankle + V3{-0.055f, -0.085f, -0.075f}, ankle + V3{0.055f, 0.02f, 0.13f}, Cell(CELL_LEATHER));
    p.piece.Append(b);
    p.anchor = knee;
    p.along = ankle - knee;
    p.side = V3{0, 0, 1};
    p.pivot = knee;
}

void UpperArm(BodyPart& p, float s)
{
    const V3 shoulder = Side(kShoulder, s), elbow = Side(kElbow, s);
    PartBuilder b;
    b.Tube(shoulder + V3{0, 0, -0.04f}, elbow, 0.068f, 0.052f, 10, Cell(CELL_SLEEVES));
    b.Box(elbow + V3{-0.05f, -0.055f, -0.06f}, elbow + V3{0.05f, 0.045f, 0.03f}, Cell(CELL_ARMOUR));
    p.piece.Append(b);
    p.anchor = shoulder;
    p.along = elbow - shoulder;
    p.side = V3{0, 1, 0};
    p.pivot = shoulder;
}

void Forearm(BodyPart& p, float s)
{
    const V3 elbow = Side(kElbow, s), grip = Side(kGrip, s);
    PartBuilder b;
    b.Tube(elbow, grip + V3{0, 0, -0.1f}, 0.05f, 0.042f, 10, Cell(CELL_SLEEVES));
    b.Tube(grip + V3{0, 0, -0.12f}, grip + V3{0, 0, -0.04f}, 0.052f, 0.048f, 10, Cell(CELL_LEATHER));
    b.Box(grip + V3{-0.042f, -0.045f, -0.05f}, grip + V3{0.042f, 0.04f, 0.045f}, Cell(CELL_LEATHER));
    p.piece.Append(b);
    p.anchor = elbow;
    p.along = grip - elbow;
    p.side = V3{0, 1, 0};
    p.pivot = elbow;
}

// --- Poses --------------------------------------------------------------------

// The demo motorcycles' grips and steering axis, averaged, relative to the
// seat point: the grips turn with the handlebar about the steering axis
// through the front axle as the front assembly does.
const V3 kFrontAxle{0.0f, -0.615f, 0.98f};
const V3 kSteeringAxis{0.0f, 0.5f, -0.16f};
const V3 kGripCentre{0.295f, 0.075f, 0.73f};
const V3 kPeg{0.24f, -0.40f, 0.02f};

// The handlebar's turn about the steering axis, as the motorcycle's front
// assembly makes it (a row-vector rotation about the axis by `angle`).
V3 TurnAboutSteeringAxis(V3 v, float angle)
{
    const V3 a = Unit(kSteeringAxis);
    const float c = std::cos(angle), s = std::sin(angle);
    // Rodrigues' rotation, as D3DXMatrixRotationAxis makes it.
    return v * c + Cross(a, v) * s + a * (Dot(a, v) * (1.0f - c));
}

struct Pose
{
    V3 waist;
    float pelvisTilt, chestTilt, headTilt;
    float roll;   // lean to the left (+) or right (-)
    float headYaw;
    V3 ankle[2];   // left, right
    V3 grip[2];
};

Pose Seated(float handlebar)
{
    Pose p;
    p.waist = V3{0.0f, 0.25f, 0.105f};
    p.pelvisTilt = Radians(25.0f);
    p.chestTilt = Radians(42.0f);
    p.headTilt = Radians(12.0f);
    p.roll = 0.0f;
    const V3 ahead = TurnAboutSteeringAxis(V3{0, 0, 1}, handlebar);
    p.headYaw = std::atan2(ahead.x, ahead.z) * 0.7f;
    for (int k = 0; k < 2; ++k)
    {
        const float s = k == 0 ? -1.0f : 1.0f;
        p.ankle[k] = V3{kPeg.x * s, kPeg.y, kPeg.z};
        const V3 grip{kGripCentre.x * s, kGripCentre.y, kGripCentre.z};
        p.grip[k] = kFrontAxle + TurnAboutSteeringAxis(grip - kFrontAxle, handlebar);
    }
    return p;
}

Pose Standing(float t)
{
    Pose p = Seated(0.0f);
    p.waist = Lerp(p.waist, V3{0.0f, 0.43f, 0.18f}, t);
    p.pelvisTilt = Lerp(p.pelvisTilt, Radians(40.0f), t);
    p.chestTilt = Lerp(p.chestTilt, Radians(55.0f), t);
    p.headTilt = Lerp(p.headTilt, Radians(22.0f), t);
    return p;
}

// side -1 kicks to the left, +1 to the right; step 0..11, the foot strikes
// at step 8.
Pose Kicking(float side, int step)
{
    Pose p = Seated(0.0f);
    float e;
    if (step <= 8)
    {
        const float x = (float)step / 8.0f;
        e = x * x * (3.0f - 2.0f * x);
    }
    else
        e = 1.0f - (float)(step - 8) * 0.25f;
    const int leg = side < 0.0f ? 0 : 1;
    p.ankle[leg] = Lerp(p.ankle[leg], V3{0.8f * side, -0.1f, 0.14f}, e);
    // Leaning away from the kick.
    p.roll = 0.16f * e * side;
    p.waist = p.waist + V3{-0.05f * side * e, 0.02f * e, 0.0f};
    return p;
}

// Where the animation takes each part: a turn and the new place of its anchor.
struct Placement
{
    Turn turn;
    V3 anchor;
};

void Place(const BodyPart parts[RIDER_PARTS], const Pose& pose, Placement out[RIDER_PARTS])
{
    const V3 up{0, 1, 0}, forward{0, 0, 1};
    const Turn pelvis = MakeTurn(up, forward, RotZ(RotX(up, pose.pelvisTilt), pose.roll * 0.5f),
                                 RotZ(RotX(forward, pose.pelvisTilt), pose.roll * 0.5f));
    const Turn chest = MakeTurn(up, forward, RotZ(RotX(up, pose.chestTilt), pose.roll),
                                RotZ(RotX(forward, pose.chestTilt), pose.roll));
    const Turn head = MakeTurn(up, forward, RotY(RotZ(RotX(up, pose.headTilt), pose.roll * 0.5f), pose.headYaw),
                               RotY(RotZ(RotX(forward, pose.headTilt), pose.roll * 0.5f), pose.headYaw));
    out[0] = {pelvis, pose.waist};
    out[1] = {chest, pose.waist};
    const V3 neck = pose.waist + chest.Apply(kNeck - kWaist);
    out[2] = {head, neck};

    for (int k = 0; k < 2; ++k)
    {
        const float s = k == 0 ? -1.0f : 1.0f;
        const int thigh = 3 + 2 * k, shin = 4 + 2 * k, upper = 7 + 2 * k, fore = 8 + 2 * k;
        const V3 hip = pose.waist + pelvis.Apply(Side(kHip, s) - kWaist);
        V3 ankle;
        const V3 knee = TwoBone(hip, pose.ankle[k], Length(kKnee - kHip), Length(kAnkle - kKnee),
                                V3{0.45f * s, 0.0f, 1.0f}, &ankle);
        out[thigh] = {MakeTurn(parts[thigh].along, parts[thigh].side, knee - hip, up), hip};
        out[shin] = {MakeTurn(parts[shin].along, parts[shin].side, ankle - knee, forward), knee};

        const V3 shoulder = pose.waist + chest.Apply(Side(kShoulder, s) - kWaist);
        V3 grip;
        const V3 elbow = TwoBone(shoulder, pose.grip[k], Length(kElbow - kShoulder), Length(kGrip - kElbow),
                                 V3{1.0f * s, -0.7f, -0.2f}, &grip);
        out[upper] = {MakeTurn(parts[upper].along, parts[upper].side, elbow - shoulder, up), shoulder};
        out[fore] = {MakeTurn(parts[fore].along, parts[fore].side, grip - elbow, up), elbow};
    }
}

Pose FramePose(int frame)
{
    if (frame <= 9)
        return Seated(-0.465f + (float)(frame - 1) * (0.93f / 8.0f));
    if (frame <= 19)
        return Standing((float)(frame - 10) / 9.0f);
    if (frame <= 31)
        return Kicking(-1.0f, frame - 20);
    return Kicking(1.0f, frame - 32);
}

}   // namespace

RiderFigure BuildRiderFigure()
{
    BodyPart parts[RIDER_PARTS];
    Pelvis(parts[0]);
    Chest(parts[1]);
    Head(parts[2]);
    for (int k = 0; k < 2; ++k)
    {
        const float s = k == 0 ? -1.0f : 1.0f;
        Thigh(parts[3 + 2 * k], s);
        Shin(parts[4 + 2 * k], s);
        UpperArm(parts[7 + 2 * k], s);
        Forearm(parts[8 + 2 * k], s);
    }

    RiderFigure figure;
    std::vector<uint16_t> indices;
    V3 centre[RIDER_PARTS];
    int vertexCount = 0;
    for (int i = 0; i < RIDER_PARTS; ++i)
    {
        const Piece& piece = parts[i].piece;
        figure.partVertices[i][0] = vertexCount;
        figure.partVertices[i][1] = (int)piece.vertices.size();
        figure.partTriangles[i][0] = (int)indices.size() / 3;
        figure.partTriangles[i][1] = (int)piece.indices.size() / 3;
        for (uint16_t index : piece.indices)
            indices.push_back((uint16_t)(index + vertexCount));
        vertexCount += (int)piece.vertices.size();

        MeshPart bounds;
        bounds.vertices = piece.vertices;
        ComputePartBounds(bounds);
        centre[i] = V3{bounds.centre[0], bounds.centre[1], bounds.centre[2]};

        // The ragdoll's box of this part is its extent, padded by
        // (0.1, 0.2, 0.1) in the game: the file's box is the extent less that.
        const float pad[3] = {0.1f, 0.2f, 0.1f};
        float lo[3], hi[3];
        for (int a = 0; a < 3; ++a)
        {
            const float size = std::max(0.02f, bounds.boxMax[a] - bounds.boxMin[a] - pad[a]);
            lo[a] = bounds.centre[a] - size * 0.5f;
            hi[a] = bounds.centre[a] + size * 0.5f;
        }
        AddBoxPart(figure.parts.slots[MESHSLOT_COLLISION_BOXES], lo, hi);
        const V3 pivot = i == 0 ? centre[0] : parts[i].pivot;
        figure.parts.points[8].push_back(MeshPoint{pivot.x, pivot.y, pivot.z});
    }

    MeshSlot& slot = figure.mesh.slots[MESHSLOT_MAIN];
    slot.indices = indices;
    for (int frame = 0; frame < RIDER_FRAMES; ++frame)
    {
        Placement placement[RIDER_PARTS];
        if (frame > 0)
            Place(parts, FramePose(frame), placement);
        MeshPart part;
        for (int i = 0; i < RIDER_PARTS; ++i)
            for (MeshVertex v : parts[i].piece.vertices)
            {
                const V3 p{v.pos[0], v.pos[1], v.pos[2]}, n{v.normal[0], v.normal[1], v.normal[2]};
                V3 q, m;
                if (frame == 0)
                {
                    q = p - centre[i];
                    m = n;
                }
                else
                {
                    q = placement[i].anchor + placement[i].turn.Apply(p - parts[i].anchor);
                    m = placement[i].turn.Apply(n);
                }
                v.pos[0] = q.x;
                v.pos[1] = q.y;
                v.pos[2] = q.z;
                v.normal[0] = m.x;
                v.normal[1] = m.y;
                v.normal[2] = m.z;
                part.vertices.push_back(v);
            }
        ComputePartBounds(part);
        slot.parts.push_back(part);
    }
    return figure;
}
