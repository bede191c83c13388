// Priority and closing sounds. Both change process-wide state, so each case runs in a child
// process of its own.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <fstream>
#include <functional>
#include <iterator>
#include <thread>

#include "core/jobs/priority.h"
#include "core/playback/closing_sound.h"
#include "support/disc_images.h"
#include "support/fixtures.h"
#include "support/probe.h"

namespace quelt::test {
namespace {

using namespace std::chrono_literals;

// Runs `body` in a forked child and returns its exit status (-1 when it did not exit).
int InChild(const std::function<int()>& body) {
    pid_t pid = fork();
    if (pid == 0) {
        int code = body();
        std::exit(code);  // flushes stdio, as a program ending normally would
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

int NiceOf(pid_t tid) {
    errno = 0;
    return getpriority(PRIO_PROCESS, static_cast<id_t>(tid));
}

pid_t ThisThread() { return static_cast<pid_t>(syscall(SYS_gettid)); }

// Runs `body` on a thread of its own and returns what it returned.
int OnNewThread(const std::function<int()>& body) {
    int result = 0;
    std::thread([&] { result = body(); }).join();
    return result;
}

// A job's worker takes the priority; the thread that started it (the window's) and the
// process's other threads (an audio thread) keep theirs, and the worker's own threads
// inherit it.
TEST(Priority, ChangesTheCallingThreadAndItsLaterThreadsOnly) {
    int code = InChild([] {
        std::atomic<pid_t> audioTid{0};
        std::atomic<bool> done{false};
        std::thread audio([&] {
            audioTid = ThisThread();
            while (!done) std::this_thread::sleep_for(1ms);
        });
        while (audioTid == 0) std::this_thread::sleep_for(1ms);
        const int before = NiceOf(0);
        int result = OnNewThread([&] {
            ApplyPriorityToThisThread(Priority::kIdle);  // idle
            if (NiceOf(ThisThread()) != 19) return 1;
            if (OnNewThread([] { return NiceOf(ThisThread()); }) != 19) return 2;
            ApplyPriorityToThisThread(Priority{0});  // unknown: unchanged
            ApplyPriorityToThisThread(Priority{5});
            if (NiceOf(ThisThread()) != 19) return 3;
            return 0;
        });
        if (!result && (NiceOf(0) != before || NiceOf(audioTid) != before)) result = 4;
        if (!result && OnNewThread([] { return NiceOf(ThisThread()); }) != before) result = 5;
        if (!result && geteuid() == 0)
            result = OnNewThread([] {
                ApplyPriorityToThisThread(Priority::kRealtime);  // real-time, allowed for root
                if (NiceOf(ThisThread()) != -10) return 6;
                ApplyPriorityToThisThread(Priority::kHigh);
                return NiceOf(ThisThread()) == -5 ? 0 : 7;
            });
        done = true;
        audio.join();
        return result;
    });
    EXPECT_EQ(code, 0);
}

// Without privileges a raise is refused and ignored, and a job at idle never leaves the
// next one stuck there: each worker starts from the window thread's value.
TEST(Priority, ARefusalIsIgnoredAndIdleIsNeverStuck) {
    int code = InChild([] {
        if (geteuid() == 0 && setuid(65534) != 0) return 10;
        const int before = NiceOf(0);
        int result = OnNewThread([&] {
            ApplyPriorityToThisThread(
                Priority::kRealtime);  // needs privileges the process does not have
            return NiceOf(ThisThread()) == before ? 0 : 1;
        });
        if (!result)
            result = OnNewThread([] {
                ApplyPriorityToThisThread(Priority::kIdle);
                return NiceOf(ThisThread()) == 19 ? 0 : 2;
            });
        if (!result)
            result = OnNewThread([&] {
                ApplyPriorityToThisThread(Priority::kNormal);  // normal again
                return NiceOf(ThisThread()) == before ? 0 : 3;
            });
        return result;
    });
    EXPECT_EQ(code, 0);
}

TEST(ClosingSound, TheTwoSoundsAreShortAndDifferent) {
    const std::string done = ClosingSoundPath(true), fail = ClosingSoundPath(false);
    for (const std::string& path : {done, fail}) {
        const AudioProbe probe = ProbeAudio(path);
        const int64_t frames = DecodedFrames(path, probe.channels);
        EXPECT_GT(frames, probe.sampleRate * 3 / 10) << path;
        EXPECT_LT(frames, probe.sampleRate * 2) << path;
    }
    EXPECT_NE(DecodePcm(done), DecodePcm(fail));
}

TEST(ClosingSound, PlaysTheSoundToItsEnd) {
    ScratchDir dir;
    std::string raw = dir.File("played.raw");
    std::vector<int16_t> expected = DecodePcm(ClosingSoundPath(false));
    ASSERT_FALSE(expected.empty());
    int code = InChild([&] {
        setenv("SDL_AUDIODRIVER", "disk", 1);
        setenv("SDL_DISKAUDIOFILE", raw.c_str(), 1);
        setenv("SDL_DISKAUDIODELAY", "0", 1);
        PlayClosingSound(false);
        if (!WaitForClosingSound(std::chrono::seconds(60))) return 2;
        // The device keeps writing (silence after the sound): wait until the file holds the
        // whole sound and more, with a generous guard.
        for (int i = 0; i < 2000; ++i) {
            struct stat st {};
            if (stat(raw.c_str(), &st) == 0 &&
                st.st_size > static_cast<off_t>(expected.size() * 2 + (1 << 20)))
                return 0;
            std::this_thread::sleep_for(10ms);
        }
        return 1;
    });
    ASSERT_EQ(code, 0);
    EXPECT_TRUE(PlayedExactly(ReadRawPcm(raw), expected));
}

// Run with an unknown driver, and with SDL's own choice (on a machine without a sound card
// that ends in ALSA, whose library would print errors of its own).
class ClosingSoundWithoutDevice : public ::testing::TestWithParam<const char*> {};

TEST_P(ClosingSoundWithoutDevice, NothingIsPlayedOrSaid) {
    ScratchDir dir;
    std::string errors = dir.File("stderr.txt");
    const char* driver = GetParam();
    int code = InChild([&] {
        int fd = open(errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        dup2(fd, 2);
        if (*driver)
            setenv("SDL_AUDIODRIVER", driver, 1);
        else
            unsetenv("SDL_AUDIODRIVER");
        PlayClosingSound(true);
        PlayClosingSound(false);
        return 0;
    });
    EXPECT_EQ(code, 0);
    std::ifstream file(errors);
    std::string said((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    EXPECT_EQ(said, "");
}

INSTANTIATE_TEST_SUITE_P(Drivers, ClosingSoundWithoutDevice,
                         ::testing::Values("no-such-driver", ""));

}  // namespace
}  // namespace quelt::test
