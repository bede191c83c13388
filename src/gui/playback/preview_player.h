// The preview player of the main window: Play, Stop, Previous and Next, the position line
// and position slider (which seeks), the volume slider and the player switch (pause). A file
// item of the converter or burner page plays through the playback library; a track of the
// ripper page through the CD player, fed by the grabber on the player's thread.
//
// While a preview plays, `previewPlaying` and `previewActive` of the AppContext are set, the
// active page's editing controls and the start button are off. A 500 ms timer moves the
// display of a file preview; the CD player reports its position itself.
//
// With no sound device, the first Play says so once, and every later Play does nothing.
// Threading: GUI thread only; the CD player's events are posted here.
#pragma once

#include <QObject>
#include <functional>
#include <memory>

#include "core/playback/playback_library.h"

class QAbstractButton;
class QLabel;
class QSlider;
class QTimer;
class QWidget;

namespace quelt {

struct AppContext;
class CdGrabber;
class CdPlayer;
class CdTrackPreview;
class ModePage;

class PreviewPlayer : public QObject {
    Q_OBJECT
  public:
    // The main window's controls the player drives; any may be null.
    struct Controls {
        QAbstractButton* playerSwitch = nullptr;
        QSlider* volume = nullptr;    // 0..65535
        QSlider* position = nullptr;  // 0..1000
        QLabel* positionLine = nullptr;
        QWidget* startButton = nullptr;
    };

    // `library`, `context` and `grabber` must outlive the player; without a grabber the
    // ripper page's tracks do not play. `activePage` gives the page of the current mode.
    PreviewPlayer(AppContext& context, PlaybackLibrary& library, CdGrabber* grabber,
                  Controls controls, std::function<ModePage*()> activePage,
                  QObject* parent = nullptr);
    ~PreviewPlayer() override;

    void Play();
    void Stop();
    void Previous();
    void Next();
    // The 500 ms timer's work, callable directly.
    void Tick();
    // Plays on from `thousandths` of the current item's length.
    void SeekTo(int thousandths);
    void SetVolume(int volume);
    void SetSwitch(bool on);

  private:
    class CdEvents;

    void PlayFile(ModePage& page, int row);
    void PlayTrack(ModePage& page, int row);
    void Hold(ModePage* page, bool on);
    void Refuse(const char* burnerText, const char* converterText);
    bool DeviceReady();
    void Step(int by);
    void ShowPosition(int64_t ms, int thousandths);
    void ShowStopped();
    void SetSlider(int thousandths);
    void OnTrackPosition(int32_t block);
    void OnTrackError();

    AppContext& context_;
    PlaybackLibrary& library_;
    Controls controls_;
    std::function<ModePage*()> activePage_;
    std::unique_ptr<CdPlayer> cdPlayer_;
    std::unique_ptr<CdTrackPreview> cdPreview_;
    std::unique_ptr<CdEvents> cdEvents_;
    QTimer* timer_ = nullptr;
    int playingMode_ = 0;
    PlaybackLibrary::Stream stream_ = 0;
    double fileSeconds_ = 0;   // the stream's length
    int64_t fileWhole_ = 0;    // its whole seconds
    bool paused_ = false;
    bool deviceWarned_ = false;
    bool settingSlider_ = false;
    unsigned generation_ = 0;  // CD events of an earlier preview are dropped
};

}  // namespace quelt
