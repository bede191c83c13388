// The dialog that asks where the image file writer writes its image.
#pragma once

#include <QString>

class QWidget;

namespace quelt {

// A save dialog for a CUE/BIN image (Audio CD) or an ISO image (data CD), starting in the
// folder of the image chosen last in this run, else in the music folder; "" when cancelled. The dialog asks before replacing an existing file.
QString ChooseImageFile(QWidget* owner, bool dataCd);

}  // namespace quelt
