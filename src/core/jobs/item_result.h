// What a job did with each item of its list (a file to convert or burn, a checked track to
// rip): the same four outcomes for every job, so a front end can tell the user which items
// need another try, and why.
#pragma once

#include <algorithm>
#include <string>
#include <vector>

namespace quelt {

enum class ItemState {
    kCancelled,  // a cancel stopped it, or came before it was reached
    kDone,       // its output is complete
    kSkipped,    // passed over by a rule the user chose (an existing output kept)
    kFailed,     // it could not be done; `reason` says why
};

struct ItemResult {
    std::string item;  // the source path, or the track's number as the log shows it
    ItemState state = ItemState::kCancelled;
    std::string reason;  // the line the log shows for a failed or skipped item
};

// One result per item, in list order; each starts as cancelled until the job concludes it.
inline std::vector<ItemResult> PendingItems(const std::vector<std::string>& names) {
    std::vector<ItemResult> items(names.size());
    for (size_t i = 0; i < names.size(); ++i) items[i].item = names[i];
    return items;
}

inline int CountItems(const std::vector<ItemResult>& items, ItemState state) {
    return static_cast<int>(std::count_if(
        items.begin(), items.end(), [state](const ItemResult& r) { return r.state == state; }));
}

}  // namespace quelt
