// Turning a disc record that libcddb parsed from a CDDB reply into a FreedbEntry: every text
// cleaned as untrusted input, "Artist / Title" splits kept only on various-artists discs.
#pragma once

#include <cddb/cddb.h>

#include "core/rip/freedb_info.h"

namespace quelt {

// Fills `entry` from `disc` for a disc of `trackCount` tracks. False (and `entry` empty) when
// the record holds no text at all, as a reply the library could not parse leaves it.
bool EntryFromCddbDisc(cddb_disc_t* disc, int trackCount, FreedbEntry& entry);

}  // namespace quelt
