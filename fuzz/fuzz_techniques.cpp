// Fuzz target for technique files.
// Input: the text of a technique file. It is parsed on its own, then made
// into an effect on a device of the recording backend (made once, no window),
// whose techniques are each begun with every pass, every parameter set and
// read back, and ended. A parse that succeeds must give a consistent result
// (every pass with both programs, states the layer knows, parameters named
// once); a failed one must say why. Broken rules abort, so the fuzzer
// reports the input.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>
#include <string>

#include "platform/d3d/D3D9.h"
#include "platform/d3d/D3D9Backend.h"
#include "platform/d3d/D3DX9.h"
#include "platform/d3d/EffectParser.h"
#include "tests/support/TestDevice.h"

namespace
{

void Check(bool ok, const char* what)
{
    if (!ok)
    {
        std::fprintf(stderr, "broken rule: %s\n", what);
        std::abort();
    }
}

IDirect3DDevice9* Device()
{
    static IDirect3DDevice9* device = nullptr;
    static bool tried = false;
    if (tried)
        return device;
    tried = true;
    D3DSelectBackend(D3DBackendKind::Recording);
    IDirect3D9* d3d = Direct3DCreate9(D3D_SDK_VERSION);
    if (!d3d)
        return nullptr;
    D3DPRESENT_PARAMETERS pp = testdevice::WindowedParameters(64, 64);
    if (FAILED(d3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, nullptr, D3DCREATE_HARDWARE_VERTEXPROCESSING, &pp,
                                 &device)))
        device = nullptr;
    return device;
}

void CheckParsed(const d3d::EffectSource& source)
{
    std::set<std::string> techniques, params;
    for (const d3d::EffectTechniqueSource& t : source.techniques)
    {
        Check(techniques.insert(t.name).second, "technique names unique");
        Check(!t.passes.empty(), "technique has a pass");
        for (const d3d::EffectPassSource& p : t.passes)
        {
            Check(!p.vertex.empty() && !p.fragment.empty(), "pass has both programs");
            for (const d3d::EffectSamplerState& s : p.samplers)
                Check(s.stage < 8, "sampler stage in range");
        }
    }
    for (const d3d::EffectParamSource& p : source.params)
    {
        Check(params.insert(p.name).second, "parameter names unique");
        Check(p.arraySize >= 1 && p.arraySize <= 256, "parameter array size in range");
    }
}

// Sets every parameter with every setter and reads it back.
void TouchParams(ID3DXEffect* effect, const d3d::EffectSource& source)
{
    D3DXMATRIX matrices[4];
    D3DXVECTOR4 vectors[4];
    float floats[64];
    for (int i = 0; i < 64; ++i)
        floats[i] = (float)i;
    std::memcpy(matrices, floats, sizeof(matrices));
    std::memcpy(vectors, floats, sizeof(vectors));
    for (const d3d::EffectParamSource& p : source.params)
    {
        D3DXHANDLE h = effect->GetParameterByName(nullptr, p.name.c_str());
        Check(h != nullptr, "declared parameter found");
        effect->SetFloat(h, 1.5f);
        effect->SetInt(h, 3);
        effect->SetBool(h, TRUE);
        effect->SetVector(h, &vectors[0]);
        effect->SetVectorArray(h, vectors, 4);
        effect->SetMatrix(h, &matrices[0]);
        effect->SetMatrixArray(h, matrices, 4);
        effect->SetFloatArray(h, floats, 64);
        effect->SetValue(h, floats, sizeof(floats));
        effect->SetTexture(h, nullptr);
        float f;
        INT n;
        D3DXVECTOR4 v;
        D3DXMATRIX m;
        unsigned char bytes[sizeof(floats)];
        effect->GetFloat(h, &f);
        effect->GetInt(h, &n);
        effect->GetVector(h, &v);
        effect->GetMatrix(h, &m);
        effect->GetValue(h, bytes, sizeof(bytes));
    }
}

}   // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > 32 * 1024)
        return 0;
    const char* text = reinterpret_cast<const char*>(data);

    d3d::EffectSource source;
    std::string error;
    if (!d3d::ParseEffect(text, size, source, &error))
    {
        Check(!error.empty(), "a failed parse says why");
        return 0;
    }
    CheckParsed(source);

    IDirect3DDevice9* device = Device();
    if (!device)
        return 0;
    D3DClearRecordedCalls();
    ID3DXEffect* effect = nullptr;
    ID3DXBuffer* errors = nullptr;
    const HRESULT hr = D3DXCreateEffect(device, text, (UINT)size, nullptr, nullptr, 0, nullptr, &effect, &errors);
    Check(SUCCEEDED(hr) == (effect != nullptr), "an effect exactly when it succeeds");
    if (errors)
        errors->Release();
    if (!effect)
        return 0;

    TouchParams(effect, source);
    for (const d3d::EffectTechniqueSource& t : source.techniques)
    {
        D3DXHANDLE h = effect->GetTechniqueByName(t.name.c_str());
        Check(h != nullptr, "technique found by name");
        Check(effect->SetTechnique(h) == D3D_OK, "technique set");
        Check(effect->ValidateTechnique(h) == D3D_OK, "technique valid");
        UINT passes = 0;
        Check(effect->Begin(&passes, 0) == D3D_OK && passes == t.passes.size(), "begin gives the passes");
        for (UINT i = 0; i < passes; ++i)
        {
            effect->BeginPass(i);
            effect->CommitChanges();
            effect->EndPass();
        }
        Check(effect->BeginPass(passes) != D3D_OK, "pass past the last refused");
        effect->End();
    }
    effect->Release();
    D3DClearRecordedCalls();
    return 0;
}
