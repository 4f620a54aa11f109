// The engine's module: GStreamer's half of the engine, opened by the program
// once its window is up (engine/engine_module.h).
#include "engine/engine_module_abi.h"
#include "engine/playback_engine.h"

#include <type_traits>

extern "C" [[gnu::visibility("default")]] void corvan_engine_load()
{
    corvan::LoadGstreamer();
}

extern "C" [[gnu::visibility("default")]] corvan::MediaEngine* corvan_engine_make(int output)
{
    return corvan::MakePlaybackEngine(static_cast<corvan::AudioOutput>(output)).release();
}

static_assert(std::is_same_v<decltype(&corvan_engine_load), corvan::engine_module::LoadFunction>);
static_assert(std::is_same_v<decltype(&corvan_engine_make), corvan::engine_module::MakeFunction>);
