// Where the program finds its read-only data and keeps its per-user files.
#pragma once

#include <string>

namespace quelt {

// The folder holding a read-only data file (skins/, sounds/, help/, demo/), ending in "/":
// $QUELT_DATA_DIR when set, else <prefix>/share/quelt/ when installed, else the build
// tree's data/ (generated files) or the source tree's data/. Returns the first folder that
// holds `relative`, or the first candidate that exists when none does.
std::string DataFolder(const std::string& relative = "");
// DataFolder(relative) + relative.
std::string DataFile(const std::string& relative);

// $XDG_CONFIG_HOME/quelt/ (default ~/.config/quelt/), ending in "/".
std::string ConfigFolder();
// $XDG_CACHE_HOME/quelt/Temp/ (default ~/.cache/quelt/Temp/): the burner's temporary WAVs.
std::string BurnTempFolder();
// $XDG_MUSIC_DIR, else ~/Music, ending in "/".
std::string MusicFolder();
// The default output folder of rips and conversions: <music folder>zqr_output/.
std::string DefaultOutputFolder();
// Where file and folder dialogs first open: the music folder, or the home folder when the
// music folder does not exist. Ends in "/".
std::string DialogStartFolder();
// The user's home folder, ending in "/".
std::string HomeFolder();

}  // namespace quelt
