#include "gui/playback/preview_player.h"

#include <QAbstractButton>
#include <QLabel>
#include <QMetaObject>
#include <QSignalBlocker>
#include <QSlider>
#include <QTimer>
#include <algorithm>
#include <cmath>

#include "core/jobs/component_error.h"
#include "core/jobs/prompter.h"
#include "core/naming/paths.h"
#include "core/naming/text.h"
#include "core/playback/cd_player.h"
#include "core/playback/cd_track_preview.h"
#include "core/settings/settings.h"
#include "gui/common/app_context.h"
#include "gui/common/mode_page.h"

namespace quelt {
namespace {

constexpr const char* kCaption = "Quelt CD Ripper Pro";
constexpr int kTickMs = 500;

QString ItemNumber(const ModePage* page) {
    return QString::fromStdString(FormatTrackNumber((page ? page->currentItem() : -1) + 1, 2));
}

}  // namespace

// The CD preview's events, raised on the CD player's thread, carried to the GUI thread.
class PreviewPlayer::CdEvents : public CdTrackPreviewListener {
  public:
    explicit CdEvents(PreviewPlayer& player) : player_(player) {}
    void SetGeneration(unsigned generation) { generation_ = generation; }

    void OnPosition(int32_t block) override {
        Post([block](PreviewPlayer& p) { p.OnTrackPosition(block); });
    }
    void OnEnd() override {
        Post([](PreviewPlayer& p) { p.Stop(); });
    }
    void OnReadError(const std::string&) override {
        Post([](PreviewPlayer& p) { p.OnTrackError(); });
    }

  private:
    template <typename F>
    void Post(F handler) {
        const unsigned generation = generation_.load();
        PreviewPlayer* player = &player_;
        QMetaObject::invokeMethod(
            player,
            [player, generation, handler] {
                if (player->generation_ == generation && player->context_.previewPlaying)
                    handler(*player);
            },
            Qt::QueuedConnection);
    }

    PreviewPlayer& player_;
    std::atomic<unsigned> generation_{0};
};

PreviewPlayer::PreviewPlayer(AppContext& context, PlaybackLibrary& library, CdGrabber* grabber,
                             Controls controls, std::function<ModePage*()> activePage,
                             QObject* parent)
    : QObject(parent),
      context_(context),
      library_(library),
      controls_(controls),
      activePage_(std::move(activePage)),
      cdPlayer_(CreateCdPlayer(library)),
      cdEvents_(std::make_unique<CdEvents>(*this)) {
    if (grabber) {
        cdPreview_ = std::make_unique<CdTrackPreview>(*grabber, *cdPlayer_);
        cdPreview_->SetListener(cdEvents_.get());
    }
    if (controls_.volume) {
        controls_.volume->setRange(0, 65535);
        controls_.volume->setValue(cdPlayer_->Volume());
        connect(controls_.volume, &QSlider::valueChanged, this, &PreviewPlayer::SetVolume);
    }
    if (QSlider* position = controls_.position) {
        position->setRange(0, 1000);
        // A drag seeks where it is let go; a click or a key seeks at once.
        connect(position, &QSlider::sliderReleased, this,
                [this, position] { SeekTo(position->value()); });
        connect(position, &QSlider::valueChanged, this, [this, position](int value) {
            if (!settingSlider_ && !position->isSliderDown()) SeekTo(value);
        });
    }
    if (controls_.playerSwitch) {
        controls_.playerSwitch->setCheckable(true);
        connect(controls_.playerSwitch, &QAbstractButton::toggled, this, &PreviewPlayer::SetSwitch);
    }
    timer_ = new QTimer(this);
    timer_->setInterval(kTickMs);
    connect(timer_, &QTimer::timeout, this, &PreviewPlayer::Tick);
    timer_->start();
}

PreviewPlayer::~PreviewPlayer() {
    Stop();
    if (cdPreview_) cdPreview_->SetListener(nullptr);
}

bool PreviewPlayer::DeviceReady() {
    if (library_.Init()) return true;
    if (!deviceWarned_) {
        deviceWarned_ = true;
        context_.prompter->ShowMessage(
            kCaption,
            "Error on initial Audio Player...\n\nNo sound device could be opened, so previews "
            "cannot be heard. Ripping, converting and burning work as usual.");
    }
    return false;
}

void PreviewPlayer::Play() {
    if (context_.previewPlaying) return;
    SetSlider(0);
    ModePage* page = activePage_ ? activePage_() : nullptr;
    if (!page) return;
    const int row = page->currentItem();
    if (row < 0 || row >= page->itemCount()) return;
    if (!DeviceReady()) return;
    if (controls_.playerSwitch && controls_.playerSwitch->isChecked()) {
        QSignalBlocker block(controls_.playerSwitch);
        controls_.playerSwitch->setChecked(false);
    }
    paused_ = false;
    cdPlayer_->SetPlayerSwitch(0);
    if (context_.mode == kModeRip)
        PlayTrack(*page, row);
    else
        PlayFile(*page, row);
}

void PreviewPlayer::Refuse(const char* burnerText, const char* converterText) {
    context_.prompter->ShowMessage(kCaption,
                                   context_.mode == kModeBurn ? burnerText : converterText);
}

void PreviewPlayer::PlayFile(ModePage& page, int row) {
    constexpr const char* kOnlyConvert = "Can not play this format, only support convert...";
    const QString path = page.itemPath(row);
    if (!IsAudioFile(path.toStdString())) return Refuse(kOnlyConvert, kOnlyConvert);
    stream_ = library_.StreamCreateFile(path.toStdString());
    if (!stream_) return Refuse(kOnlyConvert, "Can't open stream");
    library_.ChannelSetVolume(stream_, SliderGain(cdPlayer_->Volume()));
    if (!library_.ChannelPlay(stream_)) {
        library_.StreamFree(stream_);
        stream_ = 0;
        return Refuse(kOnlyConvert, "Can't play ...");
    }
    fileSeconds_ = std::max(0.0, library_.ChannelLengthSeconds(stream_));
    fileWhole_ = static_cast<int64_t>(fileSeconds_);
    playingMode_ = context_.mode;
    context_.previewPlaying = true;
    Hold(&page, true);
}

void PreviewPlayer::PlayTrack(ModePage& page, int row) {
    if (!cdPreview_) return;
    page.SelectItem(row);  // the grabber's selected track is the row's
    Hold(&page, true);
    if (controls_.volume) {
        QSignalBlocker block(controls_.volume);
        controls_.volume->setValue(cdPlayer_->Volume());
    }
    cdEvents_->SetGeneration(++generation_);
    try {
        cdPreview_->Start();
    } catch (const ComponentError&) {
        Hold(&page, false);
        context_.prompter->ShowMessage(kCaption, "Error during start playing the track!");
        return;
    }
    playingMode_ = kModeRip;
    context_.previewPlaying = true;
}

void PreviewPlayer::Hold(ModePage* page, bool on) {
    context_.previewActive = on;
    if (page) page->SetPreviewHold(on);
    if (controls_.startButton) controls_.startButton->setEnabled(!on);
}

void PreviewPlayer::Stop() {
    if (!context_.previewPlaying) return;
    context_.previewPlaying = false;
    ++generation_;
    // The track is closed before the page takes its controls (and the grabber) back.
    bool stopFailed = false;
    if (playingMode_ == kModeRip) {
        try {
            cdPreview_->Stop();
        } catch (const ComponentError&) {
            stopFailed = true;
        }
    } else if (stream_) {
        library_.ChannelStop(stream_);
        library_.StreamFree(stream_);
        stream_ = 0;
    }
    Hold(activePage_ ? activePage_() : nullptr, false);
    SetSlider(0);
    ShowStopped();
    if (stopFailed)
        context_.prompter->ShowMessage(kCaption, "Error during stop playing the track!");
}

void PreviewPlayer::OnTrackError() {
    Stop();
    context_.prompter->ShowMessage(kCaption, "Error during playing the track!");
}

void PreviewPlayer::Previous() { Step(-1); }
void PreviewPlayer::Next() { Step(+1); }

void PreviewPlayer::Step(int by) {
    const bool wasPlaying = context_.previewPlaying;
    Stop();
    ModePage* page = activePage_ ? activePage_() : nullptr;
    if (!page) return;
    const int target = page->currentItem() + by;
    // No wrap-around: at either end nothing moves and a stopped preview stays stopped.
    if (target < 0 || target >= page->itemCount()) return;
    page->SelectItem(target);
    ShowStopped();
    if (wasPlaying) Play();
}

void PreviewPlayer::Tick() {
    if (!context_.previewPlaying || playingMode_ == kModeRip || !stream_) return;
    const double position = std::max(0.0, library_.ChannelPositionSeconds(stream_));
    const int64_t whole = static_cast<int64_t>(position);
    ShowPosition(whole * 1000,
                 fileWhole_ > 0 ? static_cast<int>(std::min<int64_t>(whole * 1000 / fileWhole_, 1000)) : 0);
    // Also ends when the decoder ran dry before the container's stated length, which
    // would otherwise keep the preview "playing" silence for ever.
    const bool ended = !paused_ && !library_.ChannelIsPlaying(stream_);
    if (whole >= fileWhole_ || ended) Stop();
}

void PreviewPlayer::OnTrackPosition(int32_t block) {
    const int32_t length = cdPreview_ ? cdPreview_->lengthBlocks() : 0;
    const int thousandths =
        length > 0 ? static_cast<int>(std::min<int64_t>(int64_t(block) * 1000 / length, 1000)) : 0;
    ShowPosition(cdPlayer_->PositionToTime(block), thousandths);
}

void PreviewPlayer::ShowPosition(int64_t ms, int thousandths) {
    ModePage* page = activePage_ ? activePage_() : nullptr;
    if (controls_.positionLine)
        controls_.positionLine->setText(QStringLiteral("No.: %1, second: %2")
                                            .arg(ItemNumber(page),
                                                 QString::fromStdString(FormatDuration(ms))));
    if (!controls_.position || !controls_.position->isSliderDown()) SetSlider(thousandths);
}

void PreviewPlayer::ShowStopped() {
    ModePage* page = activePage_ ? activePage_() : nullptr;
    if (controls_.positionLine)
        controls_.positionLine->setText(
            QStringLiteral("No.: %1, second: 00:00:00.000").arg(ItemNumber(page)));
}

void PreviewPlayer::SetSlider(int thousandths) {
    if (!controls_.position) return;
    settingSlider_ = true;
    controls_.position->setValue(thousandths);
    settingSlider_ = false;
}

void PreviewPlayer::SeekTo(int thousandths) {
    if (!context_.previewPlaying) {
        SetSlider(0);
        return;
    }
    thousandths = std::clamp(thousandths, 0, 1000);
    if (playingMode_ == kModeRip) {
        const int32_t block =
            static_cast<int32_t>(int64_t(cdPreview_->lengthBlocks()) * thousandths / 1000);
        try {
            cdPreview_->Seek(block);
        } catch (const ComponentError&) {
            OnTrackError();
        }
        return;
    }
    library_.ChannelSetPosition(stream_, fileSeconds_ * thousandths / 1000.0);
}

void PreviewPlayer::SetVolume(int volume) {
    cdPlayer_->SetVolume(volume);
    if (stream_) library_.ChannelSetVolume(stream_, SliderGain(cdPlayer_->Volume()));
}

void PreviewPlayer::SetSwitch(bool on) {
    paused_ = on;
    cdPlayer_->SetPlayerSwitch(on ? 1 : 0);
    if (stream_) {
        if (on)
            library_.ChannelStop(stream_);
        else
            library_.ChannelPlay(stream_);
    }
}

}  // namespace quelt
