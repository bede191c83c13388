// The dialog that lets the user choose among the MusicBrainz releases that hold the disc:
// one row per release with its artist, title, date, country, label, format and track count.
#pragma once

#include <QDialog>
#include <vector>

#include "core/rip/musicbrainz.h"

class QTreeWidget;

namespace quelt {

class ReleasePicker : public QDialog {
    Q_OBJECT
  public:
    ReleasePicker(const std::vector<MusicBrainzRelease>& releases, QWidget* parent = nullptr);
    // The chosen row (0-based), -1 when none is selected.
    int chosen() const;
    QTreeWidget* list() const { return list_; }

  private:
    QTreeWidget* list_;
};

}  // namespace quelt
