#include <gtest/gtest.h>

#include <set>

#include "core/jobs/component_error.h"
#include "core/rip/genre_list.h"

namespace quelt {
namespace {

TEST(GenreList, NamesTheId3v1GenresByTheirNumbers) {
    auto genres = CreateGenreList();
    EXPECT_EQ(genres->Count(), 148);
    EXPECT_EQ(genres->GenreName(0), "Blues");
    EXPECT_EQ(genres->GenreName(147), "Synthpop");
    std::set<std::string> distinct;
    for (int i = 0; i < kGenreCount; ++i) distinct.insert(genres->GenreName(i));
    EXPECT_EQ(distinct.size(), 148u);
}

TEST(GenreList, RefusesNumbersOutsideTheList) {
    auto genres = CreateGenreList();
    EXPECT_THROW(genres->GenreName(-1), ComponentError);
    EXPECT_THROW(genres->GenreName(148), ComponentError);
    EXPECT_EQ(Id3GenreName(148), "");
    EXPECT_EQ(Id3GenreName(13), "Pop");
}

}  // namespace
}  // namespace quelt
