#pragma once
// The one render device of the program: video modes, device creation with its
// fallbacks, the technique file, default resources and render targets, the
// render-state cache, the texture cache, frame presentation and recovery from
// a lost device.
#include <cstdint>

#include "platform/d3d/D3D9.h"
#include "render/TextureManager.h"

// 1 while the shadow-map pass or the reflection pass draws (the render
// passes own them); the face counter of the running pass follows them.
extern int g_ShadowPass;
extern int g_ReflectionPass;

// Side of the shadow map (its target, its half-way copy and its depth surface)
// in texels, over the shadow camera's 64 x 64 square: 16 texels a unit,
// smoothed down into the 512 x 512 copy that the ground, the roads, the
// placed objects and the riders read.
const int SHADOW_MAP_SIZE = 1024;

// The world behind the menu's pages: a fifth of the 800 x 600 screen's
// pixels, about as many as its 256 x 256 backdrop copy keeps.
const int MENU_WORLD_WIDTH = 320;
const int MENU_WORLD_HEIGHT = 240;

// Side of the water's reflection target in texels; behind the menu's pages,
// where the world is drawn at 320 x 240, a quarter of them (256 x 256) hold
// as fine a reflection as that world shows.
const int REFLECTION_SIZE = 512;
const int MENU_REFLECTION_SIZE = 256;

// Whether an adapter description names a renderer that draws on the
// processor (Mesa's llvmpipe or softpipe, the software rasterisers of other
// drivers): there the race is bound by the pixels it shades.
int IsSoftwareRenderer(const char* description);

class CD3DRender
{
public:
    enum
    {
        MAX_MODES = 512,
        // Texture stages whose coordinate and addressing states are recorded.
        MAX_STAGES = 8
    };

    CD3DRender();

    // Device set-up and lifetime.
    int InitD3D(int windowed);
    HRESULT CreateDevice(HWND hwnd, int windowed, int width = 0, int height = 0);
    int FreeD3DRender();
    int SetDefaultStates();
    HRESULT LoadRenderTechniques();
    HRESULT PresentFrame();
    void ToggleFillMode();
    void ToggleShadeMode();

    // Texture cache.
    TextureId LoadTexture(const char* name, int mipLevels, int pool, int format);
    void ReleaseAllTextures();
    void ReleaseTexture(TextureId id);
    void ReleaseTextureByName(const char* name);

    // Cached render states.
    void SetZWrite(int on);
    void SetZEnable(int on);
    void SetLighting(int on);
    void SetBlend(int src, int dst);
    void SetAlphaBlend(int on);
    void SetFog(int on);
    float GetFPS();
    // Places the system cursor at (x, y) of the virtual 800 x 600 screen.
    void SetCursor(float x, float y);

    HRESULT RestoreDeviceObjects();
    void InvalidateDeviceObjects();
    void CreateDefaultResources();
    void ReleaseDefaultResources();
    void LoadCubeTexture(const char* name, IDirect3DCubeTexture9** slot);

    void SetCullMode(int mode);
    void SaveCullMode();
    void RestoreCullMode();
    void SetStageColorOp(DWORD stage, DWORD op, DWORD arg1, DWORD arg2, DWORD arg0, DWORD result);
    void SetStageAlphaOp(DWORD stage, DWORD op, DWORD arg1, DWORD arg2, DWORD arg0);
    // bias: the bits of a float; stage -1 sets stages 0 and 1.
    void SetMipLodBias(DWORD bias, int stage);
    void SetFogRange(float start, float end);
    // These skip a value the device already holds.
    void SetColorVertex(int on);
    void SetClipPlaneEnable(DWORD planes);
    // Limits drawing and clears to rect (in the current target's texels);
    // nullptr turns the limit off. The rectangle itself is always sent: a
    // new render target resets it to the whole target.
    void SetScissor(const RECT* rect);
    // Addressing of a stage's u and v coordinates, always set together.
    void SetTextureAddress(DWORD stage, DWORD mode);
    void SetTexCoordIndex(DWORD stage, DWORD index);
    void SetTextureTransformFlags(DWORD stage, DWORD flags);
    // Marks every record unknown, so that each setter's next value reaches
    // the device: for a device whose states are not the ones recorded.
    void ForgetStates();
    // Sets the device material; with toEffect also the effect's Mat* values.
    void SetMaterial(const D3DMATERIAL9* material, int toEffect);
    void SetTechnique(const char* name, int force = 0);
    void BindTexture(TextureId id, int alpha, int stage, int force = 0);
    void BindTextureObject(IDirect3DBaseTexture9* texture, int alpha, int stage);
    void SetEffectTexture(const char* parameter, IDirect3DBaseTexture9* texture);
    IDirect3DTexture9* GetTexture(TextureId id) const;
    void SaveRenderTarget();
    void RestoreRenderTarget();
    void SaveDepthStencil();
    void RestoreDepthStencil();
    void CountFaces(int n);

    // Dynamic batch: open it, add quads and triangles while the scene is drawn,
    // close it, then draw everything added with one call (additive, no depth
    // writes). An add is refused while the batch is closed or when it would
    // pass either buffer; callers index their own vertices from 0.
    void BeginBatch();
    void AddToBatch(const struct BatchVertex* vertices, const uint16_t* indices, unsigned vertexCount,
                    unsigned indexCount);
    void EndBatch();
    void RenderBatch();

    // Post effects over the finished frame (PostEffects.cpp): the glow adds
    // a blurred, brightened copy of the frame, the motion blur lays a
    // stretched copy over it while blurAmount lasts, the menu backdrop
    // replaces the frame by a blurred, tinted copy of itself. A failing
    // frame copy switches glow or blur off for good (saved in "Game.ini").
    void RenderGlow();
    void RenderMotionBlur();
    void RenderMenuScreen();
    // Behind the menu's pages the world is seen only through their backdrop,
    // a blurred 256 x 256 copy of the frame: BeginMenuWorld sends the
    // world's drawing (and the 2D drawn over it) into a target of a fifth
    // of the 800 x 600 screen's pixels, with its own depth surface, the
    // screen size and scales set to it; RenderMenuScreen takes its copy from
    // there and puts the back buffer back. 0 (nothing changed) when the
    // backdrop cannot be drawn from it: no shaders, or a target missing.
    int BeginMenuWorld();
    // The back buffer, depth surface, screen size and scales back; nothing
    // when the world is not going to the menu's target.
    void EndMenuWorld();
    // A world sent to the menu's target that no backdrop has taken, stretched
    // onto the back buffer as it is (before the present).
    void ShowMenuWorld();
    // The reflection target the water of this frame is drawn into and read
    // from, with its depth surface and side: the menu's smaller one while
    // the world goes to the menu's target, the full one otherwise.
    IDirect3DTexture9* ReflectionTarget() const;
    IDirect3DSurface9* ReflectionDepth() const;
    int ReflectionSize() const;
    // Blur of source into level 0 of target, or, with a null target, onto
    // the current render target with the caller's blending. A target set
    // here stays set. Without vertex shader 1.1 it is a plain copy.
    void SmoothSurface(IDirect3DTexture9* source, IDirect3DTexture9* target, float offset, float weight);
    // Level 0 of source over the whole current render target with the
    // caller's blending (the screen quad with the plain copy technique).
    void CopyOver(IDirect3DTexture9* source);
    // Level 0 onto level 0, scaled with linear filtering; nothing when
    // either is null.
    void CopyTexture(IDirect3DTexture9* source, IDirect3DTexture9* target);

    // Render-state cache (-1: no value known yet). The states recorded here
    // are changed only through the setters above, never on the device
    // directly, or a setter would skip a value the device does not hold.
    int stage0Texture;
    int zWrite;
    int zEnable;
    int lighting;
    int srcBlend;
    int destBlend;
    int alphaBlend;
    int fogEnable;
    int cullMode;
    int savedCullMode;
    int colorVertex;
    int clipPlaneEnable;
    int scissorTest;
    int textureAddress[MAX_STAGES];
    int texCoordIndex[MAX_STAGES];
    int textureTransformFlags[MAX_STAGES];

    // Dynamic batch buffers.
    void* batchVertices;
    void* batchIndices;
    IDirect3DVertexBuffer9* batchVB;
    IDirect3DIndexBuffer9* batchIB;
    int batchVertexCount;
    int batchIndexCount;

    CTextureManager textures;

    int deviceLost;
    int vs11;               // vertex shader 1.1
    int ps14;               // pixel shader 1.4 (only together with vs11)
    int sm20;               // vertex and pixel shader 2.0
    int softwareRenderer;   // the adapter draws on the processor (IsSoftwareRenderer)
    D3DFORMAT adapterFormat;

    // Back-buffer size and the factors from the virtual 800 x 600 screen to it;
    // the saved copies belong to the passes that draw into smaller targets.
    float screenWidth;
    float savedScreenWidth;
    float scaleX;
    float savedScaleX;
    float screenHeight;
    float savedScreenHeight;
    float scaleY;
    float savedScaleY;

    D3DPRESENT_PARAMETERS presentParams;
    D3DDISPLAYMODE modes[MAX_MODES];
    int modeCount;
    D3DDISPLAYMODE desktopMode;

    IDirect3D9* d3d;
    IDirect3DDevice9* device;
    D3DFILLMODE fillMode;
    D3DSHADEMODE shadeMode;
    float fogStart;
    float fogEnd;
    int mainFaces;
    int reflectionFaces;
    int shadowFaces;
    int frameCount;
    IDirect3DSurface9* keptRenderTarget;
    IDirect3DSurface9* keptDepthStencil;
    ID3DXEffect* effect;
    const char* currentTechnique;
    IDirect3DCubeTexture9* envCubeTexture;
    TextureId lightMapTexture;
    TextureId blackTexture;
    TextureId whiteTexture;
    IDirect3DTexture9* reflectionTarget;
    IDirect3DTexture9* shadowTarget0;
    IDirect3DTexture9* shadowTarget1;
    IDirect3DTexture9* shadowTarget2;
    IDirect3DSurface9* shadowDepth;
    IDirect3DSurface9* reflectionDepth;
    IDirect3DVertexBuffer9* screenQuad;
    IDirect3DTexture9* glowTexture0;
    IDirect3DTexture9* glowTexture1;
    IDirect3DTexture9* blurTexture;
    int glowReady;
    int blurReady;
    float blurAmount;
    // The world behind the menu (see BeginMenuWorld), with what it stands in for.
    IDirect3DTexture9* menuWorldTarget;
    IDirect3DSurface9* menuWorldDepth;
    IDirect3DTexture9* menuReflectionTarget;
    IDirect3DSurface9* menuReflectionDepth;
    int menuWorldOpen;    // 1 from BeginMenuWorld to EndMenuWorld
    int menuWorldFrame;   // 1 from BeginMenuWorld until the backdrop has taken its copy
    IDirect3DSurface9* menuKeptTarget;
    IDirect3DSurface9* menuKeptDepth;
    float menuKeptSize[4];   // screen width, height, scale x, scale y

private:
    void Reset();
};

extern CD3DRender g_Render;
