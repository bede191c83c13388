// Path helpers on "/" paths.
#pragma once

#include <string>
#include <vector>

namespace quelt {

std::string PathFolder(const std::string& path);          // folder with trailing "/"
std::string PathFileName(const std::string& path);        // name with extension
std::string PathFileTitle(const std::string& path);       // name without extension
std::string PathUpperExtension(const std::string& path);  // "MP3", without the dot
std::string WithTrailingBackslash(const std::string& folder);  // adds "/" when missing
bool PathExists(const std::string& path);                 // "/" always exists
// Creates each missing folder of `folder` from the top down; failures are silent. Returns
// the folders it created, outermost first.
std::vector<std::string> MakeDirectoryPath(const std::string& folder);

// The supported-input tests by extension.
bool IsMediaFile(const std::string& path);   // converter input and burner compilation
bool IsAudioFile(const std::string& path);   // preview player

}  // namespace quelt
