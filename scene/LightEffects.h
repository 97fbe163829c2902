#pragma once
// Effects that draw light without geometry of their own: light sprites on a
// point set of the owner's mesh, a motorcycle's direct lights and spot beams.
// Here: construction and the reading of their description lines; the sprites,
// beams and their drawing arrive with the drawing of these effects.
class CStaticObject;
struct BatchVertex;

class CLightsEffect
{
public:
    CLightsEffect();

    // Size line, colour line (short form), then either a line starting with
    // ">>>>" (only its first four characters are read here) or three number
    // lines whose values are not used. A black colour becomes the owner's
    // light-map colour normalised, or a random normalised colour.
    void Load(int handle, CStaticObject* owner);
    // Frees the arrays built for the sprites.
    void Free();

    CStaticObject* owner;
    int pointSet;
    unsigned int spriteCount;
    float spriteSize[3];
    float (*pointSizes)[3];
    float colour[4];
    BatchVertex* vertices;
    unsigned short* indices;
};

class CDirectLightsEffect
{
public:
    CDirectLightsEffect();

    // Three pairs of a colour line (long form) and a size line.
    void Load(int handle, CStaticObject* owner);
    void Free();

    CStaticObject* owner;
    CLightsEffect sets[4];
    float colours[3][4];
    float sizes[3];
};

class CSpotsEffect
{
public:
    CSpotsEffect();

    // Colour line (short form). A black colour becomes the owner's light-map
    // colour, else its lights' colour, else a random normalised colour.
    void Load(int handle, CStaticObject* owner);
    void Free();

    CStaticObject* owner;
    unsigned int beamCount;
    float beamWidth;
    float colour[4];
    BatchVertex* vertices;
    unsigned short* indices;
};
