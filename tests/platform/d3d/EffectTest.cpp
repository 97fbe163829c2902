// Technique files: parsing and its errors, parameters by name, pass states
// saved and restored (also when Begin/End nest), drawing through effect
// programs, and compiler errors handed back in the error buffer.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>

#include "platform/d3d/EffectParser.h"
#include "platform/math/D3DXMath.h"
#include "tests/support/GoldenImage.h"
#include "tests/support/Skip.h"
#include "tests/support/TestDevice.h"

namespace
{

// A technique file as the render device's files are written.
const char kEffect[] = R"(// test techniques
shared {{
uniform mat4 matWorldViewProj;
uniform vec4 Tint;
uniform float Strength;
uniform sampler2D texBaseMap1;
}}
samplerstate texBaseMap1 MINFILTER POINT
samplerstate texBaseMap1 MAGFILTER POINT
samplerstate texBaseMap1 MIPFILTER NONE

technique techTint
pass
state CULLMODE NONE
state ALPHABLENDENABLE FALSE
state ZENABLE FALSE
vertex {{
out vec2 uv;
void main() {
    gl_Position = inPosition * matWorldViewProj;
    uv = inTexCoord0.xy;
}
}}
fragment {{
in vec2 uv;
void main() {
    FragColor = texture(texBaseMap1, uv) * Tint * Strength + ps_c[1];
}
}}

technique techStage
pass first
state CULLMODE CW
state SRCBLEND SRCALPHA
sampler 0 ADDRESSU CLAMP
vertex {{
out vec2 uv;
void main() { gl_Position = inPosition * matWorldViewProj; uv = inTexCoord0.xy; }
}}
fragment {{
uniform sampler2D texStage0;
in vec2 uv;
void main() { FragColor = texture(texStage0, uv); }
}}

technique techCutout
pass
state ALPHATESTENABLE TRUE
state ALPHAREF 128
state ALPHAFUNC GREATEREQUAL
vertex {{
void main() { gl_Position = inPosition * matWorldViewProj; }
}}
fragment {{
void main() { FragColor = vec4(0.0, 1.0, 0.0, Strength); }
}}
)";

// ---------------------------------------------------------------------------
TEST(EffectParserTest, ReadsTechniquesPassesStatesAndParameters)
{
    d3d::EffectSource source;
    std::string error;
    ASSERT_TRUE(d3d::ParseEffect(kEffect, sizeof kEffect - 1, source, &error)) << error;
    ASSERT_EQ(3u, source.techniques.size());
    EXPECT_EQ("techStage", source.techniques[1].name);
    const d3d::EffectPassSource& pass = source.techniques[1].passes[0];
    EXPECT_EQ("first", pass.name);
    ASSERT_EQ(2u, pass.states.size());
    EXPECT_EQ((DWORD)D3DRS_CULLMODE, pass.states[0].state);
    EXPECT_EQ((DWORD)D3DCULL_CW, pass.states[0].value);
    EXPECT_EQ((DWORD)D3DBLEND_SRCALPHA, pass.states[1].value);
    ASSERT_EQ(1u, pass.samplers.size());
    EXPECT_EQ((DWORD)D3DTADDRESS_CLAMP, pass.samplers[0].value);
    EXPECT_EQ((DWORD)D3DTEXF_NONE, source.paramSamplers["texBaseMap1"][D3DSAMP_MIPFILTER]);
    ASSERT_EQ(4u, source.params.size());   // texStage0 belongs to the layer
    EXPECT_EQ("matWorldViewProj", source.params[0].name);
    EXPECT_EQ(d3d::EffectParamType::Matrix, source.params[0].type);
    EXPECT_EQ(d3d::EffectParamType::Texture2D, source.params[3].type);
}

struct BadFile
{
    const char* name;
    const char* text;
    const char* message;
};

class EffectParserErrorTest : public ::testing::TestWithParam<BadFile>
{};

TEST_P(EffectParserErrorTest, NamesTheLineAndTheFault)
{
    d3d::EffectSource source;
    std::string error;
    const char* text = GetParam().text;
    EXPECT_FALSE(d3d::ParseEffect(text, std::strlen(text), source, &error));
    EXPECT_NE(std::string::npos, error.find(GetParam().message)) << error;
}

INSTANTIATE_TEST_SUITE_P(
    Faults, EffectParserErrorTest,
    ::testing::Values(
        BadFile{"UnknownKeyword", "technique t\nbanana\n", "line 2: unknown keyword banana"},
        BadFile{"StateOutsideAPass", "state CULLMODE NONE\n", "line 1: state outside a pass"},
        BadFile{"UnknownRenderState", "technique t\npass\nstate NOSUCH 1\n", "line 3: unknown render state NOSUCH"},
        BadFile{"UnknownStateValue", "technique t\npass\nstate CULLMODE SIDEWAYS\n", "unknown value SIDEWAYS"},
        BadFile{"BlockNotClosed", "technique t\npass\nvertex {{\nvoid main() {}\n", "line 3: block not closed"},
        BadFile{"NoFragmentProgram", "technique t\npass\nvertex {{\nvoid main() {}\n}}\n",
                "needs a vertex and a fragment"},
        BadFile{"TechniqueWithoutAPass", "technique t\n", "technique t has no pass"},
        BadFile{"UnsupportedUniformType",
                "technique t\npass\nvertex {{\nvoid main() {}\n}}\nfragment {{\nuniform mat3 m;\n}}\n",
                "line 7: unsupported uniform type 'mat3'"},
        BadFile{"BadSamplerStage", "technique t\npass\nsampler 9 ADDRESSU CLAMP\n", "line 3: bad stage 9"},
        BadFile{"TechniqueDefinedTwice", "technique a\ntechnique a\n", "line 2: technique a defined twice"}),
    [](const ::testing::TestParamInfo<BadFile>& i) { return std::string(i.param.name); });

// A technique file comes from a data pack: damaged text must give an error or
// a parse, never a crash or a runaway allocation.
TEST(EffectParserTest, DamagedFilesNeverCrash)
{
    std::mt19937 random(1234);
    const std::string pieces[] = {"technique t\n",
                                  "pass\n",
                                  "vertex {{\n",
                                  "fragment {{\n",
                                  "}}\n",
                                  "state CULLMODE NONE\n",
                                  "uniform vec4 a[999999999];\n",
                                  "uniform mat4 m;\n",
                                  "sampler 3 ADDRESSU CLAMP\n",
                                  "samplerstate x MINFILTER POINT\n",
                                  std::string("\0\xff\x01{{", 5),
                                  "shared {{\n",
                                  "state ALPHAREF 0x\n"};
    for (int round = 0; round < 300; ++round)
    {
        std::string text;
        int count = (int)(random() % 12);
        for (int i = 0; i < count; ++i)
        {
            if (random() % 4 == 0)
            {
                for (int k = (int)(random() % 16); k > 0; --k)
                    text += (char)(random() % 256);
            }
            else
            {
                text += pieces[random() % (sizeof pieces / sizeof pieces[0])];
            }
        }
        d3d::EffectSource source;
        std::string error;
        bool ok = d3d::ParseEffect(text.data(), text.size(), source, &error);
        EXPECT_TRUE(ok || !error.empty()) << "round " << round;
        for (const auto& p : source.params)
            EXPECT_LE(p.arraySize, 256);
    }
}

// ---------------------------------------------------------------------------
// Pass states on the recording device.
class EffectStateTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        D3DSelectBackend(D3DBackendKind::Recording);
        d3d = Direct3DCreate9(D3D_SDK_VERSION);
        D3DPRESENT_PARAMETERS pp = {};
        pp.BackBufferWidth = 64;
        pp.BackBufferHeight = 64;
        pp.Windowed = TRUE;
        ASSERT_EQ(D3D_OK, d3d->CreateDevice(0, D3DDEVTYPE_HAL, nullptr, 0, &pp, &device));
        ASSERT_EQ(D3D_OK, D3DXCreateEffect(device, kEffect, sizeof kEffect - 1, nullptr, nullptr, 0, nullptr, &effect,
                                           nullptr));
    }
    void TearDown() override
    {
        if (effect)
            effect->Release();
        if (device)
            device->Release();
        if (d3d)
            d3d->Release();
        D3DSelectBackend(D3DBackendKind::OpenGL);
    }
    DWORD State(D3DRENDERSTATETYPE s)
    {
        DWORD v = 0;
        device->GetRenderState(s, &v);
        return v;
    }

    IDirect3D9* d3d = nullptr;
    IDirect3DDevice9* device = nullptr;
    ID3DXEffect* effect = nullptr;
};

TEST_F(EffectStateTest, PassStatesHoldUntilEndPutsThemBack)
{
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_CCW);
    device->SetSamplerState(0, D3DSAMP_ADDRESSU, D3DTADDRESS_WRAP);
    ASSERT_EQ(D3D_OK, effect->SetTechnique("techStage"));
    UINT passes = 0;
    ASSERT_EQ(D3D_OK, effect->Begin(&passes, 0));
    EXPECT_EQ(1u, passes);
    ASSERT_EQ(D3D_OK, effect->BeginPass(0));
    EXPECT_EQ((DWORD)D3DCULL_CW, State(D3DRS_CULLMODE));
    EXPECT_EQ((DWORD)D3DBLEND_SRCALPHA, State(D3DRS_SRCBLEND));
    DWORD address = 0;
    device->GetSamplerState(0, D3DSAMP_ADDRESSU, &address);
    EXPECT_EQ((DWORD)D3DTADDRESS_CLAMP, address);
    effect->EndPass();
    effect->End();
    EXPECT_EQ((DWORD)D3DCULL_CCW, State(D3DRS_CULLMODE));
    EXPECT_EQ((DWORD)D3DBLEND_ONE, State(D3DRS_SRCBLEND));
    device->GetSamplerState(0, D3DSAMP_ADDRESSU, &address);
    EXPECT_EQ((DWORD)D3DTADDRESS_WRAP, address);
}

TEST_F(EffectStateTest, DoNotSaveStateLeavesPassStatesSet)
{
    effect->SetTechnique("techStage");
    effect->Begin(nullptr, D3DXFX_DONOTSAVESTATE);
    effect->BeginPass(0);
    effect->EndPass();
    effect->End();
    EXPECT_EQ((DWORD)D3DCULL_CW, State(D3DRS_CULLMODE));
}

TEST_F(EffectStateTest, NestedBeginRestoresTheOuterPassStates)
{
    effect->SetTechnique("techStage");
    effect->Begin(nullptr, 0);
    effect->BeginPass(0);
    effect->SetTechnique("techTint");
    effect->Begin(nullptr, 0);
    effect->BeginPass(0);
    EXPECT_EQ((DWORD)D3DCULL_NONE, State(D3DRS_CULLMODE));
    effect->EndPass();
    effect->End();
    EXPECT_EQ((DWORD)D3DCULL_CW, State(D3DRS_CULLMODE));   // the outer pass's state again
    effect->EndPass();
    effect->End();
    EXPECT_EQ((DWORD)D3DCULL_CCW, State(D3DRS_CULLMODE));
}

TEST_F(EffectStateTest, UnknownNamesAreIgnored)
{
    EXPECT_EQ(nullptr, effect->GetParameterByName(nullptr, "NoSuchParameter"));
    EXPECT_NE(D3D_OK, effect->SetFloat("NoSuchParameter", 1.0f));
    EXPECT_NE(D3D_OK, effect->SetTechnique("techNoSuch"));
    EXPECT_STREQ("techTint", effect->GetCurrentTechnique());
    D3DXVECTOR4 v(1, 2, 3, 4), back;
    D3DXHANDLE handle = effect->GetParameterByName(nullptr, "Tint");
    ASSERT_NE(nullptr, handle);
    EXPECT_EQ(D3D_OK, effect->SetVector(handle, &v));
    EXPECT_EQ(D3D_OK, effect->GetVector("Tint", &back));
    EXPECT_EQ(v, back);
    EXPECT_NE(D3D_OK, effect->SetTexture("Tint", nullptr));   // not a texture parameter
}

TEST_F(EffectStateTest, CallsAreRecorded)
{
    D3DClearRecordedCalls();
    effect->SetTechnique("techCutout");
    effect->SetFloat("Strength", 0.5f);
    effect->Begin(nullptr, 0);
    effect->BeginPass(0);
    effect->End();
    const std::vector<std::string>& calls = D3DRecordedCalls();
    ASSERT_GE(calls.size(), 7u);
    EXPECT_EQ("Effect.SetTechnique(techCutout)", calls[0]);
    EXPECT_EQ("Effect.SetFloat(Strength, 0.5)", calls[1]);
    EXPECT_EQ("Effect.Begin", calls[2]);
    EXPECT_EQ("Effect.BeginPass(0)", calls[3]);
    EXPECT_EQ("SetRenderState(ALPHATESTENABLE, 1)", calls[4]);
    EXPECT_EQ("SetRenderState(ALPHAREF, 128)", calls[5]);
    EXPECT_EQ("SetRenderState(ALPHAFUNC, 7)", calls[6]);
}

// ---------------------------------------------------------------------------
// Drawing through effects on OpenGL.
class EffectDrawTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (!device.OpenHeadless(32, 32))
            SKIP_OR_FAIL_IN_CI() << device.error();
        ID3DXBuffer* errors = nullptr;
        HRESULT hr =
            D3DXCreateEffect(device.get(), kEffect, sizeof kEffect - 1, nullptr, nullptr, 0, nullptr, &effect, &errors);
        ASSERT_EQ(D3D_OK, hr) << (errors ? (const char*)errors->GetBufferPointer() : "");
        D3DXMATRIX identity;
        D3DXMatrixIdentity(&identity);
        effect->SetMatrix("matWorldViewProj", &identity);
        device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0, 1.0f, 0);
    }
    void TearDown() override
    {
        if (effect)
            effect->Release();
    }
    void DrawQuad(float x1, float y1, float x2, float y2)
    {
        struct V
        {
            float x, y, z, u, v;
        } v[4] = {{x1, y2, 0.5f, 0, 0}, {x2, y2, 0.5f, 1, 0}, {x1, y1, 0.5f, 0, 1}, {x2, y1, 0.5f, 1, 1}};
        device->SetFVF(D3DFVF_XYZ | D3DFVF_TEX1);
        ASSERT_EQ(D3D_OK, device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, v, sizeof(V)));
    }
    uint32_t Pixel(int x, int y) { return golden::PixelAt(device.ReadRenderTarget(), 32, x, y) & 0xFFFFFF; }
    IDirect3DTexture9* Texture(DWORD top, DWORD bottom)
    {
        IDirect3DTexture9* t = nullptr;
        device->CreateTexture(1, 2, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &t, nullptr);
        D3DLOCKED_RECT r;
        t->LockRect(0, &r, nullptr, 0);
        *(DWORD*)r.pBits = top;
        *(DWORD*)((uint8_t*)r.pBits + r.Pitch) = bottom;
        t->UnlockRect(0);
        return t;
    }

    testdevice::Device device;
    ID3DXEffect* effect = nullptr;
};

TEST_F(EffectDrawTest, ParametersTexturesAndConstantRegistersReachTheProgram)
{
    IDirect3DTexture9* texture = Texture(0xFFFF8000, 0xFF0080FF);
    D3DXVECTOR4 tint(1.0f, 1.0f, 0.5f, 1.0f);
    effect->SetVector("Tint", &tint);
    effect->SetFloat("Strength", 1.0f);
    effect->SetTexture("texBaseMap1", texture);
    const float add[4] = {0, 0, 0.25f, 0};
    device->SetPixelShaderConstantF(1, add, 1);
    effect->SetTechnique("techTint");
    effect->Begin(nullptr, 0);
    effect->BeginPass(0);
    DrawQuad(-1, -1, 1, 1);
    effect->EndPass();
    effect->End();
    // top texel (1, .5, 0) x tint + .25 blue; bottom texel (0, .5, 1) x tint + .25 blue
    uint32_t top = Pixel(16, 4), bottom = Pixel(16, 28);
    EXPECT_EQ(0xFF, (int)(top >> 16));
    EXPECT_NEAR(0x80, (int)((top >> 8) & 0xFF), 1);
    EXPECT_NEAR(0x40, (int)(top & 0xFF), 1);
    EXPECT_NEAR(0x00, (int)(bottom >> 16), 1);
    EXPECT_NEAR(0xBF, (int)(bottom & 0xFF), 1);
    effect->SetTexture("texBaseMap1", nullptr);
    texture->Release();
}

TEST_F(EffectDrawTest, StageTexturesAreReadThroughTexStageUniforms)
{
    IDirect3DTexture9* texture = Texture(0xFF00FF00, 0xFFFF0000);
    device->SetTexture(0, texture);
    device->SetSamplerState(0, D3DSAMP_MINFILTER, D3DTEXF_POINT);
    device->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_POINT);
    effect->SetTechnique("techStage");
    effect->Begin(nullptr, 0);
    effect->BeginPass(0);
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    DrawQuad(-1, -1, 1, 1);
    effect->EndPass();
    effect->End();
    EXPECT_EQ(0x00FF00u, Pixel(16, 4));
    EXPECT_EQ(0xFF0000u, Pixel(16, 28));
    device->SetTexture(0, nullptr);
    texture->Release();
}

TEST_F(EffectDrawTest, PassAlphaTestAppliesToProgramOutput)
{
    effect->SetTechnique("techCutout");
    effect->Begin(nullptr, 0);
    effect->BeginPass(0);
    effect->SetFloat("Strength", 0.25f);   // alpha 64: cut
    effect->CommitChanges();
    DrawQuad(-1, -1, 0, 1);
    effect->SetFloat("Strength", 0.75f);   // alpha 191: kept
    effect->CommitChanges();
    DrawQuad(0, -1, 1, 1);
    effect->EndPass();
    effect->End();
    EXPECT_EQ(0u, Pixel(8, 16));
    EXPECT_EQ(0x00FF00u, Pixel(24, 16));
}

// The pass's own alpha test, then the caller's function in its place: each
// function draws with its own program.
TEST_F(EffectDrawTest, AlphaFunctionChangedBetweenDrawsOfOnePass)
{
    effect->SetTechnique("techCutout");
    effect->Begin(nullptr, 0);
    effect->BeginPass(0);
    effect->SetFloat("Strength", 0.25f);   // alpha 64
    effect->CommitChanges();
    DrawQuad(-1, -1, 0, 1);   // the pass's GREATEREQUAL 128: cut
    device->SetRenderState(D3DRS_ALPHAFUNC, D3DCMP_LESS);
    DrawQuad(0, -1, 1, 1);   // LESS 128: kept
    effect->EndPass();
    effect->End();
    EXPECT_EQ(0u, Pixel(8, 16));
    EXPECT_EQ(0x00FF00u, Pixel(24, 16));
}

TEST_F(EffectDrawTest, InnerEndHandsDrawingBackToTheOuterPass)
{
    D3DXVECTOR4 red(1, 0, 0, 1);
    effect->SetVector("Tint", &red);
    effect->SetFloat("Strength", 1.0f);
    effect->SetTechnique("techCutout");
    effect->Begin(nullptr, 0);
    effect->BeginPass(0);
    effect->SetTechnique("techTint");
    effect->Begin(nullptr, 0);
    effect->BeginPass(0);
    DrawQuad(-1, -1, 0, 1);   // tint of a missing texture: black
    effect->EndPass();
    effect->End();
    DrawQuad(0, -1, 1, 1);   // the outer cut-out pass again: green
    effect->EndPass();
    effect->End();
    EXPECT_EQ(0x00FF00u, Pixel(24, 16));
}

TEST_F(EffectDrawTest, CompileErrorsComeBackInTheErrorBuffer)
{
    const char broken[] = "technique techBroken\npass\nvertex {{\nvoid main() { gl_Position = nonsense; }\n}}\n"
                          "fragment {{\nvoid main() { FragColor = vec4(1.0); }\n}}\n";
    ID3DXEffect* bad = nullptr;
    ID3DXBuffer* errors = nullptr;
    HRESULT hr = D3DXCreateEffect(device.get(), broken, sizeof broken - 1, nullptr, nullptr, 0, nullptr, &bad, &errors);
    EXPECT_TRUE(FAILED(hr));
    EXPECT_EQ(nullptr, bad);
    ASSERT_NE(nullptr, errors);
    std::string text = static_cast<const char*>(errors->GetBufferPointer());
    EXPECT_NE(std::string::npos, text.find("technique techBroken pass 0")) << text;
    EXPECT_NE(std::string::npos, text.find("nonsense")) << text;
    EXPECT_NE(std::string::npos, text.find(":4(")) << "line of the file: " << text;
    errors->Release();
}

}   // namespace
