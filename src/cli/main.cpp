// quelt-cli: the program's jobs without windows.
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>

#include "cli/commands.h"
#include "quelt_version.h"

namespace {

using quelt::cli::Args;

struct Command {
    const char* name;
    int (*run)(const Args&);
};

constexpr Command kCommands[] = {
    {"formats", quelt::cli::RunFormats},   {"presets", quelt::cli::RunPresets},
    {"settings", quelt::cli::RunSettings}, {"info", quelt::cli::RunInfo},
    {"convert", quelt::cli::RunConvert},   {"drives", quelt::cli::RunDrives},
    {"disc", quelt::cli::RunDisc},         {"rip", quelt::cli::RunRip},
    {"writers", quelt::cli::RunWriters},   {"burn", quelt::cli::RunBurn},
    {"offset", quelt::cli::RunOffset},
    {"play", quelt::cli::RunPlay},
};

constexpr const char* kUsage = R"(Usage: quelt-cli COMMAND [OPTIONS] [ARGS]

Commands:
  formats | presets             the 16 formats and 69 presets, "ROW<TAB>LABEL"
  info FILE...                  duration and tags of each file
  convert [OPTIONS] FILE...     convert audio files
  drives                        CD drives (and disc images given with --drive)
  disc [--drive D] [FREEDB]     the track list of a disc
  rip [--drive D] [--tracks 1,3-5] [OPTIONS] [FREEDB]
                                rip the checked tracks of a disc
  offset [--drive D] [--save]   find the drive's read offset with a disc AccurateRip knows
  writers                       CD writers, the image writer last
  burn [--writer W] [--data] [--image FILE] [OPTIONS] FILE...
                                burn files to a CD or an image
  play FILE | --drive D --track N [--start SECONDS]
                                play a file or a disc track (Ctrl-C stops)
  settings list | get SECTION KEY | set SECTION KEY VALUE

Common options: --format ROW|EXT, --preset ROW|LABEL, --output-dir DIR,
  --name-template N, --metadata / --no-metadata
Convert: --if-exists new|overwrite|skip, --delete-source, --jobs N, --replaygain
Rip: --custom-pattern P, --m3u, --eject, --lock-tray, --case 1..4, --replaygain,
  --accuraterip, --accuraterip-server URL, --offset N, --log, --cue
FreeDB: --freedb / --no-freedb, --server N|HOST, --port P, --proxy HOST:PORT, --timeout T
Burn: --label TEXT, --test-mode, --no-finalize, --eject, --overwrite
A drive is a device path, a disc image (.cue, .toc, .nrg) or "demo".
Run "quelt-cli COMMAND --help" for the options of one command;
"quelt-cli --version" shows the version and the licence.

Exit status: 0 done, 1 an item failed, 2 bad usage or input, 3 nothing to do,
130 cancelled by Ctrl-C, 143 by SIGTERM, 129 by SIGHUP.
)";

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fputs("quelt-cli: a command is needed (see quelt-cli --help)\n", stderr);
        return quelt::cli::kExitUsage;
    }
    if (!std::strcmp(argv[1], "--help") || !std::strcmp(argv[1], "-h") ||
        !std::strcmp(argv[1], "help")) {
        std::fputs(kUsage, stdout);
        return quelt::cli::kExitOk;
    }
    if (!std::strcmp(argv[1], "--version") || !std::strcmp(argv[1], "-v")) {
        std::fputs("quelt-cli (Quelt CD Ripper Pro) " QUELT_VERSION "\n" QUELT_LICENSE_NOTICE, stdout);
        return quelt::cli::kExitOk;
    }
    Args args(argv + 2, argv + argc);
    for (const auto& command : kCommands)
        if (std::string(argv[1]) == command.name) return command.run(args);
    std::fprintf(stderr, "quelt-cli: unknown command \"%s\" (see quelt-cli --help)\n", argv[1]);
    return quelt::cli::kExitUsage;
}
