// Reader of technique files; the format is described in EffectParser.h.
#include "platform/d3d/EffectParser.h"

#include <cctype>
#include <sstream>

namespace d3d
{

namespace
{

std::string Trim(const std::string& s)
{
    size_t b = 0, e = s.size();
    while (b < e && std::isspace((unsigned char)s[b]))
        ++b;
    while (e > b && std::isspace((unsigned char)s[e - 1]))
        --e;
    return s.substr(b, e - b);
}

std::vector<std::string> Words(const std::string& s)
{
    std::vector<std::string> words;
    std::istringstream in(s);
    std::string w;
    while (in >> w)
        words.push_back(w);
    return words;
}

std::string Error(int line, const std::string& message)
{
    return "line " + std::to_string(line) + ": " + message;
}

// Code with comments blanked out, so declarations inside them are not seen.
std::string StripComments(const std::string& code)
{
    std::string out = code;
    for (size_t i = 0; i + 1 < out.size(); ++i)
    {
        if (out[i] == '/' && out[i + 1] == '/')
        {
            while (i < out.size() && out[i] != '\n')
                out[i++] = ' ';
        }
        else if (out[i] == '/' && out[i + 1] == '*')
        {
            size_t j = i;
            while (j + 1 < out.size() && !(out[j] == '*' && out[j + 1] == '/'))
            {
                if (out[j] != '\n')
                    out[j] = ' ';
                ++j;
            }
            for (size_t k = j; k < out.size() && k < j + 2; ++k)
                out[k] = ' ';
            i = j + 1;
        }
    }
    return out;
}

bool TypeOf(const std::string& word, EffectParamType& type)
{
    static const struct
    {
        const char* name;
        EffectParamType type;
    } kTypes[] = {{"float", EffectParamType::Float},
                  {"int", EffectParamType::Int},
                  {"bool", EffectParamType::Bool},
                  {"vec2", EffectParamType::Vector2},
                  {"vec3", EffectParamType::Vector3},
                  {"vec4", EffectParamType::Vector4},
                  {"mat4", EffectParamType::Matrix},
                  {"sampler2D", EffectParamType::Texture2D},
                  {"samplerCube", EffectParamType::TextureCube}};
    for (const auto& t : kTypes)
        if (word == t.name)
        {
            type = t.type;
            return true;
        }
    return false;
}

bool LayerName(const std::string& name)
{
    return name.compare(0, 4, "d3d_") == 0 || name.compare(0, 8, "texStage") == 0 || name == "vs_c" || name == "ps_c";
}

// Collects "uniform TYPE NAME;" and "uniform TYPE NAME[N];" declarations.
bool ScanUniforms(const std::string& code, int firstLine, EffectSource& out, std::string* error)
{
    std::string text = StripComments(code);
    std::istringstream lines(text);
    std::string line;
    int number = firstLine;
    while (std::getline(lines, line))
    {
        size_t pos = 0;
        while ((pos = line.find("uniform", pos)) != std::string::npos)
        {
            bool startOk = pos == 0 || !(std::isalnum((unsigned char)line[pos - 1]) || line[pos - 1] == '_');
            size_t after = pos + 7;
            bool endOk = after < line.size() && std::isspace((unsigned char)line[after]);
            pos = after;
            if (!startOk || !endOk)
                continue;
            size_t semicolon = line.find(';', after);
            if (semicolon == std::string::npos)
            {
                if (error)
                    *error = Error(number, "uniform declaration must end on its line");
                return false;
            }
            std::string decl = line.substr(after, semicolon - after);
            for (char& c : decl)
                if (c == '[' || c == ']')
                    c = ' ';
            std::vector<std::string> w = Words(decl);
            if (w.size() < 2)
            {
                if (error)
                    *error = Error(number, "malformed uniform declaration");
                return false;
            }
            size_t t = 0;
            if (w[0] == "lowp" || w[0] == "mediump" || w[0] == "highp")
                t = 1;
            if (w.size() < t + 2)
            {
                if (error)
                    *error = Error(number, "malformed uniform declaration");
                return false;
            }
            const std::string& name = w[t + 1];
            if (LayerName(name))
                continue;
            EffectParamType type;
            if (!TypeOf(w[t], type))
            {
                if (error)
                    *error = Error(number, "unsupported uniform type '" + w[t] + "' of " + name);
                return false;
            }
            int arraySize = 1;
            if (w.size() > t + 2)
            {
                char* end = nullptr;
                long n = std::strtol(w[t + 2].c_str(), &end, 10);
                if (*end != 0 || n < 1 || n > 256)
                {
                    if (error)
                        *error = Error(number, "bad array size of " + name);
                    return false;
                }
                arraySize = (int)n;
            }
            bool known = false;
            for (const EffectParamSource& p : out.params)
            {
                if (p.name != name)
                    continue;
                known = true;
                if (p.type != type || p.arraySize != arraySize)
                {
                    if (error)
                        *error = Error(number, "uniform " + name + " declared twice with different types");
                    return false;
                }
            }
            if (!known)
                out.params.push_back({name, type, arraySize});
        }
        ++number;
    }
    return true;
}

}   // namespace

bool ParseEffect(const char* text, size_t length, EffectSource& out, std::string* error)
{
    out = EffectSource();
    std::string all(text ? text : "", text ? length : 0);
    // A terminating zero, as the file loaders may pass, ends the text.
    size_t zero = all.find('\0');
    if (zero != std::string::npos)
        all.resize(zero);
    std::istringstream in(all);
    std::string raw;
    int number = 0;
    EffectTechniqueSource* technique = nullptr;
    EffectPassSource* pass = nullptr;
    std::string* block = nullptr;
    int blockLine = 0;
    while (std::getline(in, raw))
    {
        ++number;
        if (!raw.empty() && raw.back() == '\r')
            raw.pop_back();
        std::string line = Trim(raw);
        if (block)
        {
            if (line.compare(0, 2, "}}") == 0)
            {
                block = nullptr;
                continue;
            }
            *block += raw;
            *block += '\n';
            continue;
        }
        if (line.empty() || line.compare(0, 2, "//") == 0)
            continue;
        std::vector<std::string> w = Words(line);
        const std::string& keyword = w[0];
        bool opens = w.back() == "{{";
        if (keyword == "shared" || keyword == "vertex" || keyword == "fragment")
        {
            if (!opens || w.size() != 2)
            {
                if (error)
                    *error = Error(number, "expected '" + keyword + " {{'");
                return false;
            }
            if (keyword == "shared")
            {
                if (out.shared.empty())
                    out.sharedLine = number + 1;
                block = &out.shared;
            }
            else
            {
                if (!pass)
                {
                    if (error)
                        *error = Error(number, keyword + " block outside a pass");
                    return false;
                }
                std::string& code = keyword == "vertex" ? pass->vertex : pass->fragment;
                if (!code.empty())
                {
                    if (error)
                        *error = Error(number, "second " + keyword + " block in one pass");
                    return false;
                }
                (keyword == "vertex" ? pass->vertexLine : pass->fragmentLine) = number + 1;
                block = &code;
            }
            blockLine = number;
            continue;
        }
        if (keyword == "technique")
        {
            if (w.size() != 2)
            {
                if (error)
                    *error = Error(number, "expected 'technique NAME'");
                return false;
            }
            for (const auto& t : out.techniques)
                if (t.name == w[1])
                {
                    if (error)
                        *error = Error(number, "technique " + w[1] + " defined twice");
                    return false;
                }
            out.techniques.push_back(EffectTechniqueSource());
            technique = &out.techniques.back();
            technique->name = w[1];
            pass = nullptr;
            continue;
        }
        if (keyword == "pass")
        {
            if (!technique || w.size() > 2)
            {
                if (error)
                    *error = Error(number, technique ? "expected 'pass [NAME]'" : "pass outside a technique");
                return false;
            }
            technique->passes.push_back(EffectPassSource());
            pass = &technique->passes.back();
            if (w.size() == 2)
                pass->name = w[1];
            continue;
        }
        if (keyword == "state")
        {
            DWORD state, value;
            if (!pass || w.size() != 3)
            {
                if (error)
                    *error = Error(number, pass ? "expected 'state NAME VALUE'" : "state outside a pass");
                return false;
            }
            if (!LookupRenderState(w[1], state))
            {
                if (error)
                    *error = Error(number, "unknown render state " + w[1]);
                return false;
            }
            if (!LookupStateValue(false, state, w[2], value))
            {
                if (error)
                    *error = Error(number, "unknown value " + w[2] + " for " + w[1]);
                return false;
            }
            pass->states.push_back({state, value});
            continue;
        }
        if (keyword == "sampler")
        {
            DWORD state, value;
            if (!pass || w.size() != 4)
            {
                if (error)
                    *error = Error(number, pass ? "expected 'sampler STAGE NAME VALUE'" : "sampler outside a pass");
                return false;
            }
            char* end = nullptr;
            long stage = std::strtol(w[1].c_str(), &end, 10);
            if (*end != 0 || stage < 0 || stage > 7)
            {
                if (error)
                    *error = Error(number, "bad stage " + w[1]);
                return false;
            }
            if (!LookupSamplerState(w[2], state) || !LookupStateValue(true, state, w[3], value))
            {
                if (error)
                    *error = Error(number, "unknown sampler state " + w[2] + " " + w[3]);
                return false;
            }
            pass->samplers.push_back({(DWORD)stage, state, value});
            continue;
        }
        if (keyword == "samplerstate")
        {
            DWORD state, value;
            if (w.size() != 4 || !LookupSamplerState(w[2], state) || !LookupStateValue(true, state, w[3], value))
            {
                if (error)
                    *error = Error(number, "expected 'samplerstate PARAM NAME VALUE'");
                return false;
            }
            out.paramSamplers[w[1]][state] = value;
            continue;
        }
        if (error)
            *error = Error(number, "unknown keyword " + keyword);
        return false;
    }
    if (block)
    {
        if (error)
            *error = Error(blockLine, "block not closed with '}}'");
        return false;
    }
    for (const auto& t : out.techniques)
    {
        if (t.passes.empty())
        {
            if (error)
                *error = "technique " + t.name + " has no pass";
            return false;
        }
        for (const auto& p : t.passes)
        {
            if (p.vertex.empty() || p.fragment.empty())
            {
                if (error)
                    *error = "technique " + t.name + ": every pass needs a vertex and a fragment block";
                return false;
            }
        }
    }
    if (!ScanUniforms(out.shared, out.sharedLine, out, error))
        return false;
    for (const auto& t : out.techniques)
        for (const auto& p : t.passes)
            if (!ScanUniforms(p.vertex, p.vertexLine, out, error) ||
                !ScanUniforms(p.fragment, p.fragmentLine, out, error))
                return false;
    return true;
}

}   // namespace d3d
