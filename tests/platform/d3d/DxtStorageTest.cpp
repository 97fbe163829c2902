// Where DXT textures are kept decoded instead of compressed: without the
// driver's S3TC, and on the software rasterisers, which would decode a block
// for every texel they sample.
#include <gtest/gtest.h>

#include "platform/d3d/GLFunctions.h"

TEST(DxtStorageTest, CompressedOnlyWithTheExtensionOnAHardwareRenderer)
{
    struct Case
    {
        bool extension;
        const char* renderer;
        bool compressed;
    } cases[] = {
        {true, "llvmpipe (LLVM 15.0.6, 256 bits)", false},
        {true, "softpipe", false},
        {true, "AMD Radeon RX 6600 (radeonsi, navi23, LLVM 15.0.6, DRM 3.49)", true},
        {true, "Mesa Intel(R) UHD Graphics 620 (KBL GT2)", true},
        {true, nullptr, true},   // no name given: the extension decides
        {false, "AMD Radeon RX 6600", false},
        {false, "llvmpipe (LLVM 15.0.6, 256 bits)", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.compressed, d3d::KeepDxtCompressed(c.extension, c.renderer))
            << (c.renderer ? c.renderer : "(none)") << " extension " << c.extension;
}
