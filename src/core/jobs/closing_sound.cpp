#include "core/jobs/closing_sound.h"

#include <mutex>

#include "core/playback/playback_library.h"
#include "core/settings/app_paths.h"

namespace quelt {

std::string ClosingSoundPath(bool done) { return DataFile(done ? "sounds/Done.wav" : "sounds/Fail.wav"); }

void PlayClosingSound(bool done) {
    // One closing sound at a time: the previous one's stream is released when the next starts.
    static std::mutex mutex;
    static PlaybackLibrary::Stream last = 0;
    std::lock_guard<std::mutex> lock(mutex);
    PlaybackLibrary& library = SharedPlaybackLibrary();
    if (!library.Init()) return;
    if (last) library.StreamFree(last);
    last = library.StreamCreateFile(ClosingSoundPath(done));
    if (last) library.ChannelPlay(last, true);
}

}  // namespace quelt
