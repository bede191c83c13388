// The ripper page's track list: its look (columns, fonts, colours, row images) and keeping
// its items in step with the Disc model's rows. Each item holds the row number, artist,
// title and duration in columns 0..3, the row's check box and image 0 in column 0, and the
// item value (session x 100 + track) as Qt::UserRole data of column 0.
// Threading: GUI thread only.
#pragma once

#include <vector>

#include "core/rip/disc.h"

class QTreeWidget;

namespace quelt {

inline constexpr int kItemValueRole = 0x0100;  // Qt::UserRole

void SetUpTrackList(QTreeWidget& list);

// Makes the list show `rows`: items are added or removed to match the count, then every
// item's texts, check box and item value are set. Selection and scrolling stay as they
// are when the count did not change. The caller blocks the list's signals.
void SyncTrackRows(QTreeWidget& list, const std::vector<TrackRow>& rows);

// Sets only the check boxes (rows the list lacks are ignored).
void ApplyCheckMarks(QTreeWidget& list, const std::vector<bool>& checked);

}  // namespace quelt
