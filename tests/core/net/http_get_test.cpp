// HttpGet against the tests' web server on 127.0.0.1: the body arrives whole, redirects are
// followed, and each way an exchange can go wrong ends with its own outcome and a sentence.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "core/net/http_get.h"
#include "support/fixtures.h"
#include "support/http_server.h"

namespace quelt {
namespace {

using namespace std::chrono_literals;

class HttpGetTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string bytes;
        for (int i = 0; i < 70000; ++i) bytes.push_back(static_cast<char>(i * 7 % 256));
        std::filesystem::create_directories(root_.path() / "files");
        ASSERT_TRUE(test::WriteFile(root_.File("files/data.bin"), bytes));
        served_ = bytes;
        ASSERT_TRUE(server_.running());
    }
    HttpRequest Request(const std::string& path) {
        HttpRequest request;
        request.url = server_.Url(path);
        return request;
    }

    test::ScratchDir root_;
    test::HttpServer server_{root_.path().string()};
    std::string served_;
};

TEST_F(HttpGetTest, BinaryBodyArrivesWholeDirectlyAndThroughARedirect) {
    HttpReply direct = HttpGet(Request("/files/data.bin"));
    ASSERT_EQ(direct.outcome, HttpOutcome::Ok) << direct.error;
    EXPECT_EQ(direct.status, 200);
    EXPECT_EQ(direct.body, served_);

    HttpReply redirected = HttpGet(Request("/redirect?to=/files/data.bin"));
    ASSERT_EQ(redirected.outcome, HttpOutcome::Ok) << redirected.error;
    EXPECT_EQ(redirected.body, served_);
    EXPECT_NE(server_.RequestLog().find("GET /redirect\nGET /files/data.bin"), std::string::npos);
}

TEST_F(HttpGetTest, FailuresEndWithTheirOwnOutcomeAndSayWhatHappened) {
    HttpReply missing = HttpGet(Request("/files/none.bin"));
    EXPECT_EQ(missing.outcome, HttpOutcome::HttpError);
    EXPECT_EQ(missing.status, 404);
    EXPECT_NE(missing.error.find("HTTP status 404"), std::string::npos) << missing.error;

    HttpRequest capped = Request("/files/data.bin");
    capped.maxBytes = 64 * 1024;
    HttpReply large = HttpGet(capped);
    EXPECT_EQ(large.outcome, HttpOutcome::TooLarge);
    EXPECT_NE(large.error.find("larger than 64 KiB"), std::string::npos) << large.error;

    HttpRequest endless = Request("/endless");
    endless.maxBytes = 16 * 1024;
    EXPECT_EQ(HttpGet(endless).outcome, HttpOutcome::TooLarge);

    HttpRequest silent = Request("/silent");
    silent.deadline = 1s;
    HttpReply late = HttpGet(silent);
    EXPECT_EQ(late.outcome, HttpOutcome::TimedOut);
    EXPECT_NE(late.error.find("within 1 second"), std::string::npos) << late.error;

    HttpRequest refused;
    refused.url = "http://127.0.0.1:" + std::to_string(test::UnusedLoopbackPort()) + "/x";
    HttpReply closed = HttpGet(refused);
    EXPECT_EQ(closed.outcome, HttpOutcome::Failed);
    EXPECT_NE(closed.error.find("Could not fetch"), std::string::npos) << closed.error;

    HttpRequest file;
    file.url = "file:///etc/passwd";
    EXPECT_EQ(HttpGet(file).outcome, HttpOutcome::Failed);
}

TEST_F(HttpGetTest, CancelStopsATransferThatWouldNeverEnd) {
    std::atomic<bool> cancel{false};
    HttpRequest request = Request("/endless");
    request.deadline = 600s;
    request.maxBytes = std::size_t(1) << 40;
    request.cancel = &cancel;
    std::thread canceller([&] {
        std::this_thread::sleep_for(300ms);
        cancel = true;
    });
    HttpReply reply = HttpGet(request);
    canceller.join();
    EXPECT_EQ(reply.outcome, HttpOutcome::Cancelled);
    EXPECT_EQ(reply.error, "Cancelled");
}

}  // namespace
}  // namespace quelt
