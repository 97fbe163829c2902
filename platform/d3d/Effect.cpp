// Effects: the techniques of a technique file compiled into GL programs, the
// named parameters they read, and Begin / BeginPass / EndPass / End with the
// render states each pass sets (and puts back at End).
#include <SDL2/SDL.h>

#include <cstring>

#include "platform/d3d/Internal.h"

namespace d3d
{

namespace
{

int Components(EffectParamType type)
{
    switch (type)
    {
    case EffectParamType::Vector2:
        return 2;
    case EffectParamType::Vector3:
        return 3;
    case EffectParamType::Vector4:
        return 4;
    case EffectParamType::Matrix:
        return 16;
    case EffectParamType::Texture2D:
    case EffectParamType::TextureCube:
        return 0;
    default:
        return 1;
    }
}

bool IsInteger(EffectParamType type)
{
    return type == EffectParamType::Int || type == EffectParamType::Bool;
}
bool IsTexture(EffectParamType type)
{
    return type == EffectParamType::Texture2D || type == EffectParamType::TextureCube;
}

const int kFirstParamUnit = 16;
const int kMaxTextureParams = 15;
// Variants of a pass: without the alpha test, and one per comparison that tests.
const DWORD kAlphaVariants = D3DCMP_ALWAYS;

class Buffer final : public RefCounted<ID3DXBuffer>
{
public:
    explicit Buffer(DWORD size) : m_Data(size ? size : 1, 0), m_Size(size) {}
    void* GetBufferPointer() override { return m_Data.data(); }
    DWORD GetBufferSize() override { return m_Size; }

private:
    std::vector<uint8_t> m_Data;
    DWORD m_Size;
};

}   // namespace

class EffectImpl final : public RefCounted<ID3DXEffect>
{
public:
    EffectImpl(CDevice9* device, EffectSource source) : m_Link(device->Link()), m_Source(std::move(source))
    {
        for (const EffectParamSource& p : m_Source.params)
        {
            Param param;
            param.name = p.name;
            param.type = p.type;
            param.arraySize = p.arraySize;
            param.raw.assign((size_t)Components(p.type) * p.arraySize, 0);
            m_Index[p.name] = (int)m_Params.size();
            m_Params.push_back(std::move(param));
        }
        m_Passes.resize(m_Source.techniques.size());
        for (size_t t = 0; t < m_Source.techniques.size(); ++t)
        {
            m_Passes[t].resize(m_Source.techniques[t].passes.size());
            for (size_t p = 0; p < m_Passes[t].size(); ++p)
                for (Variant& v : m_Passes[t][p].variants)
                {
                    v.program.effect = this;
                    v.program.technique = (int)t;
                    v.program.pass = (int)p;
                }
        }
    }

    ~EffectImpl() override
    {
        for (Param& p : m_Params)
            if (p.texture)
                p.texture->Release();
        if (!m_Link->alive)
            return;
        CDevice9* device = m_Link->device;
        if (device->EffectPass() && device->EffectPass()->effect == this)
            device->SetEffectPass(nullptr);
        if (!m_Link->gl)
            return;
        device->MakeCurrent();
        for (auto& technique : m_Passes)
            for (Pass& pass : technique)
                for (Variant& v : pass.variants)
                    if (v.program.program)
                        gl.DeleteProgram(v.program.program);
        for (Param& p : m_Params)
            if (p.sampler)
                gl.DeleteSamplers(1, &p.sampler);
    }

    // Builds the GL programs; false with the compiler's messages on failure.
    bool Compile(std::string& errors)
    {
        if (!m_Link->gl)
            return true;
        CDevice9* device = m_Link->device;
        device->MakeCurrent();
        int textureParams = 0;
        for (Param& p : m_Params)
        {
            if (!IsTexture(p.type))
                continue;
            if (textureParams == kMaxTextureParams)
            {
                errors += "too many texture parameters\n";
                return false;
            }
            p.unit = kFirstParamUnit + textureParams++;
            gl.GenSamplers(1, &p.sampler);
            DWORD ss[D3DSAMP_MAX] = {};
            ss[D3DSAMP_ADDRESSU] = ss[D3DSAMP_ADDRESSV] = ss[D3DSAMP_ADDRESSW] = D3DTADDRESS_WRAP;
            ss[D3DSAMP_MAGFILTER] = ss[D3DSAMP_MINFILTER] = ss[D3DSAMP_MIPFILTER] = D3DTEXF_LINEAR;
            ss[D3DSAMP_MAXANISOTROPY] = 1;
            auto it = m_Source.paramSamplers.find(p.name);
            if (it != m_Source.paramSamplers.end())
                for (const auto& kv : it->second)
                    if (kv.first < D3DSAMP_MAX)
                        ss[kv.first] = kv.second;
            ApplySamplerObject(p.sampler, ss);
        }
        bool ok = true;
        for (size_t t = 0; t < m_Source.techniques.size(); ++t)
            for (size_t i = 0; i < m_Source.techniques[t].passes.size(); ++i)
                if (!Build((int)t, (int)i, 0, &errors))
                    ok = false;
        gl.UseProgram(0);
        device->ForgetProgram();
        return ok;
    }

    // Compiles one variant of a pass; false (with the messages) on failure.
    bool Build(int t, int i, DWORD alphaTest, std::string* errors)
    {
        Variant& variant = m_Passes[t][i].variants[alphaTest];
        variant.tried = true;
        const EffectTechniqueSource& technique = m_Source.techniques[t];
        const EffectPassSource& src = technique.passes[i];
        std::string shared = "#line " + std::to_string(m_Source.sharedLine) + "\n" + m_Source.shared;
        std::string vertex = VertexPrelude() + shared + "#define main d3d_user_main\n#line " +
                             std::to_string(src.vertexLine) + "\n" + src.vertex + VertexEpilogue();
        std::string fragment = FragmentPrelude() + shared + "#define main d3d_user_main\n#line " +
                               std::to_string(src.fragmentLine) + "\n" + src.fragment + FragmentEpilogue(alphaTest);
        std::string log;
        variant.program.program = BuildProgram(vertex, fragment, &log);
        if (!variant.program.program)
        {
            if (errors)
                *errors += "technique " + technique.name + " pass " + std::to_string(i) + ": " + log + "\n";
            return false;
        }
        GLuint prog = variant.program.program;
        LocateBuiltins(prog, variant.program.builtins);
        gl.UseProgram(prog);
        for (int s = 0; s < 8; ++s)
        {
            GLint loc = gl.GetUniformLocation(prog, ("texStage" + std::to_string(s)).c_str());
            variant.stageUsed[s] = loc >= 0;
            if (loc >= 0)
                gl.Uniform1i(loc, s);
        }
        for (size_t k = 0; k < m_Params.size(); ++k)
        {
            GLint loc = gl.GetUniformLocation(prog, m_Params[k].name.c_str());
            if (loc < 0)
                continue;
            if (IsTexture(m_Params[k].type))
                gl.Uniform1i(loc, m_Params[k].unit);
            variant.bindings.push_back({loc, (int)k, 0});
        }
        return true;
    }

    EffectPassProgram* Upload(int technique, int passIndex, DWORD alphaTest, bool* stagesUsed)
    {
        CDevice9* device = m_Link->device;
        if (alphaTest >= kAlphaVariants)
            alphaTest = 0;
        Variant& pass = m_Passes[technique][passIndex].variants[alphaTest];
        if (!pass.tried)
        {
            Build(technique, passIndex, alphaTest, nullptr);
            device->ForgetProgram();
        }
        if (!pass.program.program)
            return nullptr;
        device->UseProgram(pass.program.program);
        for (int s = 0; s < 8; ++s)
            stagesUsed[s] = pass.stageUsed[s];
        for (Binding& b : pass.bindings)
        {
            Param& p = m_Params[b.param];
            if (IsTexture(p.type))
            {
                TextureStore* store = StoreOf(p.texture);
                device->BindUnit(p.unit,
                                 store ? store->GLTarget()
                                       : (p.type == EffectParamType::TextureCube ? GL_TEXTURE_CUBE_MAP : GL_TEXTURE_2D),
                                 store ? store->GLName() : 0);
                gl.BindSampler((GLuint)p.unit, p.sampler);
                continue;
            }
            if (b.uploaded == p.version)
                continue;
            b.uploaded = p.version;
            const float* f = reinterpret_cast<const float*>(p.raw.data());
            const GLint* n = reinterpret_cast<const GLint*>(p.raw.data());
            switch (p.type)
            {
            case EffectParamType::Float:
                gl.Uniform1fv(b.location, p.arraySize, f);
                break;
            case EffectParamType::Vector2:
                gl.Uniform2fv(b.location, p.arraySize, f);
                break;
            case EffectParamType::Vector3:
                gl.Uniform3fv(b.location, p.arraySize, f);
                break;
            case EffectParamType::Vector4:
                gl.Uniform4fv(b.location, p.arraySize, f);
                break;
            case EffectParamType::Matrix:
                gl.UniformMatrix4fv(b.location, p.arraySize, GL_TRUE, f);
                break;
            case EffectParamType::Int:
            case EffectParamType::Bool:
                gl.Uniform1iv(b.location, p.arraySize, n);
                break;
            default:
                break;
            }
        }
        return &pass.program;
    }

    // ID3DXEffect
    HRESULT GetDevice(IDirect3DDevice9** ppDevice) override
    {
        if (!ppDevice || !m_Link->alive)
            return D3DERR_INVALIDCALL;
        *ppDevice = m_Link->device;
        m_Link->device->AddRef();
        return D3D_OK;
    }

    D3DXHANDLE GetTechniqueByName(LPCSTR pName) override
    {
        int t = FindTechnique(pName);
        return t < 0 ? nullptr : m_Source.techniques[t].name.c_str();
    }

    D3DXHANDLE GetParameterByName(D3DXHANDLE, LPCSTR pName) override
    {
        Param* p = Find(pName);
        return p ? p->name.c_str() : nullptr;
    }

    HRESULT SetTechnique(D3DXHANDLE hTechnique) override
    {
        Log(std::string("Effect.SetTechnique(") + (hTechnique ? hTechnique : "null") + ")");
        int t = FindTechnique(hTechnique);
        if (t < 0)
            return D3DERR_INVALIDCALL;
        m_Technique = t;
        return D3D_OK;
    }

    D3DXHANDLE GetCurrentTechnique() override
    {
        return m_Source.techniques.empty() ? nullptr : m_Source.techniques[m_Technique].name.c_str();
    }

    HRESULT ValidateTechnique(D3DXHANDLE hTechnique) override
    {
        int t = FindTechnique(hTechnique);
        if (t < 0)
            return D3DERR_INVALIDCALL;
        for (const Pass& p : m_Passes[t])
            if (m_Link->gl && !p.variants[0].program.program)
                return E_FAIL;
        return D3D_OK;
    }

    HRESULT Begin(UINT* pPasses, DWORD Flags) override
    {
        Log("Effect.Begin");
        if (m_Source.techniques.empty() || !m_Link->alive)
            return D3DERR_INVALIDCALL;
        Frame frame;
        frame.technique = m_Technique;
        if (!(Flags & D3DXFX_DONOTSAVESTATE))
        {
            CDevice9* device = m_Link->device;
            for (const EffectPassSource& pass : m_Source.techniques[m_Technique].passes)
            {
                for (const EffectState& s : pass.states)
                {
                    DWORD value = 0;
                    device->GetRenderState((D3DRENDERSTATETYPE)s.state, &value);
                    frame.renderStates.push_back({s.state, value});
                }
                for (const EffectSamplerState& s : pass.samplers)
                {
                    DWORD value = 0;
                    device->GetSamplerState(s.stage, (D3DSAMPLERSTATETYPE)s.state, &value);
                    frame.samplerStates.push_back({s.stage, s.state, value});
                }
            }
        }
        m_Stack.push_back(std::move(frame));
        if (pPasses)
            *pPasses = (UINT)m_Passes[m_Technique].size();
        return D3D_OK;
    }

    HRESULT BeginPass(UINT index) override
    {
        Log("Effect.BeginPass(" + std::to_string(index) + ")");
        if (m_Stack.empty() || !m_Link->alive)
            return D3DERR_INVALIDCALL;
        Frame& frame = m_Stack.back();
        if (index >= m_Passes[frame.technique].size())
            return D3DERR_INVALIDCALL;
        CDevice9* device = m_Link->device;
        const EffectPassSource& src = m_Source.techniques[frame.technique].passes[index];
        for (const EffectState& s : src.states)
            device->SetRenderState((D3DRENDERSTATETYPE)s.state, s.value);
        for (const EffectSamplerState& s : src.samplers)
            device->SetSamplerState(s.stage, (D3DSAMPLERSTATETYPE)s.state, s.value);
        frame.pass = (int)index;
        device->SetEffectPass(&m_Passes[frame.technique][index].variants[0].program);
        return D3D_OK;
    }

    HRESULT CommitChanges() override
    {
        // Parameters reach the program at the next draw whatever the order.
        Log("Effect.CommitChanges");
        return D3D_OK;
    }

    HRESULT EndPass() override
    {
        Log("Effect.EndPass");
        if (m_Stack.empty() || m_Stack.back().pass < 0)
            return D3DERR_INVALIDCALL;
        m_Stack.back().pass = -1;
        if (m_Link->alive)
            m_Link->device->SetEffectPass(nullptr);
        return D3D_OK;
    }

    HRESULT End() override
    {
        Log("Effect.End");
        if (m_Stack.empty())
            return D3DERR_INVALIDCALL;
        Frame frame = std::move(m_Stack.back());
        m_Stack.pop_back();
        if (!m_Link->alive)
            return D3D_OK;
        CDevice9* device = m_Link->device;
        for (auto it = frame.renderStates.rbegin(); it != frame.renderStates.rend(); ++it)
            device->SetRenderState((D3DRENDERSTATETYPE)it->first, it->second);
        for (auto it = frame.samplerStates.rbegin(); it != frame.samplerStates.rend(); ++it)
            device->SetSamplerState(it->stage, (D3DSAMPLERSTATETYPE)it->state, it->value);
        // An enclosing Begin of this effect keeps drawing with its own pass.
        if (!m_Stack.empty() && m_Stack.back().pass >= 0)
            device->SetEffectPass(&m_Passes[m_Stack.back().technique][m_Stack.back().pass].variants[0].program);
        else
            device->SetEffectPass(nullptr);
        return D3D_OK;
    }

    HRESULT SetValue(D3DXHANDLE h, LPCVOID pData, UINT Bytes) override
    {
        Log(std::string("Effect.SetValue(") + Name(h) + ", " + std::to_string(Bytes) + ")");
        Param* p = Find(h);
        if (!p || !pData || IsTexture(p->type))
            return D3DERR_INVALIDCALL;
        std::memcpy(p->raw.data(), pData, std::min<size_t>(Bytes, p->raw.size() * 4));
        ++p->version;
        return D3D_OK;
    }

    HRESULT GetValue(D3DXHANDLE h, LPVOID pData, UINT Bytes) override
    {
        Param* p = Find(h);
        if (!p || !pData || IsTexture(p->type))
            return D3DERR_INVALIDCALL;
        std::memcpy(pData, p->raw.data(), std::min<size_t>(Bytes, p->raw.size() * 4));
        return D3D_OK;
    }

    HRESULT SetBool(D3DXHANDLE h, BOOL b) override { return SetInt(h, b ? 1 : 0); }

    HRESULT SetInt(D3DXHANDLE h, INT n) override
    {
        Log(std::string("Effect.SetInt(") + Name(h) + ", " + std::to_string(n) + ")");
        Param* p = Find(h);
        if (!p || p->raw.empty())
            return D3DERR_INVALIDCALL;
        if (IsInteger(p->type))
        {
            std::memcpy(&p->raw[0], &n, 4);
        }
        else
        {
            float f = (float)n;
            std::memcpy(&p->raw[0], &f, 4);
        }
        ++p->version;
        return D3D_OK;
    }

    HRESULT GetInt(D3DXHANDLE h, INT* pn) override
    {
        Param* p = Find(h);
        if (!p || !pn || p->raw.empty())
            return D3DERR_INVALIDCALL;
        if (IsInteger(p->type))
        {
            std::memcpy(pn, &p->raw[0], 4);
        }
        else
        {
            float f;
            std::memcpy(&f, &p->raw[0], 4);
            *pn = (INT)f;
        }
        return D3D_OK;
    }

    HRESULT SetFloat(D3DXHANDLE h, FLOAT f) override
    {
        Log(Fmt("Effect.SetFloat(%s, %g)", Name(h), f));
        Param* p = Find(h);
        if (!p || p->raw.empty())
            return D3DERR_INVALIDCALL;
        if (IsInteger(p->type))
        {
            INT n = (INT)f;
            std::memcpy(&p->raw[0], &n, 4);
        }
        else
        {
            std::memcpy(&p->raw[0], &f, 4);
        }
        ++p->version;
        return D3D_OK;
    }

    HRESULT GetFloat(D3DXHANDLE h, FLOAT* pf) override
    {
        Param* p = Find(h);
        if (!p || !pf || p->raw.empty())
            return D3DERR_INVALIDCALL;
        if (IsInteger(p->type))
        {
            INT n;
            std::memcpy(&n, &p->raw[0], 4);
            *pf = (float)n;
        }
        else
        {
            std::memcpy(pf, &p->raw[0], 4);
        }
        return D3D_OK;
    }

    HRESULT SetFloatArray(D3DXHANDLE h, const FLOAT* pf, UINT Count) override
    {
        Log(std::string("Effect.SetFloatArray(") + Name(h) + ", " + std::to_string(Count) + ")");
        Param* p = Find(h);
        if (!p || !pf || IsTexture(p->type) || IsInteger(p->type))
            return D3DERR_INVALIDCALL;
        std::memcpy(p->raw.data(), pf, std::min<size_t>(Count, p->raw.size()) * 4);
        ++p->version;
        return D3D_OK;
    }

    HRESULT SetVector(D3DXHANDLE h, const D3DXVECTOR4* v) override
    {
        if (v)
            Log(Fmt("Effect.SetVector(%s, %g, %g, %g, %g)", Name(h), v->x, v->y, v->z, v->w));
        return SetVectorArray(h, v, 1, false);
    }

    HRESULT GetVector(D3DXHANDLE h, D3DXVECTOR4* v) override
    {
        Param* p = Find(h);
        if (!p || !v || IsTexture(p->type) || IsInteger(p->type))
            return D3DERR_INVALIDCALL;
        float out[4] = {0, 0, 0, 0};
        std::memcpy(out, p->raw.data(), std::min<size_t>(4, p->raw.size()) * 4);
        *v = D3DXVECTOR4(out[0], out[1], out[2], out[3]);
        return D3D_OK;
    }

    HRESULT SetVectorArray(D3DXHANDLE h, const D3DXVECTOR4* v, UINT Count) override
    {
        Log(std::string("Effect.SetVectorArray(") + Name(h) + ", " + std::to_string(Count) + ")");
        return SetVectorArray(h, v, Count, true);
    }

    HRESULT SetMatrix(D3DXHANDLE h, const D3DXMATRIX* m) override
    {
        Log(std::string("Effect.SetMatrix(") + Name(h) + ")");
        return SetMatrixArrayImpl(h, m, 1);
    }

    HRESULT GetMatrix(D3DXHANDLE h, D3DXMATRIX* m) override
    {
        Param* p = Find(h);
        if (!p || !m || p->type != EffectParamType::Matrix)
            return D3DERR_INVALIDCALL;
        std::memcpy(&m->m[0][0], p->raw.data(), 64);
        return D3D_OK;
    }

    HRESULT SetMatrixArray(D3DXHANDLE h, const D3DXMATRIX* m, UINT Count) override
    {
        Log(std::string("Effect.SetMatrixArray(") + Name(h) + ", " + std::to_string(Count) + ")");
        return SetMatrixArrayImpl(h, m, Count);
    }

    HRESULT SetTexture(D3DXHANDLE h, IDirect3DBaseTexture9* t) override
    {
        TextureStore* store = StoreOf(t);
        Log(std::string("Effect.SetTexture(") + Name(h) + ", " +
            (t ? (store ? Fmt("tex%u", store->Number()) : std::string("tex?")) : std::string("null")) + ")");
        Param* p = Find(h);
        if (!p || !IsTexture(p->type))
            return D3DERR_INVALIDCALL;
        if (t)
            t->AddRef();
        if (p->texture)
            p->texture->Release();
        p->texture = t;
        return D3D_OK;
    }

    HRESULT GetTexture(D3DXHANDLE h, IDirect3DBaseTexture9** ppTexture) override
    {
        Param* p = Find(h);
        if (!p || !ppTexture || !IsTexture(p->type))
            return D3DERR_INVALIDCALL;
        *ppTexture = p->texture;
        if (p->texture)
            p->texture->AddRef();
        return D3D_OK;
    }

    HRESULT OnLostDevice() override
    {
        Log("Effect.OnLostDevice");
        return D3D_OK;
    }

    HRESULT OnResetDevice() override
    {
        Log("Effect.OnResetDevice");
        return D3D_OK;
    }

private:
    struct Param
    {
        std::string name;
        EffectParamType type = EffectParamType::Float;
        int arraySize = 1;
        std::vector<uint32_t> raw;   // float or int bits, components x array size
        IDirect3DBaseTexture9* texture = nullptr;
        uint64_t version = 1;
        GLuint sampler = 0;
        int unit = 0;
    };
    struct Binding
    {
        GLint location;
        int param;
        uint64_t uploaded;
    };
    struct Variant
    {
        EffectPassProgram program;
        std::vector<Binding> bindings;
        bool stageUsed[8] = {};
        bool tried = false;
    };
    struct Pass
    {
        // [0] without the alpha test, [f] with the test of comparison
        // function f (made when first needed).
        Variant variants[kAlphaVariants];
    };
    struct SavedSampler
    {
        DWORD stage, state, value;
    };
    struct Frame
    {
        int technique = 0;
        int pass = -1;
        std::vector<std::pair<DWORD, DWORD>> renderStates;
        std::vector<SavedSampler> samplerStates;
    };

    static const char* Name(D3DXHANDLE h) { return h ? h : "null"; }

    void Log(const std::string& line) const
    {
        if (Recording(m_Link))
            Record(line);
    }

    Param* Find(D3DXHANDLE h)
    {
        if (!h)
            return nullptr;
        auto it = m_Index.find(h);
        return it == m_Index.end() ? nullptr : &m_Params[it->second];
    }

    int FindTechnique(D3DXHANDLE h) const
    {
        if (!h)
            return -1;
        for (size_t i = 0; i < m_Source.techniques.size(); ++i)
            if (m_Source.techniques[i].name == h)
                return (int)i;
        return -1;
    }

    HRESULT SetVectorArray(D3DXHANDLE h, const D3DXVECTOR4* v, UINT count, bool)
    {
        Param* p = Find(h);
        if (!p || !v || IsTexture(p->type) || IsInteger(p->type) || p->type == EffectParamType::Matrix)
            return D3DERR_INVALIDCALL;
        size_t comps = (size_t)Components(p->type);
        for (UINT i = 0; i < count && i < (UINT)p->arraySize; ++i)
            std::memcpy(&p->raw[i * comps], &v[i].x, std::min<size_t>(4, comps) * 4);
        ++p->version;
        return D3D_OK;
    }

    HRESULT SetMatrixArrayImpl(D3DXHANDLE h, const D3DXMATRIX* m, UINT count)
    {
        Param* p = Find(h);
        if (!p || !m || p->type != EffectParamType::Matrix)
            return D3DERR_INVALIDCALL;
        for (UINT i = 0; i < count && i < (UINT)p->arraySize; ++i)
            std::memcpy(&p->raw[i * 16], &m[i].m[0][0], 64);
        ++p->version;
        return D3D_OK;
    }

    static void ApplySamplerObject(GLuint sampler, const DWORD* ss);

    std::shared_ptr<DeviceLink> m_Link;
    EffectSource m_Source;
    std::vector<Param> m_Params;
    std::map<std::string, int, std::less<>> m_Index;
    std::vector<std::vector<Pass>> m_Passes;
    std::vector<Frame> m_Stack;
    int m_Technique = 0;
};

void EffectImpl::ApplySamplerObject(GLuint sampler, const DWORD* ss)
{
    ApplySamplerState(sampler, ss);
}

EffectPassProgram* UploadEffectPass(EffectPassProgram* pass, DWORD alphaTest, bool* stagesUsed)
{
    return pass->effect->Upload(pass->technique, pass->pass, alphaTest, stagesUsed);
}

}   // namespace d3d

using namespace d3d;

HRESULT D3DXCreateBuffer(DWORD NumBytes, LPD3DXBUFFER* ppBuffer)
{
    if (!ppBuffer)
        return D3DERR_INVALIDCALL;
    *ppBuffer = new Buffer(NumBytes);
    return D3D_OK;
}

HRESULT D3DXCreateEffect(LPDIRECT3DDEVICE9 pDevice, LPCVOID pSrcData, UINT SrcDataLen, const D3DXMACRO*, LPD3DXINCLUDE,
                         DWORD, LPD3DXEFFECTPOOL, LPD3DXEFFECT* ppEffect, LPD3DXBUFFER* ppCompilationErrors)
{
    if (ppEffect)
        *ppEffect = nullptr;
    if (ppCompilationErrors)
        *ppCompilationErrors = nullptr;
    CDevice9* device = DeviceOf(pDevice);
    if (!device || !pSrcData || !ppEffect)
        return D3DERR_INVALIDCALL;
    auto fail = [&](const std::string& text) {
        if (ppCompilationErrors)
        {
            ID3DXBuffer* buffer = nullptr;
            D3DXCreateBuffer((DWORD)text.size() + 1, &buffer);
            std::memcpy(buffer->GetBufferPointer(), text.c_str(), text.size() + 1);
            *ppCompilationErrors = buffer;
        }
        return D3DXERR_INVALIDDATA;
    };
    EffectSource source;
    std::string error;
    if (!ParseEffect(static_cast<const char*>(pSrcData), SrcDataLen, source, &error))
        return fail(error);
    auto* effect = new EffectImpl(device, std::move(source));
    std::string errors;
    if (!effect->Compile(errors))
    {
        effect->Release();
        return fail(errors);
    }
    if (Recording(device->Link()))
        Record("D3DXCreateEffect");
    *ppEffect = effect;
    return D3D_OK;
}
