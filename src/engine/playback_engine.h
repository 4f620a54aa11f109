#pragma once

#include "engine/audio_output.h"
#include "engine/media_engine.h"

#include <memory>

class QObject;

namespace corvan {

// Starts GStreamer and loads the plugins the engine uses, on the calling
// thread; an engine made afterwards starts at once. Half a second on a first
// start, while GStreamer builds its plugin registry.
void LoadGstreamer();

// The engine the program plays with, on GStreamer; what it is made of stays
// inside the engine. The program itself opens it as a module
// (engine/engine_module.h); tests and benchmarks link it.
std::unique_ptr<MediaEngine> MakePlaybackEngine(AudioOutput output, QObject* parent = nullptr);

}  // namespace corvan
