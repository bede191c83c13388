// The text of an options page's output-folder edit as the settings keep it.
#pragma once

#include <QString>
#include <string>

namespace quelt {

// "~" stands for the home folder, the text ends in "/" (names are appended to it), and an
// empty or blank edit means the default output folder rather than the root of the file
// system.
std::string StoredOutputFolder(const QString& field);

}  // namespace quelt
