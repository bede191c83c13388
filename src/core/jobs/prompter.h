// Questions and messages for the user. The GUI shows message boxes; the command line and
// tests answer from a script.
#pragma once

#include <string>

namespace quelt {

class Prompter {
public:
    virtual ~Prompter() = default;
    virtual bool AskYesNo(const std::string& caption, const std::string& text) = 0;
    virtual void ShowMessage(const std::string& caption, const std::string& text) = 0;
};

inline constexpr const char* kRipCaption = "Quelt CD Ripper Pro - Audio CD Ripper";
inline constexpr const char* kConvertCaption = "Quelt CD Ripper Pro - Audio File Converter";
inline constexpr const char* kBurnCaption = "Quelt CD Ripper Pro - Audio CD Burner";

}  // namespace quelt
