// Diagnostics of the CD components (libcdio and libcddb warnings, look-up failures). They
// are not the progress window's log: by default they go to stderr only when
// QUELT_CD_DEBUG is set; a front end may route them elsewhere.
#pragma once

#include <functional>
#include <string>

namespace quelt {

void RipLog(const std::string& text);
// Replaces where RipLog writes; nullptr restores the default. Thread-safe.
void SetRipLogSink(std::function<void(const std::string&)> sink);

}  // namespace quelt
