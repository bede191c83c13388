// The settings file reader on arbitrary bytes: the index must agree with itself, and a value
// stored must read back (cut to the profile limit) without disturbing the other sections.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "core/settings/profile_file.h"

using quelt::ProfileText;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    ProfileText text(bytes);
    const auto sections = text.Sections();
    for (const auto& section : sections)
        for (const auto& [key, value] : text.Entries(section))
            if (text.Find(section, key) != value) std::abort();

    // A rewrite with a value of its own, then a fresh read of the written text.
    const std::string value(bytes.substr(0, 40));
    text.Store({{"CDRIP", "OutputDirectory", value}});
    ProfileText reread(text.Text());
    const auto found = reread.Find("cdrip", "outputdirectory");
    if (!found) std::abort();
    if (reread.Sections().size() < sections.size()) std::abort();
    quelt::ParseDecimalInt(bytes);
    return 0;
}
