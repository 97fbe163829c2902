#include "platform/d3d/GLFunctions.h"

#include <SDL2/SDL.h>

#include <cstring>

namespace d3d
{

GLFunctions gl;

bool GLFunctions::Load()
{
    bool ok = true;
#define D3D_GL_LOAD(type, name)                                                                                        \
    name = reinterpret_cast<type>(SDL_GL_GetProcAddress("gl" #name));                                                  \
    if (!name)                                                                                                         \
        ok = false;
    D3D_GL_FUNCTIONS(D3D_GL_LOAD)
#undef D3D_GL_LOAD
    if (!ok)
        return false;
    s3tc = false;
    anisotropic = false;
    CopyImageSubData = nullptr;
    bool copyImage = false;
    GLint count = 0;
    GetIntegerv(GL_NUM_EXTENSIONS, &count);
    for (GLint i = 0; i < count; ++i)
    {
        const char* ext = reinterpret_cast<const char*>(GetStringi(GL_EXTENSIONS, i));
        if (!ext)
            continue;
        if (std::strcmp(ext, "GL_EXT_texture_compression_s3tc") == 0)
            s3tc = true;
        if (std::strcmp(ext, "GL_EXT_texture_filter_anisotropic") == 0 ||
            std::strcmp(ext, "GL_ARB_texture_filter_anisotropic") == 0)
            anisotropic = true;
        if (std::strcmp(ext, "GL_ARB_copy_image") == 0)
            copyImage = true;
    }
    if (copyImage)
        CopyImageSubData = reinterpret_cast<PFNGLCOPYIMAGESUBDATAPROC>(SDL_GL_GetProcAddress("glCopyImageSubData"));
    s3tc = KeepDxtCompressed(s3tc, reinterpret_cast<const char*>(GetString(GL_RENDERER)));
    return true;
}

bool KeepDxtCompressed(bool s3tcExtension, const char* renderer)
{
    if (!s3tcExtension)
        return false;
    if (!renderer)
        return true;
    return !std::strstr(renderer, "llvmpipe") && !std::strstr(renderer, "softpipe");
}

}   // namespace d3d
