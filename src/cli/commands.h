// The quelt-cli commands. Each takes the words after its name and returns the exit status:
// 0 every item done, 1 an item failed, 2 bad usage or input, 3 nothing to do, 130 Ctrl-C
// (143 SIGTERM, 129 SIGHUP: see cli/interrupt.h).
#pragma once

#include <string>
#include <vector>

namespace quelt::cli {

using Args = std::vector<std::string>;

enum ExitStatus { kExitOk = 0, kExitFailed = 1, kExitUsage = 2, kExitNothingToDo = 3, kExitCancelled = 130 };

int RunFormats(const Args& args);
int RunPresets(const Args& args);
int RunSettings(const Args& args);
int RunInfo(const Args& args);
int RunConvert(const Args& args);
int RunDrives(const Args& args);
int RunDisc(const Args& args);
int RunRip(const Args& args);
int RunOffset(const Args& args);
int RunWriters(const Args& args);
int RunBurn(const Args& args);
int RunPlay(const Args& args);

}  // namespace quelt::cli
