// The tab name dialog.
#include "TabNameDialog.h"

#include "ui_TabNameDialog.h"

#include "editor/SourceDialog.h"
#include "text/Cp1251.h"
#include "text/TextPair.h"

#include <QFontDatabase>
#include <QValidator>

namespace korvex {

namespace {

constexpr TextPair Title{"Задайте имя для %d вкладки", "Set name for %d tab"};

// A character that code page 1251 cannot hold never enters the edit.
class Cp1251Validator final : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int&) const override {
        return EncodeCp1251(input) ? Acceptable : Invalid;
    }
};

} // namespace

TabNameDialog::TabNameDialog(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                          Qt::WindowStaysOnTopHint),
      ui_(std::make_unique<Ui::TabNameDialog>()) {
    ui_->setupUi(this);
    QLineEdit* edit = ui_->EditEventReaction;
    edit->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    edit->setMaxLength(EntryNameSize);
    edit->setValidator(new Cp1251Validator(edit));
    // Enter is OK; Escape is the dialog's own Cancel.
    connect(edit, &QLineEdit::returnPressed, this, &QDialog::accept);
    connect(ui_->BitBtnOk, &QPushButton::clicked, this, &QDialog::accept);
}

TabNameDialog::~TabNameDialog() = default;

void TabNameDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // Typing replaces the old name.
    ui_->EditEventReaction->setFocus();
    ui_->EditEventReaction->selectAll();
}

bool TabNameDialog::EditTabName(QPoint topLeft, int tab, ConfigImage& image, int language) {
    if (tab < 0 || tab >= EntryCount)
        return false;
    const EntryRef entry(image.bytes, tab);
    QLineEdit* edit = ui_->EditEventReaction;
    edit->setText(DecodeCp1251(entry.name()));
    setWindowTitle(LangFormat(Title, language, tab + 1));
    PlaceOnScreen(this, topLeft);
    if (exec() != QDialog::Accepted)
        return false;
    const std::optional<QByteArray> name = EncodeCp1251(edit->text());
    if (!name)
        return false;
    entry.setName(*name);
    return true;
}

} // namespace korvex
