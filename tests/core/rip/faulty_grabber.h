// A test-only decorator on CdGrabber that injects what only damaged discs or odd drives
// produce: sectors that stay unreadable, read retries, a failing read, durations no whole
// number of sectors gives, and a hook run before each read round. Everything else goes to
// the real grabber underneath.
#pragma once

#include <functional>
#include <map>
#include <optional>
#include <set>
#include <utility>

#include "core/jobs/component_error.h"
#include "core/rip/cd_grabber.h"

namespace quelt::test {

class FaultyGrabber : public CdGrabber {
public:
    explicit FaultyGrabber(CdGrabber& inner) : inner_(inner) {}

    // Faults, keyed by the 0-based track index within session 0.
    std::map<int, int> unreadableSectors;                 // track -> sectors that stay bad
    std::map<int, std::vector<std::pair<int, int32_t>>> retries;  // track -> (attempt, sector)
    std::set<int> failingReads;                           // ReadBlocks throws on these tracks
    std::map<int, std::tuple<int, int, int>> durations;   // track -> (minutes, seconds, ms)
    std::function<void(int track, int round)> beforeRead;  // runs before each read round
    std::optional<int32_t> discState;                     // reported instead of the real state
    std::optional<int> sessionCount;                      // reported instead of the real count
    bool failRefresh = false;                             // RefreshDisc throws
    bool refuseTray = false;                              // the tray calls throw

    void SetListener(CdGrabberListener* l) override {
        listener_ = l;
        inner_.SetListener(l);
    }
    void Open() override { inner_.Open(); }
    void Close() override { inner_.Close(); }
    int AddImage(const std::string& path) override { return inner_.AddImage(path); }
    void EjectTray() override {
        ++ejects;
        RefuseTray();
        inner_.EjectTray();
    }
    void CloseTray() override { inner_.CloseTray(); }
    void LockTray() override {
        ++locks;
        RefuseTray();
        inner_.LockTray();
    }
    void UnlockTray() override { ++unlocks; inner_.UnlockTray(); }
    void RefreshDisc() override {
        if (failRefresh) throw ComponentError("the drive does not answer");
        inner_.RefreshDisc();
    }
    int DriveCount() override { return inner_.DriveCount(); }
    void SelectDrive(int n) override { inner_.SelectDrive(n); }
    std::string DriveText1() override { return inner_.DriveText1(); }
    std::string DriveText2() override { return inner_.DriveText2(); }
    std::string DriveText3() override { return inner_.DriveText3(); }
    std::string DriveId() override { return inner_.DriveId(); }
    bool DriveIsImage() override { return inner_.DriveIsImage(); }
    int32_t DiscQuery() override { return inner_.DiscQuery(); }
    quelt::DiscLayout Layout() override { return inner_.Layout(); }
    int32_t DiscState() override { return discState ? *discState : inner_.DiscState(); }
    int SessionCount() override { return sessionCount ? *sessionCount : inner_.SessionCount(); }
    void SelectSession(int s) override { inner_.SelectSession(s); }
    int TrackCount() override { return inner_.TrackCount(); }
    void SelectTrack(int t) override {
        inner_.SelectTrack(t);
        track_ = t;
    }
    int32_t TrackSizeA() override { return inner_.TrackSizeA(); }
    int32_t TrackSizeB() override { return inner_.TrackSizeB(); }
    int TrackMinutes() override { return Duration(0, inner_.TrackMinutes()); }
    int TrackSeconds() override { return Duration(1, inner_.TrackSeconds()); }
    int32_t TrackMilliseconds() override { return Duration(2, inner_.TrackMilliseconds()); }
    int32_t TrackType() override { return inner_.TrackType(); }
    std::string FreedbArtist() override { return inner_.FreedbArtist(); }
    std::string FreedbAlbum() override { return inner_.FreedbAlbum(); }
    std::string FreedbTitle() override { return inner_.FreedbTitle(); }
    std::string FreedbGenre() override { return inner_.FreedbGenre(); }
    int32_t FreedbYear() override { return inner_.FreedbYear(); }
    bool NamesFromCdText() override { return inner_.NamesFromCdText(); }
    void ReadSwitchA(int on) override { inner_.ReadSwitchA(on); }
    void ReadSwitchB(int on) override { inner_.ReadSwitchB(on); }
    void ReadSwitchC(int on) override { inner_.ReadSwitchC(on); }
    int32_t ReadAttempts() override { return inner_.ReadAttempts(); }
    void OpenTrack() override {
        inner_.OpenTrack();
        round_ = 0;
        openTrack_ = track_;
    }
    void CloseTrack() override { inner_.CloseTrack(); }
    int32_t ReadBlocks(int blocks, std::vector<uint8_t>& pcm) override {
        if (beforeRead) beforeRead(openTrack_, round_);
        if (failingReads.count(openTrack_)) throw ComponentError("the drive stopped answering");
        if (round_ == 0 && listener_ && retries.count(openTrack_))
            for (auto [attempt, sector] : retries[openTrack_]) listener_->OnReadRetry(attempt, sector);
        ++round_;
        return inner_.ReadBlocks(blocks, pcm);
    }
    int32_t UnreadableSectors() override {
        auto it = unreadableSectors.find(openTrack_);
        return inner_.UnreadableSectors() + (it == unreadableSectors.end() ? 0 : it->second);
    }
    void QueryFreedb(FreedbInfo& info, int32_t flags) override { inner_.QueryFreedb(info, flags); }

    int ejects = 0, locks = 0, unlocks = 0;

private:
  void RefuseTray() {
      if (refuseTray) throw ComponentError("the drive refused");
  }
    int Duration(int part, int real) {
        auto it = durations.find(track_);
        if (it == durations.end()) return real;
        const auto& [m, s, ms] = it->second;
        return part == 0 ? m : part == 1 ? s : ms;
    }

    CdGrabber& inner_;
    CdGrabberListener* listener_ = nullptr;
    int track_ = -1, openTrack_ = -1, round_ = 0;
};

}  // namespace quelt::test
