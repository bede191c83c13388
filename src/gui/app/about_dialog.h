// The " About Quelt CD Ripper Pro" dialog: the product picture, what the program does in
// one sentence, the version, and "OK".
#pragma once

#include <QDialog>

namespace quelt {

class AboutDialog : public QDialog {
    Q_OBJECT
  public:
    explicit AboutDialog(QWidget* parent = nullptr);
};

}  // namespace quelt
