#pragma once

// The two entry points of the engine's module (engine/engine_module.h),
// looked up by name when the program opens it.
namespace corvan {

class MediaEngine;

namespace engine_module {

// Starts GStreamer and loads the plugins the engine uses.
using LoadFunction = void (*)();
inline constexpr char kLoad[] = "corvan_engine_load";

// A new engine playing to the AudioOutput given as its number; the caller
// owns it.
using MakeFunction = MediaEngine* (*)(int output);
inline constexpr char kMake[] = "corvan_engine_make";

}  // namespace engine_module
}  // namespace corvan
