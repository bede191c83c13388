#include "core/playback/closing_sound.h"

#include <mutex>
#include <thread>

#include "core/playback/playback_library.h"
#include "core/settings/app_paths.h"

namespace quelt {

std::string ClosingSoundPath(bool done) {
    return DataFile(done ? "sounds/Done.wav" : "sounds/Fail.wav");
}

namespace {

// One closing sound at a time: the previous one's stream is released when the next starts.
std::mutex mutex;
PlaybackLibrary::Stream last = 0;

}  // namespace

void PlayClosingSound(bool done) {
    std::lock_guard<std::mutex> lock(mutex);
    PlaybackLibrary& library = SharedPlaybackLibrary();
    if (!library.Init()) return;
    if (last) library.StreamFree(last);
    last = library.StreamCreateFile(ClosingSoundPath(done));
    if (last) library.ChannelPlay(last, true);
}

bool WaitForClosingSound(std::chrono::milliseconds limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    for (;;) {
        {
            std::lock_guard<std::mutex> lock(mutex);
            if (!last || !SharedPlaybackLibrary().ChannelIsPlaying(last)) return true;
        }
        if (std::chrono::steady_clock::now() >= end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

}  // namespace quelt
