// Placeholder until this command group is built.
#include <cstdio>

#include "cli/commands.h"

namespace quelt::cli {

int RunSettings(const Args&) {
    std::fputs("quelt-cli: this command is not available yet\n", stderr);
    return kExitUsage;
}

}  // namespace quelt::cli
