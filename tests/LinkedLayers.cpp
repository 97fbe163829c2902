// Every test program connects the upward links of the layers it tests before
// its first test, as the game does at start-up: the whole game (app and the
// programs beside it) through ConnectLayers(), which must leave no link
// unset; a lower layer's program the connect functions of its layer and
// those below, which are all it links. TRALLOWMERE_TEST_LAYER is the
// program's layer, numbered bottom up (CMakeLists.txt).
#include <gtest/gtest.h>

#if TRALLOWMERE_TEST_LAYER >= 3
#include "render/RenderLinks.h"
#endif
#if TRALLOWMERE_TEST_LAYER >= 4
#include "audio/AudioLinks.h"
#endif
#if TRALLOWMERE_TEST_LAYER >= 5
#include "scene/SceneLinks.h"
#endif
#if TRALLOWMERE_TEST_LAYER >= 6
#include "world/WorldLinks.h"
#endif
#if TRALLOWMERE_TEST_LAYER >= 7
#include "racers/RacerLinks.h"
#endif
#if TRALLOWMERE_TEST_LAYER >= 8
#include "interface/InterfaceLinks.h"
#endif
#if TRALLOWMERE_TEST_LAYER >= 9
#include "app/LayerLinks.h"
#endif

namespace
{

class LinkedLayers : public testing::Environment
{
public:
    void SetUp() override
    {
#if TRALLOWMERE_TEST_LAYER >= 9
        ConnectLayers();
        const std::vector<std::string> unset = UnsetLayerLinks();
        ASSERT_TRUE(unset.empty()) << "unconnected link " << unset.front();
#else
#if TRALLOWMERE_TEST_LAYER >= 3
        ConnectRenderLinks();
#endif
#if TRALLOWMERE_TEST_LAYER >= 4
        ConnectAudioLinks();
#endif
#if TRALLOWMERE_TEST_LAYER >= 5
        ConnectSceneLinks();
#endif
#if TRALLOWMERE_TEST_LAYER >= 6
        ConnectWorldLinks();
#endif
#if TRALLOWMERE_TEST_LAYER >= 7
        ConnectRacersLinks();
#endif
#if TRALLOWMERE_TEST_LAYER >= 8
        ConnectInterfaceLinks();
#endif
#endif
    }
};

testing::Environment* const s_LinkedLayers = testing::AddGlobalTestEnvironment(new LinkedLayers);

}   // namespace
