#include "core/playback/sdl_library.h"

#include "core/transcode/runtime_library.h"

namespace quelt {
namespace {

const SdlLibrary* Open() {
    void* handle = OpenRuntimeLibrary("libSDL2-2.0.so.0");
    if (!handle) return nullptr;
    static SdlLibrary library;
    SdlLibrary& l = library;
    const bool complete = ResolveSymbol(handle, "SDL_InitSubSystem", l.InitSubSystem) &&
                          ResolveSymbol(handle, "SDL_QuitSubSystem", l.QuitSubSystem) &&
                          ResolveSymbol(handle, "SDL_OpenAudioDevice", l.OpenAudioDevice) &&
                          ResolveSymbol(handle, "SDL_CloseAudioDevice", l.CloseAudioDevice) &&
                          ResolveSymbol(handle, "SDL_PauseAudioDevice", l.PauseAudioDevice) &&
                          ResolveSymbol(handle, "SDL_LockAudioDevice", l.LockAudioDevice) &&
                          ResolveSymbol(handle, "SDL_UnlockAudioDevice", l.UnlockAudioDevice);
    return complete ? &library : nullptr;
}

}  // namespace

const SdlLibrary* Sdl() {
    static const SdlLibrary* const library = Open();
    return library;
}

}  // namespace quelt
