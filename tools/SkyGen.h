#pragma once
// The demo sky: the dome object "Data/Sky/Main.obj" with its mesh (the cloud
// dome in slot 6, the horizon ring in slot 1), the sun picture, the horizon
// background of each area and season and nine cloud skies. Everything is
// procedural and deterministic.
//
// The cloud pictures are whole skies seen from below: the zenith at the
// centre, the horizon on a circle just inside the picture's edge. The dome's
// texture coordinates and the picture generator share that mapping
// (SkyDomeUV), so a direction of the dome shows the sky painted for it.
#include <cstdint>
#include <string>
#include <vector>

#include "tools/MeshWriter.h"

// The horizon ring: the elevations (degrees) of its upper and lower edge,
// which the background pictures span from their top row to their bottom row,
// and the pictures' size (they go round the ring twice).
constexpr float kSkyRingTopDegrees = 20.0f;
constexpr float kSkyRingBottomDegrees = -6.0f;
constexpr int kSkyBackgroundWidth = 1024;
constexpr int kSkyBackgroundHeight = 256;

struct SkyPicture
{
    int w = 0, h = 0;
    std::vector<uint8_t> bgra;   // top row first

    SkyPicture(int width, int height) : w(width), h(height), bgra(size_t(width) * height * 4, 0) {}
    // Channels 0..255, rounded and held to a byte.
    void Set(int x, int y, float r, float g, float b, float a = 255.0f);
};

// Texture coordinates of the unit direction (x, y, z) on a cloud picture;
// every direction below the horizon takes the horizon's circle.
void SkyDomeUV(float x, float y, float z, float* u, float* v);
// The inverse for a point of the picture: false outside the horizon's circle.
bool SkyDirectionOfUV(float u, float v, float direction[3]);

// Dome (slot 6) and horizon ring (slot 1) around the origin.
MeshDesc SkyDomeMesh();
// The description that names the mesh.
std::string SkyDescriptionText();

// Cloud sky `number` 1..9, the lower numbers the clearer.
SkyPicture SkyCloudsPicture(int number, int size = 512);
// The sun: a white disc with a soft halo fading to black at the edges, drawn
// additively both as the billboard and as the screen glare.
SkyPicture SkySunPicture(int size = 256);
// Distant hills all round the area (1..3) in season (0 summer, 1 autumn,
// 2 winter); transparent above the ridges.
SkyPicture SkyBackgroundPicture(int area, int season);

// Game paths.
extern const char* const kSkyDescriptionPath;   // "Data/Sky/Main.obj"
extern const char* const kSkyMeshPath;          // "Data/Sky/Main.msh"
