// The sound a job plays when it ends: data/sounds/Done.wav after a batch that ran to its end,
// data/sounds/Fail.wav after a cancel.
#pragma once

#include <chrono>
#include <string>

namespace quelt {

// Starts playing the sound through the process's playback library and returns at once.
// A machine without a sound device, or a missing sound file, plays nothing and says
// nothing. Callable from any thread.
void PlayClosingSound(bool done);

// Waits until the sound started last has played to its end, at most `limit`; true when no
// sound plays any more. A program about to exit (the command line) calls it so that the
// sound is not cut off.
bool WaitForClosingSound(std::chrono::milliseconds limit = std::chrono::milliseconds(3000));

// The file PlayClosingSound(done) plays.
std::string ClosingSoundPath(bool done);

}  // namespace quelt
