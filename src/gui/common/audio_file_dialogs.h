// The dialogs behind the "add files" and "add folder" commands of the converter and the
// burner page.
#pragma once

#include <QString>
#include <QStringList>

class QWidget;

namespace quelt {

// The three filters of the add-files dialog, in Qt's "label (patterns)" form; the dialog
// shows each label without its pattern part.
QStringList AudioFileFilters();
// Multiple selection, starting in the music folder (the home folder when it is missing).
QStringList ChooseAudioFiles(QWidget* owner);
// "Browse for audio folder:"; "" when cancelled.
QString ChooseAudioFolder(QWidget* owner);

}  // namespace quelt
