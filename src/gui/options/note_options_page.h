// An options tab that only explains where its settings are kept, for a tab whose editing
// page is not part of this program yet. It stores nothing.
#pragma once

#include <QLabel>
#include <QVBoxLayout>

#include "gui/options/options_page.h"

namespace quelt {

class NoteOptionsPage : public OptionsPage {
    Q_OBJECT
  public:
    explicit NoteOptionsPage(const QString& note, QWidget* parent = nullptr) : OptionsPage(parent) {
        auto* label = new QLabel(note);
        label->setWordWrap(true);
        label->setTextFormat(Qt::RichText);
        auto* layout = new QVBoxLayout(this);
        layout->addWidget(label);
        layout->addStretch(1);
    }
    void Load() override {}
    void Store() override {}
};

}  // namespace quelt
