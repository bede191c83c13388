// What the ripper page tests share: the GUI fixture and a ripper page on an images-only
// grabber (no drive is ever touched) whose FreeDB look-ups go to a loopback address.
#pragma once

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QTreeWidget>
#include <QtTest>
#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/rip/cd_grabber.h"
#include "core/rip/freedb_info.h"
#include "core/rip/genre_list.h"
#include "gui/rip/ripper_page.h"
#include "gui_fixture.h"
#include "support/cddb_server.h"
#include "support/disc_images.h"

namespace quelt::test {

// Records the grabber's listener so a test can raise events as the grabber's threads do.
class ListenedGrabber : public CdGrabber {
  public:
    explicit ListenedGrabber(std::unique_ptr<CdGrabber> inner) : inner_(std::move(inner)) {}
    CdGrabberListener* listener() const { return listener_; }
    std::function<void(int round)> beforeRead;  // runs on the reading thread
    int reads = 0;

    void SetListener(CdGrabberListener* l) override {
        listener_ = l;
        inner_->SetListener(l);
    }
    void Open() override { inner_->Open(); }
    void Close() override { inner_->Close(); }
    int AddImage(const std::string& path) override { return inner_->AddImage(path); }
    void EjectTray() override { inner_->EjectTray(); }
    void CloseTray() override { inner_->CloseTray(); }
    void LockTray() override { inner_->LockTray(); }
    void UnlockTray() override { inner_->UnlockTray(); }
    void RefreshDisc() override {
        ++refreshes;
        inner_->RefreshDisc();
    }
    int DriveCount() override { return inner_->DriveCount(); }
    void SelectDrive(int n) override { inner_->SelectDrive(n); }
    std::string DriveText1() override { return inner_->DriveText1(); }
    std::string DriveText2() override { return inner_->DriveText2(); }
    std::string DriveText3() override { return inner_->DriveText3(); }
    std::string DriveId() override { return inner_->DriveId(); }
    bool DriveIsImage() override { return inner_->DriveIsImage(); }
    int32_t DiscQuery() override { return inner_->DiscQuery(); }
    quelt::DiscLayout Layout() override { return inner_->Layout(); }
    int32_t DiscState() override { return inner_->DiscState(); }
    int SessionCount() override { return inner_->SessionCount(); }
    void SelectSession(int s) override { inner_->SelectSession(s); }
    int TrackCount() override { return inner_->TrackCount(); }
    void SelectTrack(int t) override { inner_->SelectTrack(t); }
    int32_t TrackSizeA() override { return inner_->TrackSizeA(); }
    int32_t TrackSizeB() override { return inner_->TrackSizeB(); }
    int TrackMinutes() override { return inner_->TrackMinutes(); }
    int TrackSeconds() override { return inner_->TrackSeconds(); }
    int32_t TrackMilliseconds() override { return inner_->TrackMilliseconds(); }
    int32_t TrackType() override { return inner_->TrackType(); }
    std::string FreedbArtist() override { return inner_->FreedbArtist(); }
    std::string FreedbAlbum() override { return inner_->FreedbAlbum(); }
    std::string FreedbTitle() override { return inner_->FreedbTitle(); }
    std::string FreedbGenre() override { return inner_->FreedbGenre(); }
    int32_t FreedbYear() override { return inner_->FreedbYear(); }
    bool NamesFromCdText() override { return inner_->NamesFromCdText(); }
    void ReadSwitchA(int on) override { inner_->ReadSwitchA(on); }
    void ReadSwitchB(int on) override { inner_->ReadSwitchB(on); }
    void ReadSwitchC(int on) override { inner_->ReadSwitchC(on); }
    int32_t ReadAttempts() override { return inner_->ReadAttempts(); }
    void OpenTrack() override { inner_->OpenTrack(); }
    void CloseTrack() override { inner_->CloseTrack(); }
    int32_t ReadBlocks(int blocks, std::vector<uint8_t>& pcm) override {
        if (beforeRead) beforeRead(reads);
        ++reads;
        return inner_->ReadBlocks(blocks, pcm);
    }
    int32_t UnreadableSectors() override { return inner_->UnreadableSectors(); }
    void QueryFreedb(FreedbInfo& info, int32_t flags) override {
        ++lookups;
        inner_->QueryFreedb(info, flags);
    }

    std::atomic<int> refreshes{0}, lookups{0};

  private:
    std::unique_ptr<CdGrabber> inner_;
    CdGrabberListener* listener_ = nullptr;
};

struct RipFixture : GuiFixture {
    RipFixture() : genres(CreateGenreList()) {
        // Nothing here may reach the internet: look-ups go to a closed loopback port unless
        // a test starts its own server.
        freedb->SetCustomServer("127.0.0.1:" + std::to_string(UnusedLoopbackPort()));
    }
    ~RipFixture() {
        page.reset();
        grabber.reset();  // joins a look-up still running before `freedb` goes
    }

    // An images-only grabber listing `cue` (none: `demo` decides whether the demo disc is
    // listed). The look-up and media watcher threads are the real ones.
    void MakeGrabber(const std::string& cue, bool demo = false) {
        CdGrabberOptions options;
        options.listDevices = false;
        options.demoImage = demo ? DemoDiscPath() : "/nonexistent/demo.cue";
        options.watchMedia = false;
        auto inner = CreateCdGrabber(options);
        if (!cue.empty()) inner->AddImage(cue);
        grabber = std::make_unique<ListenedGrabber>(std::move(inner));
    }
    std::string Image(const std::string& name, const std::vector<int>& sectors) {
        return MakeDiscImage(scratch.path().string(), name, sectors);
    }
    // The page on the grabber; waits until the first look-up has filled the list.
    RipperPage& Page() {
        if (!page) {
            if (!grabber) MakeGrabber("");
            page = std::make_unique<RipperPage>(skin, context, *grabber, *freedb, genres.get());
            page->setStatusLine(&statusLine);
            WaitForLookup();
        }
        return *page;
    }
    bool WaitForLookup() {
        return page && QTest::qWaitFor([this] { return !page->disc().lookupPending(); }, 120000);
    }
    QStringList Column(int column) {
        QStringList texts;
        QTreeWidget* list = Page().trackList();
        for (int i = 0; i < list->topLevelItemCount(); ++i)
            texts << list->topLevelItem(i)->text(column);
        return texts;
    }
    QAction* MenuAction(const QString& text) {
        for (QAction* action : Page().trackMenu()->actions())
            if (action->text() == text) return action;
        return nullptr;
    }

    std::unique_ptr<GenreList> genres;
    std::unique_ptr<FreedbInfo> freedb = CreateFreedbInfo();
    std::unique_ptr<ListenedGrabber> grabber;
    QLabel statusLine;
    std::unique_ptr<RipperPage> page;
};

}  // namespace quelt::test
