// The burner's temporary WAV files ("01.wav", "02.wav", ... in BurnTempFolder()) live only
// while their burn runs. A burn holds the folder while its files exist (a shared lock on
// the folder's ".lock" file, which the kernel drops when the process dies), so the clean-up
// at the next start removes what a crashed burn left without touching a running one's.
#pragma once

#include <string>
#include <vector>

namespace quelt {

// Holds `folder` for one burn; released by the destructor. Creates the folder when missing.
class BurnTempFolderHold {
  public:
    explicit BurnTempFolderHold(const std::string& folder);
    ~BurnTempFolderHold();
    BurnTempFolderHold(const BurnTempFolderHold&) = delete;
    BurnTempFolderHold& operator=(const BurnTempFolderHold&) = delete;

  private:
    int fd_ = -1;
};

// Whether `name` is one of the burner's temporary files (digits, then ".wav") or the
// unfinished form of one (".01.wav.xxxxxx.part").
bool IsBurnTempFileName(const std::string& name);

// Removes the given files; missing ones are no error.
void RemoveBurnTempFiles(const std::vector<std::string>& paths);

// Removes every temporary file of `folder` unless a burn holds it. Returns how many went.
int RemoveLeftoverBurnTempFiles(const std::string& folder);

}  // namespace quelt
