// Placeholder until this command group is built.
#include <cstdio>

#include "cli/commands.h"

namespace quelt::cli {

int RunInfo(const Args&) {
    std::fputs("quelt-cli: this command is not available yet\n", stderr);
    return kExitUsage;
}

int RunConvert(const Args&) {
    std::fputs("quelt-cli: this command is not available yet\n", stderr);
    return kExitUsage;
}

}  // namespace quelt::cli
