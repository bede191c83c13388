// CdGrabber on libcdio (drives, layout, CD-Text, tray) and libcdio-paranoia (reading).
//
// Drives are the machine's CD devices, then the images added with AddImage, then, when no
// device exists, the demo disc. One libcdio handle is open for the current drive; a mutex
// keeps the media watcher and the caller's thread from using it at the same time. The
// watcher polls a device (never an image) about once a second while no track is open.
#include <cdio/cdio.h>
#include <cdio/logging.h>
#include <cdio/mmc_ll_cmds.h>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <system_error>
#include <thread>

#include "core/jobs/component_error.h"
#include "core/rip/cd_grabber.h"
#include "core/rip/disc_image.h"
#include "core/rip/disc_layout.h"
#include "core/rip/freedb_info.h"
#include "core/rip/rip_log.h"
#include "core/rip/track_reader.h"
#include "core/settings/app_paths.h"

namespace quelt {
namespace {

constexpr int kDefaultReadAttempts = 10;

void LogFromCdio(cdio_log_level_t level, const char* message) {
    if (level >= CDIO_LOG_WARN && message) RipLog(std::string("cdio: ") + message);
}

void InstallCdioLog() {
    static std::once_flag once;
    std::call_once(once, [] { cdio_log_set_handler(LogFromCdio); });
}

driver_id_t DriverFor(DiscImageKind kind) {
    switch (kind) {
        case DiscImageKind::kCue: return DRIVER_BINCUE;
        case DiscImageKind::kToc: return DRIVER_CDRDAO;
        case DiscImageKind::kNrg: return DRIVER_NRG;
    }
    return DRIVER_UNKNOWN;
}

// The span a track is read from: its own sectors shifted by the read offset, within the
// run of audio tracks of its session around it (a data track is never read as audio).
ReadSpan SpanOf(const DiscLayout& layout, int index, int offset) {
    const DiscTrack& track = layout.tracks[index];
    ReadSpan span{.firstSector = track.firstSector, .sectors = track.sectors, .shiftFrames = offset,
                  .areaFirst = track.firstSector, .areaEnd = track.firstSector + track.sectors};
    int runStart = index;
    for (int i = index - 1; i >= 0; --i) {
        const DiscTrack& t = layout.tracks[i];
        if (!t.audio || t.session != track.session) break;
        span.areaFirst = t.firstSector;
        runStart = i;
    }
    for (std::size_t i = index + 1; i < layout.tracks.size(); ++i) {
        const DiscTrack& t = layout.tracks[i];
        if (!t.audio || t.session != track.session) break;
        span.areaEnd = t.firstSector + t.sectors;
    }
    // The first track's area begins at the disc's start, where its pregap lies.
    if (runStart == 0) span.areaFirst = 0;
    return span;
}

struct Drive {
    std::string id;  // device path or image path
    std::string text1, text2, text3;
    std::shared_ptr<DiscImage> image;  // null for a device
};

class CdioGrabber final : public CdGrabber {
public:
    explicit CdioGrabber(const CdGrabberOptions& options) : options_(options) { InstallCdioLog(); }
    ~CdioGrabber() override;

    void SetListener(CdGrabberListener* listener) override { listener_.store(listener); }
    void Open() override;
    void Close() override;
    int AddImage(const std::string& path) override;

    void EjectTray() override;
    void CloseTray() override;
    void LockTray() override { SetTrayLock(true); }
    void UnlockTray() override { SetTrayLock(false); }
    void RefreshDisc() override;

    int DriveCount() override { return static_cast<int>(drives_.size()); }
    void SelectDrive(int number) override;
    std::string DriveText1() override { return Current().text1; }
    std::string DriveText2() override { return Current().text2; }
    std::string DriveText3() override { return Current().text3; }
    std::string DriveId() override { return Current().id; }
    bool DriveIsImage() override { return Current().image != nullptr; }

    int32_t DiscQuery() override { return static_cast<int32_t>(layout_.tracks.size()); }
    DiscLayout Layout() override {
        std::lock_guard lock(cdioMutex_);
        return layout_;
    }
    int32_t DiscState() override { return discState_; }
    int SessionCount() override { return layout_.sessionCount; }
    void SelectSession(int session) override;
    int TrackCount() override { return layout_.TracksInSession(session_); }
    void SelectTrack(int track) override;

    int32_t TrackSizeA() override { return Track().sectors; }
    int32_t TrackSizeB() override { return 4; }
    int TrackMinutes() override { return static_cast<int>(TrackMs() / 60000); }
    int TrackSeconds() override { return static_cast<int>(TrackMs() / 1000 % 60); }
    int32_t TrackMilliseconds() override { return static_cast<int32_t>(TrackMs() % 1000); }
    int32_t TrackType() override { return Track().audio ? kTrackAudio : kTrackData; }

    std::string FreedbArtist() override;
    std::string FreedbAlbum() override;
    std::string FreedbTitle() override;
    std::string FreedbGenre() override;
    int32_t FreedbYear() override;
    bool NamesFromCdText() override;

    void ReadSwitchA(int on) override { switches_.skipVerify = on != 0; }
    void ReadSwitchB(int on) override { switches_.singleTry = on != 0; }
    void ReadSwitchC(int on) override { switches_.skipRepair = on != 0; }
    int32_t ReadAttempts() override { return kDefaultReadAttempts; }

    void OpenTrack() override;
    void CloseTrack() override;
    int32_t ReadBlocks(int blocks, std::vector<uint8_t>& pcm) override;
    void SeekTrack(int32_t block) override;
    int32_t UnreadableSectors() override { return unreadable_; }
    int32_t RetriedSectors() override { return retried_; }
    void SetReadOffset(int samples) override { readOffset_ = std::clamp(samples, -kMaxReadOffset, kMaxReadOffset); }

    void QueryFreedb(FreedbInfo& info, int32_t flags) override;

private:
    const Drive& Current() const;
    const DiscTrack& Track() const;
    int64_t TrackMs() const { return static_cast<int64_t>(Track().sectors) * 1000 / kSectorsPerSecond; }
    void RebuildDriveList();
    void OpenHandle();   // caller holds cdioMutex_
    void CloseHandle();  // caller holds cdioMutex_; ends the open track's reader first
    void SetTrayLock(bool locked);
    void StartWatcher();
    void StopWatcher();
    void WatchMedia();
    void Emit(const std::function<void(CdGrabberListener&)>& call);
    void JoinQuery();
    void StartQuery(FreedbInfo& info, const DiscLayout& layout);

    CdGrabberOptions options_;
    std::atomic<CdGrabberListener*> listener_{nullptr};
    std::vector<Drive> devices_, images_, drives_;
    bool opened_ = false;
    int current_ = -1;  // index into drives_

    std::mutex cdioMutex_;
    CdIo_t* cdio_ = nullptr;
    DiscLayout layout_;
    int32_t discState_ = kDiscNone;
    int session_ = 0;
    int trackIndex_ = -1;  // into layout_.tracks

    ReadSwitches switches_;
    std::unique_ptr<TrackReader> reader_;
    int32_t unreadable_ = 0;
    int32_t retried_ = 0;
    int readOffset_ = 0;
    std::atomic<bool> trackOpen_{false};

    std::mutex freedbMutex_;
    FreedbEntry freedb_;
    bool freedbValid_ = false;
    bool namesFromCdText_ = false;  // freedb_ holds the disc's CD-Text
    std::thread query_;

    std::thread watcher_;
    std::mutex watchMutex_;
    std::condition_variable watchWake_;
    bool watchStop_ = false;
};

CdioGrabber::~CdioGrabber() {
    StopWatcher();
    JoinQuery();
    std::lock_guard lock(cdioMutex_);
    CloseHandle();
}

void CdioGrabber::Emit(const std::function<void(CdGrabberListener&)>& call) {
    if (CdGrabberListener* l = listener_.load()) call(*l);
}

void CdioGrabber::Open() {
    devices_.clear();
    if (options_.listDevices) {
        char** list = cdio_get_devices(DRIVER_DEVICE);
        for (char** d = list; d && *d; ++d) {
            Drive drive;
            drive.id = *d;
            if (CdIo_t* probe = cdio_open(*d, DRIVER_DEVICE)) {
                cdio_hwinfo_t info{};
                if (cdio_get_hwinfo(probe, &info)) {
                    drive.text1 = info.psz_vendor;
                    drive.text2 = info.psz_model;
                    drive.text3 = info.psz_revision;
                }
                cdio_destroy(probe);
            }
            devices_.push_back(drive);
        }
        if (list) cdio_free_device_list(list);
    }
    opened_ = true;
    RebuildDriveList();
}

void CdioGrabber::Close() {
    StopWatcher();
    JoinQuery();
    std::lock_guard lock(cdioMutex_);
    CloseHandle();
    opened_ = false;
    drives_.clear();
    current_ = -1;
}

void CdioGrabber::RebuildDriveList() {
    std::string currentId = current_ >= 0 && current_ < static_cast<int>(drives_.size()) ? drives_[current_].id : "";
    drives_.clear();
    if (!opened_) return;
    drives_ = devices_;
    drives_.insert(drives_.end(), images_.begin(), images_.end());
    if (devices_.empty()) {
        std::string demo = options_.demoImage.empty() ? DemoDiscPath() : options_.demoImage;
        bool listed = std::any_of(images_.begin(), images_.end(), [&](const Drive& d) { return d.id == demo; });
        if (!demo.empty() && !listed) {
            try {
                Drive drive;
                drive.image = std::make_shared<DiscImage>(demo);
                drive.id = demo;
                drive.text1 = "Quelt";
                drive.text2 = "Demo disc";
                drive.text3 = drive.image->KindName();
                drives_.push_back(drive);
            } catch (const ComponentError& e) {
                RipLog(e.what());
            }
        }
    }
    current_ = -1;
    for (std::size_t i = 0; i < drives_.size(); ++i)
        if (drives_[i].id == currentId) current_ = static_cast<int>(i);
}

int CdioGrabber::AddImage(const std::string& path) {
    for (std::size_t i = 0; i < drives_.size(); ++i)
        if (drives_[i].id == path) return static_cast<int>(i) + 1;
    Drive drive;
    drive.image = std::make_shared<DiscImage>(path);
    drive.id = path;
    drive.text1 = "Disc image";
    drive.text2 = std::filesystem::path(path).filename().string();
    drive.text3 = drive.image->KindName();
    images_.push_back(drive);
    RebuildDriveList();
    for (std::size_t i = 0; i < drives_.size(); ++i)
        if (drives_[i].id == path) return static_cast<int>(i) + 1;
    return 0;  // not opened yet: listed by the next Open
}

const Drive& CdioGrabber::Current() const {
    if (current_ < 0 || current_ >= static_cast<int>(drives_.size()))
        throw ComponentError("No CD drive is selected.");
    return drives_[current_];
}

void CdioGrabber::SelectDrive(int number) {
    if (number < 1 || number > static_cast<int>(drives_.size()))
        throw ComponentError("There is no CD drive " + std::to_string(number) + ".");
    StopWatcher();
    JoinQuery();
    {
        std::lock_guard lock(cdioMutex_);
        CloseHandle();
        current_ = number - 1;
        OpenHandle();
    }
    {
        std::lock_guard lock(freedbMutex_);
        freedbValid_ = false;
        namesFromCdText_ = false;
    }
    StartWatcher();
}

void CdioGrabber::OpenHandle() {
    const Drive& drive = Current();
    cdio_ = drive.image ? cdio_open(drive.image->openPath().c_str(), DriverFor(drive.image->kind()))
                        : cdio_open(drive.id.c_str(), DRIVER_DEVICE);
    layout_ = ReadDiscLayout(cdio_);
    if (layout_.tracks.empty())
        discState_ = drive.image && cdio_ ? kDiscUnrecognised : kDiscNone;
    else
        discState_ = kDiscReadable;
    if (drive.image && !cdio_) discState_ = kDiscUnrecognised;
    session_ = 0;
    trackIndex_ = -1;
}

void CdioGrabber::CloseHandle() {
    reader_.reset();
    trackOpen_ = false;
    if (cdio_) cdio_destroy(cdio_);
    cdio_ = nullptr;
    layout_ = DiscLayout{};
    discState_ = kDiscNone;
    trackIndex_ = -1;
}

void CdioGrabber::RefreshDisc() {
    Current();
    JoinQuery();
    std::lock_guard lock(cdioMutex_);
    CloseHandle();
    OpenHandle();
}

void CdioGrabber::SelectSession(int session) {
    if (session < 0 || session >= std::max(1, layout_.sessionCount))
        throw ComponentError("There is no session " + std::to_string(session + 1) + " on the disc.");
    session_ = session;
    trackIndex_ = -1;
}

void CdioGrabber::SelectTrack(int track) {
    int index = layout_.IndexOf(session_, track);
    if (index < 0) throw ComponentError("There is no track " + std::to_string(track + 1) + " in this session.");
    trackIndex_ = index;
}

const DiscTrack& CdioGrabber::Track() const {
    if (trackIndex_ < 0 || trackIndex_ >= static_cast<int>(layout_.tracks.size()))
        throw ComponentError("No track is selected.");
    return layout_.tracks[trackIndex_];
}

void CdioGrabber::EjectTray() {
    const Drive& drive = Current();
    if (drive.image) return;
    // The handle stays open so that the watcher sees the next disc arrive.
    std::lock_guard lock(cdioMutex_);
    if (cdio_eject_media_drive(drive.id.c_str()) != DRIVER_OP_SUCCESS)
        RipLog("The tray of " + drive.id + " could not be opened.");
}

void CdioGrabber::CloseTray() {
    const Drive& drive = Current();
    if (drive.image) return;
    driver_id_t driver = DRIVER_DEVICE;
    if (cdio_close_tray(drive.id.c_str(), &driver) != DRIVER_OP_SUCCESS)
        RipLog("The tray of " + drive.id + " could not be closed.");
}

void CdioGrabber::SetTrayLock(bool locked) {
    const Drive& drive = Current();
    if (drive.image) return;
    std::lock_guard lock(cdioMutex_);
    if (!cdio_) return;
    if (mmc_prevent_allow_medium_removal(cdio_, false, locked, 0) != DRIVER_OP_SUCCESS)
        RipLog(std::string("The tray of ") + drive.id + (locked ? " could not be locked." : " could not be unlocked."));
}

void CdioGrabber::OpenTrack() {
    const DiscTrack& track = Track();
    if (!track.audio) throw ComponentError("Track " + std::to_string(track.number) + " is not an audio track.");
    std::lock_guard lock(cdioMutex_);
    if (!cdio_) throw ComponentError("The disc cannot be read.");
    unreadable_ = 0;
    retried_ = 0;
    // The reader, with paranoia's buffers, is made once for the open disc and reused by
    // every track read from it; each track's span carries the drive's read offset.
    if (!reader_) {
        const bool image = Current().image != nullptr;
        reader_ = std::make_unique<TrackReader>(
            cdio_, image,
            [this](int attempt, int32_t sector) { Emit([&](CdGrabberListener& l) { l.OnReadRetry(attempt, sector); }); },
            options_.simulatedReadFaults);
    }
    reader_->Start(SpanOf(layout_, trackIndex_, readOffset_), switches_, ReadAttempts());
    trackOpen_ = true;
}

void CdioGrabber::CloseTrack() {
    std::lock_guard lock(cdioMutex_);
    if (reader_ && trackOpen_) {
        unreadable_ = reader_->UnreadableSectors();
        retried_ = reader_->RetriedSectors();
    }
    trackOpen_ = false;
}

int32_t CdioGrabber::ReadBlocks(int blocks, std::vector<uint8_t>& pcm) {
    std::lock_guard lock(cdioMutex_);
    if (!reader_ || !trackOpen_) throw ComponentError("No track is open for reading.");
    int32_t n = reader_->Read(blocks, pcm);
    unreadable_ = reader_->UnreadableSectors();
    retried_ = reader_->RetriedSectors();
    return n;
}

void CdioGrabber::SeekTrack(int32_t block) {
    std::lock_guard lock(cdioMutex_);
    if (!reader_ || !trackOpen_) throw ComponentError("No track is open for reading.");
    reader_->Seek(block);
}

// ---- FreeDB ---------------------------------------------------------------------------------

void CdioGrabber::JoinQuery() {
    if (query_.joinable()) query_.join();
}

void CdioGrabber::QueryFreedb(FreedbInfo& info, int32_t) {
    JoinQuery();
    DiscLayout layout;
    {
        std::lock_guard lock(cdioMutex_);
        layout = layout_;
    }
    {
        std::lock_guard lock(freedbMutex_);
        freedbValid_ = false;
        namesFromCdText_ = false;
        freedb_ = FreedbEntry{};
    }
    // A look-up that cannot get a thread fails like any other component call.
    try {
        StartQuery(info, layout);
    } catch (const std::system_error&) {
        throw ComponentError("The FreeDB look-up could not be started.");
    }
}

void CdioGrabber::StartQuery(FreedbInfo& info, const DiscLayout& layout) {
    query_ = std::thread([this, &info, layout] {
        FreedbEntry entry;
        int status = kFreedbNotFound;
        if (!layout.tracks.empty()) {
            status = info.Lookup(layout.Toc(), [this](int s) {
                Emit([s](CdGrabberListener& l) { l.OnFreedbProgress(s); });
            }, entry);
        } else {
            Emit([](CdGrabberListener& l) { l.OnFreedbProgress(kFreedbConnecting); });
        }
        // A disc that carries CD-Text names itself when the server cannot; the outcome
        // still tells what the server did.
        const bool fromCdText = status != kFreedbFound && layout.HasCdText();
        if (fromCdText) {
            entry = FreedbEntry{};
            entry.artist = layout.cdTextArtist;
            entry.album = layout.cdTextAlbum;
            entry.genre = layout.cdTextGenre;
            for (const auto& t : layout.tracks) {
                entry.trackArtists.push_back(t.cdTextArtist.empty() ? layout.cdTextArtist : t.cdTextArtist);
                entry.trackTitles.push_back(t.cdTextTitle);
            }
        }
        {
            std::lock_guard lock(freedbMutex_);
            freedb_ = entry;
            freedbValid_ = status == kFreedbFound || fromCdText;
            namesFromCdText_ = fromCdText;
        }
        Emit([status](CdGrabberListener& l) { l.OnFreedbProgress(status); });
    });
}

std::string CdioGrabber::FreedbArtist() {
    std::lock_guard lock(freedbMutex_);
    if (!freedbValid_) return {};
    if (trackIndex_ >= 0 && trackIndex_ < static_cast<int>(freedb_.trackArtists.size()) &&
        !freedb_.trackArtists[trackIndex_].empty())
        return freedb_.trackArtists[trackIndex_];
    return freedb_.artist;
}

std::string CdioGrabber::FreedbAlbum() {
    std::lock_guard lock(freedbMutex_);
    return freedbValid_ ? freedb_.album : std::string();
}

std::string CdioGrabber::FreedbTitle() {
    std::lock_guard lock(freedbMutex_);
    if (!freedbValid_ || trackIndex_ < 0 || trackIndex_ >= static_cast<int>(freedb_.trackTitles.size()))
        return {};
    return freedb_.trackTitles[trackIndex_];
}

std::string CdioGrabber::FreedbGenre() {
    std::lock_guard lock(freedbMutex_);
    return freedbValid_ ? freedb_.genre : std::string();
}

int32_t CdioGrabber::FreedbYear() {
    std::lock_guard lock(freedbMutex_);
    return freedbValid_ ? freedb_.year : 0;
}

bool CdioGrabber::NamesFromCdText() {
    std::lock_guard lock(freedbMutex_);
    return freedbValid_ && namesFromCdText_;
}

// ---- media watcher ----------------------------------------------------------------------------

void CdioGrabber::StartWatcher() {
    if (!options_.watchMedia || current_ < 0 || drives_[current_].image) return;
    {
        std::lock_guard lock(watchMutex_);
        watchStop_ = false;
    }
    try {
        watcher_ = std::thread([this] { WatchMedia(); });
    } catch (const std::system_error&) {
        // Without a watcher media changes go unnoticed until the next refresh; reading works.
        RipLog("The media watcher could not be started.");
    }
}

void CdioGrabber::StopWatcher() {
    {
        std::lock_guard lock(watchMutex_);
        watchStop_ = true;
    }
    watchWake_.notify_all();
    if (watcher_.joinable()) watcher_.join();
}

void CdioGrabber::WatchMedia() {
    std::unique_lock wait(watchMutex_);
    while (!watchWake_.wait_for(wait, std::chrono::seconds(1), [this] { return watchStop_; })) {
        if (trackOpen_) continue;
        int changed = 0;
        {
            std::unique_lock lock(cdioMutex_, std::try_to_lock);
            if (!lock.owns_lock() || !cdio_) continue;
            changed = cdio_get_media_changed(cdio_);
        }
        if (changed == 1) {
            wait.unlock();
            Emit([](CdGrabberListener& l) { l.OnMediaChanged(); });
            wait.lock();
        }
    }
}

}  // namespace

std::unique_ptr<CdGrabber> CreateCdGrabber(const CdGrabberOptions& options) {
    return std::make_unique<CdioGrabber>(options);
}

std::string DemoDiscPath() {
    std::error_code ec;
    std::string path = DataFile("demo/demo.cue");
    return std::filesystem::is_regular_file(path, ec) ? path : std::string();
}

}  // namespace quelt
