#pragma once
// The OpenGL 3.3 core entry points the graphics layer uses, loaded through
// SDL_GL_GetProcAddress once a context exists (no loader library). Called as
// d3d::gl.Clear(...), gl.BindTexture(...), ...
#include <GL/glcorearb.h>

namespace d3d
{

#define D3D_GL_FUNCTIONS(X)                                                                                            \
    X(PFNGLGETSTRINGPROC, GetString)                                                                                   \
    X(PFNGLGETSTRINGIPROC, GetStringi)                                                                                 \
    X(PFNGLGETINTEGERVPROC, GetIntegerv)                                                                               \
    X(PFNGLGETERRORPROC, GetError)                                                                                     \
    X(PFNGLENABLEPROC, Enable)                                                                                         \
    X(PFNGLDISABLEPROC, Disable)                                                                                       \
    X(PFNGLBLENDFUNCSEPARATEPROC, BlendFuncSeparate)                                                                   \
    X(PFNGLBLENDEQUATIONSEPARATEPROC, BlendEquationSeparate)                                                           \
    X(PFNGLBLENDCOLORPROC, BlendColor)                                                                                 \
    X(PFNGLDEPTHFUNCPROC, DepthFunc)                                                                                   \
    X(PFNGLDEPTHMASKPROC, DepthMask)                                                                                   \
    X(PFNGLCOLORMASKPROC, ColorMask)                                                                                   \
    X(PFNGLCULLFACEPROC, CullFace)                                                                                     \
    X(PFNGLFRONTFACEPROC, FrontFace)                                                                                   \
    X(PFNGLPOLYGONMODEPROC, PolygonMode)                                                                               \
    X(PFNGLPOLYGONOFFSETPROC, PolygonOffset)                                                                           \
    X(PFNGLVIEWPORTPROC, Viewport)                                                                                     \
    X(PFNGLDEPTHRANGEPROC, DepthRange)                                                                                 \
    X(PFNGLSCISSORPROC, Scissor)                                                                                       \
    X(PFNGLCLEARCOLORPROC, ClearColor)                                                                                 \
    X(PFNGLCLEARDEPTHPROC, ClearDepth)                                                                                 \
    X(PFNGLCLEARSTENCILPROC, ClearStencil)                                                                             \
    X(PFNGLCLEARPROC, Clear)                                                                                           \
    X(PFNGLSTENCILFUNCPROC, StencilFunc)                                                                               \
    X(PFNGLSTENCILOPPROC, StencilOp)                                                                                   \
    X(PFNGLSTENCILMASKPROC, StencilMask)                                                                               \
    X(PFNGLGENTEXTURESPROC, GenTextures)                                                                               \
    X(PFNGLDELETETEXTURESPROC, DeleteTextures)                                                                         \
    X(PFNGLBINDTEXTUREPROC, BindTexture)                                                                               \
    X(PFNGLACTIVETEXTUREPROC, ActiveTexture)                                                                           \
    X(PFNGLTEXIMAGE2DPROC, TexImage2D)                                                                                 \
    X(PFNGLTEXSUBIMAGE2DPROC, TexSubImage2D)                                                                           \
    X(PFNGLCOMPRESSEDTEXIMAGE2DPROC, CompressedTexImage2D)                                                             \
    X(PFNGLTEXPARAMETERIPROC, TexParameteri)                                                                           \
    X(PFNGLTEXPARAMETERIVPROC, TexParameteriv)                                                                         \
    X(PFNGLPIXELSTOREIPROC, PixelStorei)                                                                               \
    X(PFNGLGENSAMPLERSPROC, GenSamplers)                                                                               \
    X(PFNGLDELETESAMPLERSPROC, DeleteSamplers)                                                                         \
    X(PFNGLBINDSAMPLERPROC, BindSampler)                                                                               \
    X(PFNGLSAMPLERPARAMETERIPROC, SamplerParameteri)                                                                   \
    X(PFNGLSAMPLERPARAMETERFPROC, SamplerParameterf)                                                                   \
    X(PFNGLSAMPLERPARAMETERFVPROC, SamplerParameterfv)                                                                 \
    X(PFNGLGENBUFFERSPROC, GenBuffers)                                                                                 \
    X(PFNGLDELETEBUFFERSPROC, DeleteBuffers)                                                                           \
    X(PFNGLBINDBUFFERPROC, BindBuffer)                                                                                 \
    X(PFNGLBUFFERDATAPROC, BufferData)                                                                                 \
    X(PFNGLBUFFERSUBDATAPROC, BufferSubData)                                                                           \
    X(PFNGLGENVERTEXARRAYSPROC, GenVertexArrays)                                                                       \
    X(PFNGLBINDVERTEXARRAYPROC, BindVertexArray)                                                                       \
    X(PFNGLDELETEVERTEXARRAYSPROC, DeleteVertexArrays)                                                                 \
    X(PFNGLVERTEXATTRIBPOINTERPROC, VertexAttribPointer)                                                               \
    X(PFNGLENABLEVERTEXATTRIBARRAYPROC, EnableVertexAttribArray)                                                       \
    X(PFNGLDISABLEVERTEXATTRIBARRAYPROC, DisableVertexAttribArray)                                                     \
    X(PFNGLVERTEXATTRIB4FPROC, VertexAttrib4f)                                                                         \
    X(PFNGLDRAWARRAYSPROC, DrawArrays)                                                                                 \
    X(PFNGLDRAWELEMENTSBASEVERTEXPROC, DrawElementsBaseVertex)                                                         \
    X(PFNGLCREATESHADERPROC, CreateShader)                                                                             \
    X(PFNGLSHADERSOURCEPROC, ShaderSource)                                                                             \
    X(PFNGLCOMPILESHADERPROC, CompileShader)                                                                           \
    X(PFNGLGETSHADERIVPROC, GetShaderiv)                                                                               \
    X(PFNGLGETSHADERINFOLOGPROC, GetShaderInfoLog)                                                                     \
    X(PFNGLDELETESHADERPROC, DeleteShader)                                                                             \
    X(PFNGLCREATEPROGRAMPROC, CreateProgram)                                                                           \
    X(PFNGLATTACHSHADERPROC, AttachShader)                                                                             \
    X(PFNGLBINDATTRIBLOCATIONPROC, BindAttribLocation)                                                                 \
    X(PFNGLBINDFRAGDATALOCATIONPROC, BindFragDataLocation)                                                             \
    X(PFNGLLINKPROGRAMPROC, LinkProgram)                                                                               \
    X(PFNGLGETPROGRAMIVPROC, GetProgramiv)                                                                             \
    X(PFNGLGETPROGRAMINFOLOGPROC, GetProgramInfoLog)                                                                   \
    X(PFNGLDELETEPROGRAMPROC, DeleteProgram)                                                                           \
    X(PFNGLUSEPROGRAMPROC, UseProgram)                                                                                 \
    X(PFNGLGETUNIFORMLOCATIONPROC, GetUniformLocation)                                                                 \
    X(PFNGLUNIFORM1IPROC, Uniform1i)                                                                                   \
    X(PFNGLUNIFORM1IVPROC, Uniform1iv)                                                                                 \
    X(PFNGLUNIFORM1FVPROC, Uniform1fv)                                                                                 \
    X(PFNGLUNIFORM2FVPROC, Uniform2fv)                                                                                 \
    X(PFNGLUNIFORM3FVPROC, Uniform3fv)                                                                                 \
    X(PFNGLUNIFORM4FVPROC, Uniform4fv)                                                                                 \
    X(PFNGLUNIFORMMATRIX3FVPROC, UniformMatrix3fv)                                                                     \
    X(PFNGLUNIFORMMATRIX4FVPROC, UniformMatrix4fv)                                                                     \
    X(PFNGLGENFRAMEBUFFERSPROC, GenFramebuffers)                                                                       \
    X(PFNGLDELETEFRAMEBUFFERSPROC, DeleteFramebuffers)                                                                 \
    X(PFNGLBINDFRAMEBUFFERPROC, BindFramebuffer)                                                                       \
    X(PFNGLFRAMEBUFFERTEXTURE2DPROC, FramebufferTexture2D)                                                             \
    X(PFNGLFRAMEBUFFERRENDERBUFFERPROC, FramebufferRenderbuffer)                                                       \
    X(PFNGLCHECKFRAMEBUFFERSTATUSPROC, CheckFramebufferStatus)                                                         \
    X(PFNGLGENRENDERBUFFERSPROC, GenRenderbuffers)                                                                     \
    X(PFNGLDELETERENDERBUFFERSPROC, DeleteRenderbuffers)                                                               \
    X(PFNGLBINDRENDERBUFFERPROC, BindRenderbuffer)                                                                     \
    X(PFNGLRENDERBUFFERSTORAGEPROC, RenderbufferStorage)                                                               \
    X(PFNGLBLITFRAMEBUFFERPROC, BlitFramebuffer)                                                                       \
    X(PFNGLREADPIXELSPROC, ReadPixels)                                                                                 \
    X(PFNGLREADBUFFERPROC, ReadBuffer)                                                                                 \
    X(PFNGLDRAWBUFFERPROC, DrawBuffer)                                                                                 \
    X(PFNGLFINISHPROC, Finish)                                                                                         \
    X(PFNGLLINEWIDTHPROC, LineWidth)                                                                                   \
    X(PFNGLPROVOKINGVERTEXPROC, ProvokingVertex)

struct GLFunctions
{
#define D3D_GL_MEMBER(type, name) type name = nullptr;
    D3D_GL_FUNCTIONS(D3D_GL_MEMBER)
#undef D3D_GL_MEMBER
    bool s3tc = false;   // DXT textures kept compressed (see KeepDxtCompressed)
    bool anisotropic = false;
    // GL_ARB_copy_image's plain copy between textures of one format, which
    // the driver makes without drawing (null without the extension).
    PFNGLCOPYIMAGESUBDATAPROC CopyImageSubData = nullptr;

    // Loads every entry point from the current context; false when one is missing.
    bool Load();
};

extern GLFunctions gl;

// Whether DXT textures go to GL compressed: the driver must have S3TC, and a
// software rasteriser (llvmpipe, softpipe) is better off with them decoded
// once on upload, as it decodes a block for every texel it samples.
bool KeepDxtCompressed(bool s3tcExtension, const char* renderer);

}   // namespace d3d
