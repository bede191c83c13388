#include "cli/console.h"

#include <unistd.h>

#include <cstdio>

#include "core/naming/untrusted_text.h"
#include "core/playback/closing_sound.h"

namespace quelt::cli {

ConsoleReport::ConsoleReport(long long totalAudioMs)
    : terminal_(isatty(STDERR_FILENO) == 1), clock_(totalAudioMs) {}

ConsoleReport::~ConsoleReport() { Finish(); }

void ConsoleReport::Log(const std::string& text) {
    std::lock_guard lock(mutex_);
    Clear();
    std::printf("%s\n", TerminalText(text).c_str());
    std::fflush(stdout);
    Draw();
}

void ConsoleReport::SetItemBar(int percent) {
    std::lock_guard lock(mutex_);
    item_ = percent;
    Draw();
}

void ConsoleReport::SetTotalBar(int percent) {
    std::lock_guard lock(mutex_);
    total_ = percent;
    Draw();
}

void ConsoleReport::SetCounterLine(const std::string& text) {
    std::lock_guard lock(mutex_);
    counter_ = TerminalText(text);
    Draw();
}

void ConsoleReport::Finish() {
    std::lock_guard lock(mutex_);
    Clear();
}

void ConsoleReport::Draw() {
    if (!terminal_) return;
    constexpr int kWidth = 20;
    std::string bar(kWidth, '-');
    for (int i = 0; i < kWidth * item_ / 100 && i < kWidth; ++i) bar[i] = '#';
    std::fprintf(stderr, "\r\033[K%s%s[%s] %3d%%  total %3d%%%s", counter_.c_str(),
                 counter_.empty() ? "" : "  ", bar.c_str(), item_, total_,
                 clock_.Describe(total_).c_str());
    std::fflush(stderr);
    drawn_ = true;
}

void ConsoleReport::Clear() {
    if (!drawn_) return;
    std::fputs("\r\033[K", stderr);
    drawn_ = false;
}

bool ConsolePrompter::AskYesNo(const std::string&, const std::string& text) {
    std::fprintf(stderr, "%s%s %s\n", prefix_.c_str(), text.c_str(), answer_ ? "Yes" : "No");
    return answer_;
}

void ConsolePrompter::ShowMessage(const std::string&, const std::string& text) {
    std::fprintf(stderr, "%s%s\n", prefix_.c_str(), text.c_str());
    shown_ = true;
}

ConsoleClosingSound::ConsoleClosingSound() : terminal_(isatty(STDOUT_FILENO) == 1) {}

ConsoleClosingSound::~ConsoleClosingSound() {
    if (terminal_) WaitForClosingSound();
}

std::function<void(bool)> ConsoleClosingSound::sound() const {
    if (!terminal_) return {};
    return [](bool done) { PlayClosingSound(done); };
}

}  // namespace quelt::cli
