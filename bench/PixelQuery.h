#pragma once
// The fragment-shader invocations ("pixels shaded") the driver counts
// between Begin and End, through its pipeline statistics
// (GL_ARB_pipeline_statistics_query), on the current OpenGL context: a
// figure of a frame's fill that does not depend on how busy the machine is.
// ok is false (and End gives 0) when the driver has no such statistics.
#include <SDL2/SDL.h>

namespace benchpixels
{

class PixelQuery
{
public:
    // Call once a context is current.
    void Load()
    {
        m_Gen = reinterpret_cast<GenQueriesFn>(SDL_GL_GetProcAddress("glGenQueries"));
        m_Begin = reinterpret_cast<BeginFn>(SDL_GL_GetProcAddress("glBeginQuery"));
        m_End = reinterpret_cast<EndFn>(SDL_GL_GetProcAddress("glEndQuery"));
        m_Get = reinterpret_cast<GetU64Fn>(SDL_GL_GetProcAddress("glGetQueryObjectui64v"));
        m_Finish = reinterpret_cast<FinishFn>(SDL_GL_GetProcAddress("glFinish"));
        ok = m_Gen && m_Begin && m_End && m_Get && m_Finish &&
             SDL_GL_ExtensionSupported("GL_ARB_pipeline_statistics_query");
        if (ok)
            m_Gen(1, &m_Query);
    }
    void Begin()
    {
        if (ok)
            m_Begin(kFragmentShaderInvocations, m_Query);
    }
    unsigned long long End()
    {
        if (!ok)
            return 0;
        m_End(kFragmentShaderInvocations);
        unsigned long long n = 0;
        m_Get(m_Query, kQueryResult, &n);
        return n;
    }
    // The driver's work finished (glFinish).
    void Finish()
    {
        if (m_Finish)
            m_Finish();
    }

    bool ok = false;

private:
    static const unsigned kFragmentShaderInvocations = 0x82F4;
    static const unsigned kQueryResult = 0x8866;
    typedef void (*GenQueriesFn)(int, unsigned*);
    typedef void (*BeginFn)(unsigned, unsigned);
    typedef void (*EndFn)(unsigned);
    typedef void (*GetU64Fn)(unsigned, unsigned, unsigned long long*);
    typedef void (*FinishFn)();
    GenQueriesFn m_Gen = nullptr;
    BeginFn m_Begin = nullptr;
    EndFn m_End = nullptr;
    GetU64Fn m_Get = nullptr;
    FinishFn m_Finish = nullptr;
    unsigned m_Query = 0;
};

}   // namespace benchpixels
