// SDL2's audio, opened when a preview first plays rather than linked: SDL maps twenty-odd
// more libraries (X11, Wayland, PulseAudio, ...), 2 MiB of every rip and conversion that
// never plays a sound. Only the calls the playback library makes are looked up.
#pragma once

#include <SDL.h>

namespace quelt {

struct SdlLibrary {
    decltype(&SDL_InitSubSystem) InitSubSystem;
    decltype(&SDL_QuitSubSystem) QuitSubSystem;
    decltype(&SDL_OpenAudioDevice) OpenAudioDevice;
    decltype(&SDL_CloseAudioDevice) CloseAudioDevice;
    decltype(&SDL_PauseAudioDevice) PauseAudioDevice;
    decltype(&SDL_LockAudioDevice) LockAudioDevice;
    decltype(&SDL_UnlockAudioDevice) UnlockAudioDevice;
};

// SDL2, or nullptr when it cannot be opened (no preview can then play). Thread-safe.
const SdlLibrary* Sdl();

}  // namespace quelt
