#pragma once
// The rider's own lines of its description file, after the object part
// (read by CStaticObject::Create with the handle left open): the mass, the
// parts mesh, the action rows up to a line holding "//--", three free lines,
// eleven body-part rows and a last free line. Values sit in fixed columns
// behind a 32-character label.
//
// ReadHumanValues checks the text (numbers finite and in range, the file long
// enough); CheckHumanData checks the values against the meshes they index
// (frames of the rider mesh, the ranges of its ragdoll frame, the parts
// mesh's boxes and pivots), so that nothing the file says can make the
// animation, the drawing or the ragdoll read past what was loaded.
#include "scene/StaticObject.h"

struct MeshRecord;

#define HUMAN_PARTS   11
#define HUMAN_ACTIONS 7

// The parts mesh's slot of part boxes and its point set of joint pivots.
#define HUMAN_PARTS_SLOT      15
#define HUMAN_PIVOT_POINT_SET 8

struct HumanFileValues
{
    float mass;
    char partsMesh[DESCRIPTION_LINE_BUFFER];
    int actionFrames[HUMAN_ACTIONS][2];   // first, last; indexed by HumanAction
    float actionSpeed[HUMAN_ACTIONS];     // frames per second
    int partVertices[HUMAN_PARTS][2];     // first, count in the ragdoll frame
    int partTriangles[HUMAN_PARTS][2];    // first, count
};

// Reads the rider's lines from the open handle. Returns 1, or 0 with a short
// sentence for the message box in `error`.
int ReadHumanValues(int handle, HumanFileValues* values, char* error, int errorSize);

// The values against the rider mesh (slot 0: frame 0 the ragdoll pose, the
// animation after it) and the parts mesh. Returns 1, or 0 with the message.
// The ragdoll frame's ranges are checked against its vertex and triangle
// counts whenever the frame was made on a device (without one nothing is
// drawn from it).
int CheckHumanData(const HumanFileValues& values, const MeshRecord* riderMesh, const MeshRecord* partsMesh, char* error,
                   int errorSize);
