// The " Options" dialog: four tabs ("CD Ripper", "FREEDB", "File Converter", "CD Burner")
// with "OK" and "Cancel". "OK" lets every page whose tab was opened in this showing store
// its values, in tab order; "Cancel" stores nothing.
#pragma once

#include <QDialog>
#include <QString>
#include <functional>
#include <vector>

class QTabWidget;

namespace quelt {

class OptionsPage;

class OptionsSheet : public QDialog {
    Q_OBJECT
  public:
    struct Tab {
        QString label;
        OptionsPage* page;  // the sheet takes ownership
    };

    explicit OptionsSheet(std::vector<Tab> tabs, QWidget* parent = nullptr);

    QTabWidget* tabs() const { return tabs_; }
    OptionsPage* page(int index) const { return pages_.at(index); }
    bool Opened(int index) const { return opened_.at(index); }

    void accept() override;

  private:
    void OpenTab(int index);

    QTabWidget* tabs_;
    std::vector<OptionsPage*> pages_;
    std::vector<bool> opened_;
};

}  // namespace quelt
