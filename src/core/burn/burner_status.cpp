#include "core/burn/burner_status.h"

#include <algorithm>
#include <cstdio>

namespace quelt {

WriterList StartBurner(BurnerLibrary& library, const BurnerResultSink& sink) {
    ReportBurnerResult(library, library.Initialize(), sink);
    ReportBurnerResult(library, library.CreateProject(kAudioCdProject), sink);
    BurnOptions options;
    ReportBurnerResult(library, library.GetOptions(options), sink);
    ReportBurnerResult(library, library.SetOptions(options), sink);
    DeviceTable table;
    int32_t count = 0;
    ReportBurnerResult(library, library.GetDevices(table, count), sink);
    WriterList list;
    // The count comes back apart from the table: never trust it beyond the texts that are
    // there, nor beyond the table's capacity.
    const int32_t listed =
        std::min<int32_t>({count, int32_t(table.texts.size()), int32_t(DeviceTable::kCapacity)});
    if (listed > 0) {
        list.writerCount = listed;
        list.entries.assign(table.texts.begin(), table.texts.begin() + listed);
        ReportBurnerResult(library, library.SetDevice(list.entries.front()), sink);
    } else {
        list.entries = {kNoCdBurnerEntry};
    }
    return list;
}

MediumLines ShowMedium(BurnerLibrary& library, int writerCount, const BurnerResultSink& sink) {
    const MediumLines none{kNoMediumText, std::string(" "), std::string("0")};
    if (writerCount <= 0) return none;
    MediumInformation info;
    ReportBurnerResult(library, library.GetMediumInformation(info), sink);
    if (!info.HasMedium()) return none;
    MediumLines lines;
    lines.type = info.typeText;
    static const char* const kStates[] = {"Empty Disc", "Incomplete Disc", "Complete Disc"};
    if (info.discState >= 0 && info.discState <= 2) {
        lines.state = kStates[info.discState];
        char size[64];
        std::snprintf(size, sizeof size, "%.2fMB", info.sizeBytes / 1048576.0);
        lines.size = size;
    }
    return lines;
}

bool IsWritableMedium(BurnerLibrary& library, int writerCount, const BurnerResultSink& sink) {
    if (writerCount <= 0) return false;
    MediumInformation info;
    ReportBurnerResult(library, library.GetMediumInformation(info), sink);
    return info.HasMedium() && info.discState == kDiscEmpty;
}

}  // namespace quelt
