#include "gui/common/audio_file_dialogs.h"

#include <QFileDialog>

#include "core/settings/app_paths.h"

namespace quelt {

namespace {

// Qt reads a filter's patterns from its last parentheses, separated by blanks. The labels
// carry their own parentheses for the user, so the patterns follow in a second pair that
// HideNameFilterDetails keeps out of sight.
QString Filter(const QString& label, const QString& patterns) {
    QStringList list;
    for (const QString& p : patterns.split(';', Qt::SkipEmptyParts)) list << p.trimmed();
    return label + " (" + list.join(' ') + ")";
}

QString StartFolder() { return QString::fromStdString(DialogStartFolder()); }

}  // namespace

QStringList AudioFileFilters() {
    return {
        Filter(QStringLiteral("Audio files (*.aac, *.mp3, *.wav, *.m4a, *.mp2, *.mp4, *.3gp, "
                              "*.3p2, *.ogg, *.wma, *.ac3, *.flac, *.aiff, *.au)"),
               QStringLiteral(" *.aac; *.mp3; *.wav; *.m4a; *.mp2; *.mp4; *.3gp; *.3p2; "
                              "*.ogg;*.wma;*.ac3;*.flac;*.aiff;*.au")),
        Filter(QStringLiteral("Video files (*.wmv, *.vob, *.mov, *.rm, *.mpg, *.avi, *.mpeg)"),
               QStringLiteral(" *.wmv;*.vob;*.mov;*.rm;*.mpg;*.avi;*.mpeg")),
        Filter(QStringLiteral("All Files (*.*)"), QStringLiteral("*")),
    };
}

QStringList ChooseAudioFiles(QWidget* owner) {
    QFileDialog dialog(owner, QStringLiteral("Add audio files"), StartFolder());
    dialog.setFileMode(QFileDialog::ExistingFiles);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setNameFilters(AudioFileFilters());
    if (dialog.exec() != QDialog::Accepted) return {};
    return dialog.selectedFiles();
}

QString ChooseAudioFolder(QWidget* owner) {
    return QFileDialog::getExistingDirectory(owner, QStringLiteral("Browse for audio folder:"),
                                             StartFolder());
}

}  // namespace quelt
