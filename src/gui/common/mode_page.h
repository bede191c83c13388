// What the main window needs from each of its three pages (ripper, converter, burner).
// The page widgets are created by the main window and live as long as it.
#pragma once

#include <QPoint>
#include <QString>
#include <functional>

class QLabel;
class QWidget;

namespace quelt {

class ModePage {
  public:
    virtual ~ModePage() = default;

    virtual QWidget* widget() = 0;
    // False when the page could not be built (its skin section is missing): it is never shown.
    virtual bool created() const = 0;
    // The row of the page's current item, -1 when none (the status line shows row + 1).
    virtual int currentItem() const = 0;
    // The main window's status line, which the page writes its position text into.
    virtual void setStatusLine(QLabel* line) { (void)line; }

    // Dropped files, in drop order, then one refresh.
    virtual void AddDroppedFile(const QString& path) { (void)path; }
    virtual void RefreshAfterDrop() {}
    // A disc image handed to the program (the ripper lists it as a drive and reads it).
    virtual void OpenDiscImage(const QString& path) { (void)path; }
    // Called each time the page is shown by a mode switch (the burner re-reads its writer).
    virtual void RefreshOnShow() {}
    // The start button in this page's mode: runs the page's job under the progress window.
    virtual void StartJob() {}

    // What the preview player needs. The number of items; the full path of a file page's
    // item (empty on the ripper page); making `row` the current item, selected and scrolled
    // into view (the ripper page also selects its track in the grabber).
    virtual int itemCount() const { return 0; }
    virtual QString itemPath(int row) const {
        (void)row;
        return {};
    }
    virtual void SelectItem(int row) { (void)row; }
    // A preview holds the page: its editing controls are off while `on`.
    virtual void SetPreviewHold(bool on) { (void)on; }
    // The preview player's Play and Stop, for a page that offers them in its own menu.
    virtual void SetPreviewCommands(std::function<void()> play, std::function<void()> stop) {
        (void)play;
        (void)stop;
    }
};

// The area over a page's list (page coordinates) where a right-click opens the list's menu;
// the three pages lay their lists out alike.
inline bool InPageListMenuZone(const QPoint& point) {
    return point.x() <= 408 && point.y() >= 26 && point.y() <= 310;
}

}  // namespace quelt
