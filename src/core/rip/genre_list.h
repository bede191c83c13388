// The genre names that fill every genre box: the 148 ID3v1 genres, numbered 0 to 147 as
// ID3v1 tags and the Winamp extensions number them.
#pragma once

#include <memory>
#include <string>

namespace quelt {

inline constexpr int kGenreCount = 148;

// The genre list component. Safe to call from any thread (the names are constant).
class GenreList {
public:
    virtual ~GenreList() = default;
    // The name of genre `index` (0..kGenreCount-1); throws ComponentError outside that range.
    virtual std::string GenreName(int index) const = 0;
    int Count() const { return kGenreCount; }
};

// The table-backed implementation.
std::unique_ptr<GenreList> CreateGenreList();

// The same names without a component object: "" outside 0..kGenreCount-1.
std::string Id3GenreName(int index);

}  // namespace quelt
