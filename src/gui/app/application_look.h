// The look of the windows that are not skinned (progress window, options, About, message
// boxes): the Fusion style with the palette of the skin's main window, so that every window
// of the program matches the skin.
#pragma once

namespace quelt {

class Skin;

void ApplySkinLook(const Skin& skin);

}  // namespace quelt
