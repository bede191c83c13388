// The sound a job plays when it ends: data/sounds/Done.wav after a batch that ran to its end,
// data/sounds/Fail.wav after a cancel.
#pragma once

#include <string>

namespace quelt {

// Starts playing the sound through the process's playback library and returns at once.
// A machine without a sound device, or a missing sound file, plays nothing and says
// nothing. Callable from any thread.
void PlayClosingSound(bool done);

// The file PlayClosingSound(done) plays.
std::string ClosingSoundPath(bool done);

}  // namespace quelt
