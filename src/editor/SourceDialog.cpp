// The source selection dialog.
#include "SourceDialog.h"

#include "ui_SourceDialog.h"

#include "text/TextPair.h"

#include <QGuiApplication>
#include <QScreen>

namespace korvex {

namespace {
constexpr TextPair Title{"Источники", "Sources"};
constexpr TextPair Hint{"Выберите источники", "Select the sources"};
constexpr int SourceCount = 8;
} // namespace

void PlaceOnScreen(QWidget* dialog, QPoint topLeft) {
    dialog->adjustSize();
    QPoint at = topLeft;
    if (const QScreen* screen = QGuiApplication::screenAt(topLeft)) {
        const QRect area = screen->availableGeometry();
        const QSize size = dialog->frameGeometry().size();
        at.setX(qBound(area.left(), at.x(), qMax(area.left(), area.right() + 1 - size.width())));
        at.setY(qBound(area.top(), at.y(), qMax(area.top(), area.bottom() + 1 - size.height())));
    }
    dialog->move(at);
}

SourceDialog::SourceDialog(QWidget* parent)
    : QDialog(parent, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      ui_(std::make_unique<Ui::SourceDialog>()) {
    ui_->setupUi(this);
    QListWidget* list = ui_->CheckListBoxInterceptSourcesx;
    for (int i = 1; i <= SourceCount; ++i) {
        auto* item = new QListWidgetItem(QString::number(i), list);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
    }
    // All eight rows without scrolling.
    list->setFixedHeight(list->sizeHintForRow(0) * SourceCount + 2 * list->frameWidth());
    setFixedWidth(217);
    connect(ui_->ButtonOK, &QPushButton::clicked, this, &QDialog::accept);
}

SourceDialog::~SourceDialog() = default;

bool SourceDialog::SelectSources(const QString& line1, const QString& line2, QPoint topLeft,
                                 std::uint8_t& mask, int language) {
    QListWidget* list = ui_->CheckListBoxInterceptSourcesx;
    list->setToolTip(LangText(Hint, language));
    setWindowTitle(LangText(Title, language));
    ui_->PanelCurrentSRCText1x->setText(line1);
    ui_->PanelCurrentSRCText2x->setText(line2);
    for (int i = 0; i < SourceCount; ++i)
        list->item(i)->setCheckState((mask & (1u << i)) != 0 ? Qt::Checked : Qt::Unchecked);
    list->setCurrentRow(0);
    PlaceOnScreen(this, topLeft);
    if (exec() != QDialog::Accepted)
        return false;
    std::uint8_t chosen = 0;
    for (int i = 0; i < SourceCount; ++i) {
        if (list->item(i)->checkState() == Qt::Checked)
            chosen |= std::uint8_t(1u << i);
    }
    mask = chosen;
    return true;
}

} // namespace korvex
