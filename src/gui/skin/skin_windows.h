// The window numbers of the skinned windows. Each is defined in the skin's "Resource.h",
// whose name for it is the window's section in the skin description.
#pragma once

namespace quelt {

inline constexpr int kMainWindowNumber = 1000;      // the main window ("IDD_MAIN")
inline constexpr int kRipPageNumber = 2001;         // the CD ripper page ("IDD_PAGE_CDRIP")
inline constexpr int kConvertPageNumber = 2002;     // the file converter page ("IDD_PAGE_CONVERT")
inline constexpr int kBurnPageNumber = 2003;        // the CD burner page ("IDD_PAGE_CDBURN")
inline constexpr int kProgressWindowNumber = 2004;  // reserved for a skin of the progress window
                                                    // (the zqr skin has none: kNoSection)

// Where the main window places every page, in its client pixels.
inline constexpr int kPageLeft = 6;
inline constexpr int kPageTop = 62;
inline constexpr int kPageWidth = 587;
inline constexpr int kPageHeight = 212;

}  // namespace quelt
