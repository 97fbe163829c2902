#pragma once
// Row-vector world matrices (rows side, up, forward, origin) hold the same
// sixteen numbers as the physics library's column-major OpenGL matrices.
#include <btBulletDynamicsCommon.h>

#include "platform/d3d/D3D9.h"

inline btTransform TransformFromMatrix(const D3DMATRIX& m)
{
    btTransform t;
    t.setFromOpenGLMatrix(&m._11);
    return t;
}

inline void MatrixFromTransform(D3DMATRIX& m, const btTransform& t)
{
    t.getOpenGLMatrix(&m._11);
}
