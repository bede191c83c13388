#include "gui/options/custom_name_dialog.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "core/naming/templates.h"
#include "core/naming/text.h"
#include "core/settings/settings.h"

namespace quelt {

namespace {

constexpr int kTrackNumberCode = 0;
constexpr int kIdColumn = 0;
constexpr int kNameColumn = 1;
constexpr int kCodeRole = Qt::UserRole;

int FieldCount() { return static_cast<int>(CustomPatternFieldNames().size()); }

QString FieldName(int code) {
    return QString::fromStdString(CustomPatternFieldNames().at(static_cast<size_t>(code)));
}

QTableWidgetItem* ReadOnlyItem(const QString& text) {
    auto* item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
    return item;
}

}  // namespace

std::vector<int> CustomPatternCodes(const std::string& pattern) {
    std::vector<int> codes;
    for (int i = 0;; ++i) {
        const std::string piece = TagField(pattern, i);
        if (piece.empty()) break;
        if (piece.size() > 2 ||
            !std::all_of(piece.begin(), piece.end(), [](char c) { return c >= '0' && c <= '9'; }))
            continue;
        const int code = std::stoi(piece);
        if (code < FieldCount()) codes.push_back(code);
    }
    return codes;
}

std::string CustomPatternText(const std::vector<int>& codes) {
    std::string text;
    for (int code : codes) text += std::to_string(code) + "|";
    return text;
}

std::string CustomPatternPreview(const std::vector<int>& codes, int separatorEntry,
                                 const std::string& extension) {
    // The field names stand for the tags, "01" for the track number.
    std::string fields = "01|";
    for (size_t code = 1; code < CustomPatternFieldNames().size(); ++code)
        fields += CustomPatternFieldNames()[code] + "|";
    return CustomPatternName(CustomPatternText(codes), fields, separatorEntry) + extension;
}

CustomNameDialog::CustomNameDialog(Settings& settings, QWidget* parent)
    : QDialog(parent), settings_(settings) {
    setWindowTitle(QStringLiteral(" Filename settings ..."));
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);

    fields_ = new QComboBox;
    for (int code = 0; code < FieldCount(); ++code) fields_->addItem(FieldName(code));
    fields_->setCurrentIndex(0);

    rows_ = new QTableWidget(0, 2);
    rows_->setHorizontalHeaderLabels({QStringLiteral("ID"), QStringLiteral("Name Cell")});
    rows_->setColumnWidth(kIdColumn, 40);
    rows_->setColumnWidth(kNameColumn, 150);
    rows_->horizontalHeader()->setStretchLastSection(true);
    rows_->verticalHeader()->hide();
    rows_->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 8);
    rows_->setShowGrid(true);
    rows_->setSelectionBehavior(QAbstractItemView::SelectRows);
    rows_->setSelectionMode(QAbstractItemView::SingleSelection);
    rows_->setEditTriggers(QAbstractItemView::NoEditTriggers);

    add_ = new QPushButton(QStringLiteral("add"));
    up_ = new QPushButton(QStringLiteral("move up"));
    down_ = new QPushButton(QStringLiteral("move down"));
    delete_ = new QPushButton(QStringLiteral("delete"));
    clear_ = new QPushButton(QStringLiteral("clear"));
    for (QPushButton* button : {add_, up_, down_, delete_, clear_}) button->setAutoDefault(false);

    separator_ = new QComboBox;
    separator_->addItems({QStringLiteral("No"), QStringLiteral(" "), QStringLiteral("-"),
                          QStringLiteral("."), QStringLiteral("_")});
    // A pattern that never chose a separator is shown with "No", which the first refresh
    // then stores: from then on the names are the preview's.
    separator_->setCurrentIndex(std::max(settings_.rip.outputNameSeparator, 0));
    auto* separatorLabel = new QLabel(QStringLiteral("Separator(&S):"));
    separatorLabel->setBuddy(separator_);

    preview_ = new QLineEdit;
    preview_->setReadOnly(true);

    auto* commands = new QVBoxLayout;
    commands->addWidget(new QLabel(QStringLiteral("Variables list:")));
    commands->addWidget(fields_);
    for (QPushButton* button : {add_, up_, down_, delete_, clear_}) commands->addWidget(button);
    commands->addStretch(1);
    commands->addWidget(separatorLabel);
    commands->addWidget(separator_);

    auto* editing = new QHBoxLayout;
    editing->addWidget(rows_, 1);
    editing->addLayout(commands);

    auto* buttons = new QDialogButtonBox;
    buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole)->setDefault(true);
    buttons->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(editing, 1);
    layout->addWidget(new QLabel(QStringLiteral("Output filename preview:")));
    layout->addWidget(preview_);
    layout->addWidget(buttons);
    resize(420, 340);

    connect(add_, &QPushButton::clicked, this, &CustomNameDialog::Add);
    connect(up_, &QPushButton::clicked, this, &CustomNameDialog::MoveUp);
    connect(down_, &QPushButton::clicked, this, &CustomNameDialog::MoveDown);
    connect(delete_, &QPushButton::clicked, this, &CustomNameDialog::Delete);
    connect(clear_, &QPushButton::clicked, this, &CustomNameDialog::Clear);
    connect(separator_, &QComboBox::currentIndexChanged, this, &CustomNameDialog::Refresh);

    std::string& pattern = settings_.rip.outputNameCustom;
    if (pattern.empty()) pattern = kStartingCustomPattern;
    for (int code : CustomPatternCodes(pattern)) AppendRow(code);
    Refresh();
}

std::vector<int> CustomNameDialog::Codes() const {
    std::vector<int> codes;
    for (int row = 0; row < rows_->rowCount(); ++row)
        codes.push_back(rows_->item(row, kNameColumn)->data(kCodeRole).toInt());
    return codes;
}

void CustomNameDialog::AppendRow(int code) {
    const int row = rows_->rowCount();
    rows_->insertRow(row);
    rows_->setItem(row, kIdColumn, ReadOnlyItem(QString()));
    auto* name = ReadOnlyItem(FieldName(code));
    name->setData(kCodeRole, code);
    rows_->setItem(row, kNameColumn, name);
    Renumber();
}

void CustomNameDialog::Renumber() {
    for (int row = 0; row < rows_->rowCount(); ++row)
        rows_->item(row, kIdColumn)->setText(QString::fromStdString(FormatTrackNumber(row + 1, 2)));
}

void CustomNameDialog::SelectRow(int row) {
    if (row >= 0 && row < rows_->rowCount())
        rows_->selectRow(row);
    else
        rows_->clearSelection();
}

void CustomNameDialog::SwapRows(int a, int b) {
    for (int column : {kIdColumn, kNameColumn}) {
        QTableWidgetItem* first = rows_->takeItem(a, column);
        QTableWidgetItem* second = rows_->takeItem(b, column);
        rows_->setItem(a, column, second);
        rows_->setItem(b, column, first);
    }
    Renumber();
}

void CustomNameDialog::Add() {
    const int code = fields_->currentIndex();
    if (code < 0) return;
    AppendRow(code);
    Refresh();
}

void CustomNameDialog::Delete() {
    const int row = rows_->currentRow();
    if (row < 0 || !rows_->selectionModel()->isRowSelected(row)) return;
    rows_->removeRow(row);
    Renumber();
    // The row that moved into the removed one's place stays selected, so a run of
    // deletions needs no clicks in between.
    SelectRow(std::min(row, rows_->rowCount() - 1));
    Refresh();
}

void CustomNameDialog::Clear() {
    rows_->setRowCount(0);
    Refresh();
}

void CustomNameDialog::MoveUp() {
    const int row = rows_->currentRow();
    if (row <= 0 || !rows_->selectionModel()->isRowSelected(row)) return;
    SwapRows(row, row - 1);
    SelectRow(row - 1);
    Refresh();
}

void CustomNameDialog::MoveDown() {
    const int row = rows_->currentRow();
    if (row < 0 || row + 1 >= rows_->rowCount() || !rows_->selectionModel()->isRowSelected(row))
        return;
    SwapRows(row, row + 1);
    SelectRow(row + 1);
    Refresh();
}

void CustomNameDialog::Refresh() {
    const int entry = std::max(separator_->currentIndex(), 0);
    const std::vector<int> codes = Codes();
    settings_.rip.outputNameCustom = CustomPatternText(codes);
    settings_.rip.outputNameSeparator = entry;
    preview_->setText(
        QString::fromStdString(CustomPatternPreview(codes, entry, settings_.ripExtension)));
}

void CustomNameDialog::done(int result) {
    // An empty pattern would give every track of a rip the same empty name, each file
    // replacing the one before; closing on an empty list keeps the starting pattern instead.
    if (rows_->rowCount() == 0) settings_.rip.outputNameCustom = kStartingCustomPattern;
    QDialog::done(result);
}

}  // namespace quelt
