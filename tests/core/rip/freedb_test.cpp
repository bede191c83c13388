#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "core/naming/untrusted_text.h"
#include "core/rip/freedb_info.h"
#include "support/cddb_server.h"
#include "support/fixtures.h"

namespace quelt {
namespace {

using test::CddbServer;

DiscToc TocOf(const std::vector<int>& sectors) {
    DiscToc toc;
    int32_t position = 150;
    for (int s : sectors) {
        toc.trackOffsets.push_back(position);
        position += s;
    }
    toc.leadOut = position;
    return toc;
}

// The layouts the entries under tests/fixtures/cddb were written for.
const std::vector<int> kExact = {150, 225, 190};
const std::vector<int> kVarious = {160, 170, 180, 190};
const std::vector<int> kUtf8 = {300, 200};
const std::vector<int> kSlashes = {150, 150, 150, 150, 150};
const std::vector<int> kUnknown = {400, 200};
const std::vector<int> kHostile = {450, 160};
const std::vector<int> kEmptyFields = {225, 225, 225};
const std::vector<int> kOversize = {300, 300, 300, 300};

bool IsClean(const std::string& text) { return CleanUntrustedText(text, 1 << 20) == text; }

class FreedbLookup : public ::testing::Test {
protected:
    void SetUp() override {
        // libcddb keeps its cache under HOME unless told not to; point HOME at a scratch folder
        // to see that nothing is written there.
        const char* home = std::getenv("HOME");
        savedHome_ = home ? home : "";
        setenv("HOME", home_.path().c_str(), 1);
        info_->SetTimeOut(5000);
    }
    void TearDown() override {
        EXPECT_FALSE(std::filesystem::exists(home_.path() / ".cddbslave")) << "a cache was written";
        setenv("HOME", savedHome_.c_str(), 1);
    }

    int Lookup(const std::vector<int>& sectors, FreedbEntry& entry) {
        std::vector<int> progress;
        int status = info_->Lookup(TocOf(sectors), [&](int s) { progress.push_back(s); }, entry);
        EXPECT_EQ(progress, (std::vector<int>{kFreedbConnecting, kFreedbQuerying}));
        return status;
    }

    test::ScratchDir home_;
    std::string savedHome_;
    std::unique_ptr<FreedbInfo> info_ = CreateFreedbInfo();
};

TEST_F(FreedbLookup, FillsTheEntryOfAnExactMatch) {
    CddbServer server;
    ASSERT_TRUE(server.running());
    info_->SetCustomServer(server.host());
    FreedbEntry entry;
    ASSERT_EQ(Lookup(kExact, entry), kFreedbFound);
    EXPECT_EQ(entry.artist, "The Test Pilots");
    EXPECT_EQ(entry.album, "Loopback Sessions");
    EXPECT_EQ(entry.genre, "Post-Rock");
    EXPECT_EQ(entry.year, 1999);
    EXPECT_EQ(entry.trackTitles, (std::vector<std::string>{"first light", "Second Wind", "Third Rail"}));
    EXPECT_EQ(entry.trackArtists, std::vector<std::string>(3, "The Test Pilots"));
    const std::string log = server.RequestLog();
    EXPECT_NE(log.find("DIRECT path=/~cddb/cddb.cgi proto=6 cmd=cddb query 0d000703 3 150 300 525"),
              std::string::npos) << log;
    EXPECT_NE(log.find("cmd=cddb read rock 0d000703"), std::string::npos) << log;
}

// The other entries of the test server: a various-artists disc, UTF-8 text, hostile bytes,
// an unknown disc and an entry without text.
TEST_F(FreedbLookup, ReadsEachKindOfEntryAndCleansHostileBytes) {
    CddbServer server;
    ASSERT_TRUE(server.running());
    info_->SetCustomServer(server.host());
    FreedbEntry entry;
    ASSERT_EQ(Lookup(kVarious, entry), kFreedbFound);
    EXPECT_EQ(entry.artist, "Various");
    EXPECT_EQ(entry.album, "Summer Sampler");
    EXPECT_EQ(entry.genre, "misc") << "no DGENRE: the category";
    EXPECT_EQ(entry.trackArtists, (std::vector<std::string>{"Anna Ek", "Bo Lind", "Cleo Ray", "Dan Obi"}));
    EXPECT_EQ(entry.trackTitles,
              (std::vector<std::string>{"Harbour Song", "Night Train", "Paper Moon", "Last Call"}));

    entry = {};
    ASSERT_EQ(Lookup(kUtf8, entry), kFreedbFound);
    EXPECT_EQ(entry.artist, "Sigur Rós");
    EXPECT_EQ(entry.album, "Ágætis byrjun");
    EXPECT_EQ(entry.trackTitles.at(1), "Ný batterí – 東京");

    entry = {};
    ASSERT_EQ(Lookup(kHostile, entry), kFreedbFound);
    for (const auto& text : {entry.artist, entry.album, entry.genre}) EXPECT_TRUE(IsClean(text)) << text;
    for (const auto& text : entry.trackTitles) EXPECT_TRUE(IsClean(text)) << text;
    EXPECT_EQ(entry.trackTitles.at(0).find('\x1b'), std::string::npos);
    EXPECT_GE(entry.year, 0);
    EXPECT_LE(entry.year, 9999);

    entry = {};
    EXPECT_EQ(Lookup(kUnknown, entry), kFreedbNotFound);
    EXPECT_EQ(Lookup(kEmptyFields, entry), kFreedbNotFound);
    EXPECT_TRUE(entry.trackTitles.empty());
}

TEST_F(FreedbLookup, SurvivesOversizedFields) {
    test::ScratchDir roots;
    std::filesystem::create_directories(roots.path() / "soundtrack");
    {
        std::ofstream out(roots.path() / "soundtrack" / "oversized", std::ios::binary);
        const std::string big(200000, 'A');
        out << "# xmcd\n#\n# Track frame offsets:\n#\t150\n#\t450\n#\t750\n#\t1050\n#\n"
            << "# Disc length: 18 seconds\n#\n# Revision: 1\n#\nDISCID=0e001004\nDTITLE=" << big << " / " << big << "\nDYEAR=2010\n";
        for (int i = 0; i < 4; ++i) out << "TTITLE" << i << "=" << big << "\n";
        out << "EXTD=\nEXTT0=\nEXTT1=\nEXTT2=\nEXTT3=\nPLAYORDER=\n";
    }
    CddbServer server("normal", {roots.path().string()});
    info_->SetCustomServer(server.host());
    FreedbEntry entry;
    const int status = Lookup(kOversize, entry);
    EXPECT_TRUE(status == kFreedbFound || status == kFreedbNotFound || status == kFreedbConnectionFailed);
    for (const auto& text : entry.trackTitles) EXPECT_LE(text.size(), kMaxTagBytes);
    EXPECT_LE(entry.artist.size(), kMaxTagBytes);
}

// A refused connection, a server answering garbage and one that never answers all end in
// an outcome, without a crash or a hang.
TEST_F(FreedbLookup, ServersThatCannotAnswerEndInAnOutcome) {
    FreedbEntry entry;
    info_->SetCustomServer("127.0.0.1:" + std::to_string(test::UnusedLoopbackPort()));
    EXPECT_EQ(Lookup(kExact, entry), kFreedbConnectionFailed);
    {
        CddbServer garbage("garbage");
        info_->SetCustomServer(garbage.host());
        const int status = Lookup(kExact, entry);
        EXPECT_TRUE(status == kFreedbConnectionFailed || status == kFreedbNotFound) << status;
    }
    CddbServer silent("silent");
    ASSERT_TRUE(silent.running());
    info_->SetCustomServer(silent.host());
    info_->SetTimeOut(1000);
    EXPECT_EQ(Lookup(kExact, entry), kFreedbConnectionFailed);
}

// A server that sends without end, or keeps its connection open, ties the look-up up only
// as long as the user lets it: a cap on the reply, a cancel flag that works at once.
TEST_F(FreedbLookup, AHugeReplyIsCutOffAtTheCap) {
    CddbServer server("huge");
    ASSERT_TRUE(server.running());
    info_->SetCustomServer(server.host());
    info_->SetTimeOut(600000);
    FreedbEntry entry;
    EXPECT_EQ(Lookup(kExact, entry), kFreedbConnectionFailed);
    EXPECT_TRUE(entry.trackTitles.empty());
}

TEST_F(FreedbLookup, TheCancelFlagEndsALookupAtOnce) {
    CddbServer server("silent");
    ASSERT_TRUE(server.running());
    info_->SetCustomServer(server.host());
    info_->SetTimeOut(600000);
    std::atomic<bool> cancel{false};
    info_->SetCancelFlag(&cancel);
    FreedbEntry entry;
    const int status = info_->Lookup(TocOf(kExact), [&](int s) {
        if (s == kFreedbQuerying) cancel = true;
    }, entry);
    EXPECT_EQ(status, kFreedbConnectionFailed);
    info_->SetCancelFlag(nullptr);
}

TEST_F(FreedbLookup, GoesThroughAnHttpProxy) {
    CddbServer server;
    info_->SetCustomServer("cddb.invalid");
    info_->SetProxy(server.host());
    FreedbEntry entry;
    ASSERT_EQ(Lookup(kExact, entry), kFreedbFound);
    EXPECT_EQ(entry.album, "Loopback Sessions");
    EXPECT_NE(server.RequestLog().find("PROXY"), std::string::npos) << server.RequestLog();
}

TEST_F(FreedbLookup, UsesTheListEntryWithThePortSetting) {
    CddbServer server;
    info_->SetServerIndex(3);  // own mirror on localhost over HTTP
    info_->SetPort(server.port());
    FreedbEntry entry;
    EXPECT_EQ(Lookup(kExact, entry), kFreedbFound);
}

TEST(FreedbServers, ListElevenServersStartingWithGnudb) {
    auto info = CreateFreedbInfo();
    EXPECT_NE(info->ServerName().find("gnudb"), std::string::npos);
    EXPECT_EQ(kFreedbServerCount, 11);
    info->SetServerIndex(10);
    info->SetServerIndex(11);  // indexes outside the list are passed over
    info->SetServerIndex(-1);
    EXPECT_EQ(info->ServerIndex(), 10);
}

}  // namespace
}  // namespace quelt
