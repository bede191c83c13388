#include "gui/app/command_line.h"

#include <cstring>
#include <filesystem>

#include "quelt_version.h"

namespace quelt {

namespace {

// Options QApplication reads itself that take a value in the next word.
constexpr const char* kQtValueOptions[] = {
    "-platform", "-platformpluginpath", "-platformtheme", "-plugin", "-qwindowgeometry",
    "-qwindowicon", "-qwindowtitle", "-style", "-stylesheet", "-display", "-geometry",
    "-session", "-name", "-title", "-visual"};

// Options QApplication reads itself that stand alone.
constexpr const char* kQtFlags[] = {"-reverse", "-nograb", "-dograb", "-sync", "-widgetcount"};

// Qt takes its options with one dash or two.
template <size_t N>
bool IsQtOption(const char* word, const char* const (&options)[N]) {
    if (word[0] == '-' && word[1] == '-') ++word;
    for (const char* option : options)
        if (!std::strcmp(word, option)) return true;
    return false;
}

std::string Absolute(const std::string& path) {
    std::error_code ec;
    const std::filesystem::path absolute = std::filesystem::absolute(path, ec);
    return ec ? path : absolute.lexically_normal().string();
}

}  // namespace

GuiCommandLine ParseGuiCommandLine(int argc, char** argv) {
    GuiCommandLine line;
    bool optionsEnded = false;
    for (int i = 1; i < argc; ++i) {
        const char* word = argv[i];
        if (optionsEnded || word[0] != '-' || !word[1]) {
            line.files.push_back(Absolute(word));
        } else if (!std::strcmp(word, "--")) {
            optionsEnded = true;
        } else if (!std::strcmp(word, "--help") || !std::strcmp(word, "-h")) {
            line.help = true;
        } else if (!std::strcmp(word, "--version") || !std::strcmp(word, "-v")) {
            line.version = true;
        } else if (IsQtOption(word, kQtValueOptions)) {
            ++i;  // the option's value is Qt's, not a file
        } else if (word[1] == '-' && !IsQtOption(word, kQtFlags) && line.error.empty()) {
            line.error = std::string("unknown option ") + word;
        }
    }
    return line;
}

std::string GuiHelpText() {
    return "Usage: quelt [OPTION]... [FILE]...\n"
           "Rips audio CDs, converts audio files between 13 formats and burns audio and data\n"
           "CDs, in one window with a CD Ripper, a Converter and a CD Burner page.\n"
           "\n"
           "Audio files given as FILE go to the converter page (or to the burner page when\n"
           "it is showing); a disc image (.cue, .toc, .nrg) opens in the ripper page. One\n"
           "copy runs per session: a second start hands its files to the running window,\n"
           "brings that window to the front and ends.\n"
           "\n"
           "Options:\n"
           "  -h, --help       show this help and exit\n"
           "  -v, --version    show the version and the licence and exit\n"
           "\n"
           "Qt's own options (such as -platform NAME or -style NAME) are accepted too.\n"
           "Settings are kept in $XDG_CONFIG_HOME/quelt/zqrprocfg.cfg; quelt-cli runs the\n"
           "same jobs without windows.\n";
}

std::string GuiVersionText() {
    return "quelt (Quelt CD Ripper Pro) " QUELT_VERSION "\n" QUELT_LICENSE_NOTICE;
}

}  // namespace quelt
