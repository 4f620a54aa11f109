#pragma once

namespace corvan {

// Where the sound goes. The program plays to the desktop's default output;
// tests and benchmarks use Silent, which needs no sound device but still
// consumes the sound in real time, so positions advance and files end.
enum class AudioOutput { Desktop, Silent };

}  // namespace corvan
