// Cost of the graphics layer over plain OpenGL: the same scene (100 000 lit,
// textured triangles in 200 draws at 800 x 600) drawn through the
// Direct3D-style device and with hand-written GL calls. The two alternate
// frame by frame on one context and are timed in processor time of the whole
// process (llvmpipe draws on worker threads), so other programs on the
// machine do not skew the comparison; the median ratio is printed at the end.
#include <SDL2/SDL.h>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <vector>

#include "platform/d3d/GLFunctions.h"
#include "platform/d3d/Internal.h"
#include "platform/math/D3DXMath.h"
#include "tests/support/GoldenImage.h"
#include "tests/support/TestDevice.h"

namespace
{

const int kWidth = 800, kHeight = 600;
const int kDraws = 200;
const int kColumns = 10, kRows = 25;   // 250 quads = 500 triangles per draw

struct Vertex
{
    float x, y, z, nx, ny, nz, u, v;
};

void BuildGrid(std::vector<Vertex>& vertices, std::vector<uint16_t>& indices)
{
    for (int r = 0; r <= kRows; ++r)
        for (int c = 0; c <= kColumns; ++c)
        {
            float x = (float)c / kColumns * 2 - 1, y = (float)r / kRows * 2 - 1;
            float z = 0.1f * std::sin(x * 3.0f + y * 2.0f);
            vertices.push_back({x, y, z, 0.3f * x, 0.3f * y, -1.0f, (float)c / kColumns, (float)r / kRows});
        }
    for (int r = 0; r < kRows; ++r)
        for (int c = 0; c < kColumns; ++c)
        {
            uint16_t a = (uint16_t)(r * (kColumns + 1) + c), b = (uint16_t)(a + 1);
            uint16_t d = (uint16_t)(a + kColumns + 1), e = (uint16_t)(d + 1);
            indices.insert(indices.end(), {a, d, b, b, d, e});
        }
}

std::vector<uint32_t> Checker()
{
    std::vector<uint32_t> texels(64 * 64);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x)
            texels[y * 64 + x] = ((x / 8 + y / 8) & 1) ? 0xFFFFFFFF : 0xFF3060A0;
    return texels;
}

D3DXMATRIX WorldOf(int i)
{
    D3DXMATRIX scale, rotate, move, world;
    D3DXMatrixScaling(&scale, 0.08f, 0.08f, 0.08f);
    D3DXMatrixRotationY(&rotate, 0.05f * (float)i);
    D3DXMatrixTranslation(&move, -0.9f + 0.09f * (float)(i % 20), -0.7f + 0.14f * (float)(i / 20), 2.0f);
    D3DXMatrixMultiply(&world, &scale, &rotate);
    D3DXMatrixMultiply(&world, &world, &move);
    return world;
}

D3DXMATRIX Projection()
{
    D3DXMATRIX proj;
    D3DXMatrixPerspectiveFovLH(&proj, D3DX_PI / 3, (float)kWidth / kHeight, 0.1f, 100.0f);
    return proj;
}

GLuint Compile(GLenum type, const char* source)
{
    GLuint s = d3d::gl.CreateShader(type);
    d3d::gl.ShaderSource(s, 1, &source, nullptr);
    d3d::gl.CompileShader(s);
    return s;
}

// The same frame written directly against GL, on the device's context.
class RawScene
{
public:
    RawScene(const std::vector<Vertex>& vertices, const std::vector<uint16_t>& indices)
        : indexCount_((GLsizei)indices.size())
    {
        using d3d::gl;
        gl.GenFramebuffers(1, &fbo_);
        gl.BindFramebuffer(GL_FRAMEBUFFER, fbo_);
        gl.GenTextures(1, &color_);
        gl.BindTexture(GL_TEXTURE_2D, color_);
        gl.TexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, kWidth, kHeight, 0, GL_BGRA, GL_UNSIGNED_BYTE, nullptr);
        gl.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
        gl.FramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, color_, 0);
        gl.GenRenderbuffers(1, &depth_);
        gl.BindRenderbuffer(GL_RENDERBUFFER, depth_);
        gl.RenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH24_STENCIL8, kWidth, kHeight);
        gl.FramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_STENCIL_ATTACHMENT, GL_RENDERBUFFER, depth_);
        gl.GenVertexArrays(1, &vao_);
        gl.BindVertexArray(vao_);
        gl.GenBuffers(1, &vbo_);
        gl.BindBuffer(GL_ARRAY_BUFFER, vbo_);
        gl.BufferData(GL_ARRAY_BUFFER, (GLsizeiptr)(vertices.size() * sizeof(Vertex)), vertices.data(), GL_STATIC_DRAW);
        gl.GenBuffers(1, &ibo_);
        gl.BindBuffer(GL_ELEMENT_ARRAY_BUFFER, ibo_);
        gl.BufferData(GL_ELEMENT_ARRAY_BUFFER, (GLsizeiptr)(indices.size() * 2), indices.data(), GL_STATIC_DRAW);
        for (GLuint i = 0; i < 3; ++i)
            gl.EnableVertexAttribArray(i);
        gl.VertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, sizeof(Vertex), (void*)0);
        gl.VertexAttribPointer(1, 3, GL_FLOAT, GL_FALSE, sizeof(Vertex), (void*)12);
        gl.VertexAttribPointer(2, 2, GL_FLOAT, GL_FALSE, sizeof(Vertex), (void*)24);
        std::vector<uint32_t> texels = Checker();
        gl.GenTextures(1, &texture_);
        gl.BindTexture(GL_TEXTURE_2D, texture_);
        gl.TexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, 64, 64, 0, GL_BGRA, GL_UNSIGNED_BYTE, texels.data());
        gl.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
        gl.GenSamplers(1, &sampler_);
        gl.SamplerParameteri(sampler_, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
        gl.SamplerParameteri(sampler_, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        const char* vs =
            "#version 330 core\n"
            "layout(location=0) in vec3 p; layout(location=1) in vec3 n; layout(location=2) in vec2 t;\n"
            "uniform mat4 worldView; uniform mat4 proj; uniform vec3 lightDir;\n"
            "uniform vec3 ambient; uniform vec3 lightColour;\n"
            "out vec4 color; out vec2 uv;\n"
            "void main() {\n"
            "  vec4 v = vec4(p, 1.0) * worldView; gl_Position = v * proj;\n"
            "  gl_Position.z = 2.0 * gl_Position.z - gl_Position.w; gl_Position.y = -gl_Position.y;\n"
            "  vec3 N = normalize(n * mat3(worldView));\n"
            "  color = vec4(clamp(ambient + lightColour * max(dot(N, lightDir), 0.0), 0.0, 1.0), 1.0); uv = t;\n"
            "}\n";
        const char* fs = "#version 330 core\n"
                         "in vec4 color; in vec2 uv; uniform sampler2D tex; out vec4 outColor;\n"
                         "void main() { outColor = texture(tex, uv) * color; }\n";
        program_ = gl.CreateProgram();
        gl.AttachShader(program_, Compile(GL_VERTEX_SHADER, vs));
        gl.AttachShader(program_, Compile(GL_FRAGMENT_SHADER, fs));
        gl.LinkProgram(program_);
        gl.UseProgram(program_);
        worldView_ = gl.GetUniformLocation(program_, "worldView");
        D3DXMATRIX proj = Projection();
        gl.UniformMatrix4fv(gl.GetUniformLocation(program_, "proj"), 1, GL_TRUE, &proj.m[0][0]);
        D3DXVECTOR3 l(-0.3f, 0.5f, -1.0f);
        D3DXVec3Normalize(&l, &l);
        gl.Uniform3fv(gl.GetUniformLocation(program_, "lightDir"), 1, &l.x);
        gl.Uniform1i(gl.GetUniformLocation(program_, "tex"), 0);
        // The sun's and the sky's colours change during play, so they are
        // uniforms here as in any real port, not constants.
        const float ambient[3] = {0.25f, 0.25f, 0.25f}, colour[3] = {1.0f, 1.0f, 1.0f};
        gl.Uniform3fv(gl.GetUniformLocation(program_, "ambient"), 1, ambient);
        gl.Uniform3fv(gl.GetUniformLocation(program_, "lightColour"), 1, colour);
    }

    ~RawScene()
    {
        using d3d::gl;
        gl.DeleteProgram(program_);
        gl.DeleteSamplers(1, &sampler_);
        gl.DeleteTextures(1, &texture_);
        gl.DeleteTextures(1, &color_);
        gl.DeleteRenderbuffers(1, &depth_);
        gl.DeleteBuffers(1, &vbo_);
        gl.DeleteBuffers(1, &ibo_);
        gl.DeleteVertexArrays(1, &vao_);
        gl.DeleteFramebuffers(1, &fbo_);
    }

    void Frame()
    {
        using d3d::gl;
        gl.BindFramebuffer(GL_FRAMEBUFFER, fbo_);
        gl.BindVertexArray(vao_);
        gl.UseProgram(program_);
        gl.ActiveTexture(GL_TEXTURE0);
        gl.BindTexture(GL_TEXTURE_2D, texture_);
        gl.BindSampler(0, sampler_);
        gl.Viewport(0, 0, kWidth, kHeight);
        gl.Enable(GL_DEPTH_TEST);
        gl.DepthFunc(GL_LEQUAL);
        gl.DepthMask(GL_TRUE);
        gl.Disable(GL_BLEND);
        gl.Disable(GL_CULL_FACE);
        gl.Disable(GL_CLIP_DISTANCE0);
        gl.ColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
        gl.Disable(GL_SCISSOR_TEST);
        gl.ClearColor(0, 0, 0, 1);
        gl.ClearDepth(1.0);
        gl.Clear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        for (int i = 0; i < kDraws; ++i)
        {
            D3DXMATRIX world = WorldOf(i);
            gl.UniformMatrix4fv(worldView_, 1, GL_TRUE, &world.m[0][0]);
            gl.DrawElementsBaseVertex(GL_TRIANGLES, indexCount_, GL_UNSIGNED_SHORT, nullptr, 0);
        }
        gl.Finish();
    }

private:
    GLsizei indexCount_;
    GLuint fbo_ = 0, color_ = 0, depth_ = 0, vao_ = 0, vbo_ = 0, ibo_ = 0, texture_ = 0, sampler_ = 0, program_ = 0;
    GLint worldView_ = -1;
};

double g_layerMs = 0, g_rawMs = 0, g_ratio = 0;

// Processor time of the whole process (llvmpipe's worker threads included):
// unlike wall time it does not grow when other programs share the machine.
double ProcessMs()
{
    timespec t;
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return t.tv_sec * 1000.0 + t.tv_nsec / 1.0e6;
}

double Median(std::vector<double> v)
{
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

void BM_LayerAgainstRawGL(benchmark::State& state)
{
    testdevice::TestDevice device;
    if (!device.OpenHeadless(kWidth, kHeight))
    {
        state.SkipWithError(device.error().c_str());
        return;
    }
    std::vector<Vertex> vertices;
    std::vector<uint16_t> indices;
    BuildGrid(vertices, indices);
    IDirect3DVertexBuffer9* vb = nullptr;
    IDirect3DIndexBuffer9* ib = nullptr;
    IDirect3DTexture9* texture = nullptr;
    const DWORD fvf = D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1;
    device->CreateVertexBuffer((UINT)(vertices.size() * sizeof(Vertex)), D3DUSAGE_WRITEONLY, fvf, D3DPOOL_MANAGED, &vb,
                               nullptr);
    device->CreateIndexBuffer((UINT)(indices.size() * 2), D3DUSAGE_WRITEONLY, D3DFMT_INDEX16, D3DPOOL_MANAGED, &ib,
                              nullptr);
    void* p = nullptr;
    vb->Lock(0, 0, &p, 0);
    std::memcpy(p, vertices.data(), vertices.size() * sizeof(Vertex));
    vb->Unlock();
    ib->Lock(0, 0, &p, 0);
    std::memcpy(p, indices.data(), indices.size() * 2);
    ib->Unlock();
    std::vector<uint32_t> texels = Checker();
    D3DXCreateTexture(device.get(), 64, 64, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture);
    D3DLOCKED_RECT locked;
    texture->LockRect(0, &locked, nullptr, 0);
    for (int y = 0; y < 64; ++y)
        std::memcpy((uint8_t*)locked.pBits + y * locked.Pitch, &texels[y * 64], 256);
    texture->UnlockRect(0);

    D3DXMATRIX identity, proj = Projection();
    D3DXMatrixIdentity(&identity);
    device->SetTransform(D3DTS_VIEW, &identity);
    device->SetTransform(D3DTS_PROJECTION, &proj);
    D3DMATERIAL9 material = {};
    material.Diffuse = material.Ambient = {1, 1, 1, 1};
    device->SetMaterial(&material);
    D3DLIGHT9 light = {};
    light.Type = D3DLIGHT_DIRECTIONAL;
    light.Diffuse = {1, 1, 1, 1};
    light.Direction = {0.3f, -0.5f, 1.0f};
    device->SetLight(0, &light);
    device->LightEnable(0, TRUE);
    device->SetRenderState(D3DRS_AMBIENT, 0xFF404040);
    device->SetRenderState(D3DRS_NORMALIZENORMALS, TRUE);   // as the game's default states
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    device->SetTexture(0, texture);
    device->SetSamplerState(0, D3DSAMP_MINFILTER, D3DTEXF_LINEAR);
    device->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_LINEAR);

    RawScene raw(vertices, indices);
    d3d::CDevice9* internals = d3d::DeviceOf(device.get());
    std::vector<double> layerTimes, rawTimes, ratios;
    auto layerFrame = [&]() {
        internals->ForgetGLState();
        double start = ProcessMs();
        device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
        device->SetFVF(fvf);
        device->SetStreamSource(0, vb, 0, sizeof(Vertex));
        device->SetIndices(ib);
        for (int i = 0; i < kDraws; ++i)
        {
            D3DXMATRIX world = WorldOf(i);
            device->SetTransform(D3DTS_WORLD, &world);
            device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, (UINT)vertices.size(), 0, (UINT)indices.size() / 3);
        }
        d3d::gl.Finish();
        return ProcessMs() - start;
    };
    auto rawFrame = [&]() {
        double start = ProcessMs();
        raw.Frame();
        return ProcessMs() - start;
    };
    bool layerFirst = true;
    for (auto _ : state)
    {
        // Alternate which goes first, so neither gains from the other's warm-up.
        double layer, plain;
        if (layerFirst)
        {
            layer = layerFrame();
            plain = rawFrame();
        }
        else
        {
            plain = rawFrame();
            layer = layerFrame();
        }
        layerFirst = !layerFirst;
        layerTimes.push_back(layer);
        rawTimes.push_back(plain);
        ratios.push_back(layer / plain);
    }
    // Medians: a frame disturbed by other work on the machine does not count.
    g_layerMs = Median(layerTimes);
    g_rawMs = Median(rawTimes);
    g_ratio = Median(ratios);
    state.counters["layer_ms"] = g_layerMs;
    state.counters["raw_ms"] = g_rawMs;
    state.counters["overhead_pct"] = (g_ratio - 1.0) * 100.0;
    internals->ForgetGLState();
    device->SetTexture(0, nullptr);
    device->SetStreamSource(0, nullptr, 0, 0);
    device->SetIndices(nullptr);
    texture->Release();
    vb->Release();
    ib->Release();
}

BENCHMARK(BM_LayerAgainstRawGL)->Unit(benchmark::kMillisecond)->MinTime(5.0);

}   // namespace

int main(int argc, char** argv)
{
    if (!std::getenv("SDL_VIDEODRIVER"))
        setenv("SDL_VIDEODRIVER", "offscreen", 0);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (g_layerMs > 0 && g_rawMs > 0)
        std::printf("median processor time per frame: layer %.3f ms, raw GL %.3f ms; median ratio of paired frames: "
                    "the layer costs %.1f %% over raw GL\n",
                    g_layerMs, g_rawMs, (g_ratio - 1.0) * 100.0);
    return 0;
}
