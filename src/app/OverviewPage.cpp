// The overview page.
#include "OverviewPage.h"

#include "sheet/OverviewModel.h"
#include "text/TextPair.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QSortFilterProxyModel>
#include <QTableView>
#include <QVBoxLayout>

namespace korvex {

namespace {
constexpr TextPair FilterHint{"Поиск в таблице", "Search the table"};
constexpr TextPair ShownText{"Показано: %d", "Shown: %d"};
constexpr TextPair EmptyText{"Пустые тоже", "Empty entries too"};
} // namespace

OverviewPage::OverviewPage(const ConfigImage& image, const LanguageState& language, QWidget* parent)
    : QWidget(parent), image_(image), language_(language), model_(new OverviewModel(this)),
      filter_(new QSortFilterProxyModel(this)), parameters_(new QLabel(this)),
      count_(new QLabel(this)), filterEdit_(new QLineEdit(this)), empty_(new QCheckBox(this)),
      table_(new QTableView(this)) {
    setObjectName(QStringLiteral("TabSheetOverviewx"));
    parameters_->setObjectName(QStringLiteral("LabelOverviewParametersx"));
    count_->setObjectName(QStringLiteral("LabelOverviewCountx"));
    filterEdit_->setObjectName(QStringLiteral("EditOverviewFilterx"));
    empty_->setObjectName(QStringLiteral("CheckBoxOverviewEmptyx"));
    table_->setObjectName(QStringLiteral("TableOverviewx"));

    parameters_->setWordWrap(true);
    parameters_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    filterEdit_->setClearButtonEnabled(true);
    filter_->setSourceModel(model_);
    filter_->setFilterKeyColumn(-1);
    filter_->setFilterCaseSensitivity(Qt::CaseInsensitive);
    table_->setModel(filter_);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setWordWrap(true);
    table_->verticalHeader()->hide();
    // The words share what the tab and the name leave.
    QHeaderView* header = table_->horizontalHeader();
    header->setSectionResizeMode(QHeaderView::ResizeToContents);
    header->setSectionResizeMode(OverviewModel::EventColumn, QHeaderView::Stretch);
    header->setSectionResizeMode(OverviewModel::ReactionColumn, QHeaderView::Stretch);
    table_->installEventFilter(this);

    auto* bar = new QHBoxLayout;
    bar->addWidget(filterEdit_, 1);
    bar->addWidget(count_);
    bar->addWidget(empty_);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addWidget(parameters_);
    layout->addLayout(bar);
    layout->addWidget(table_, 1);

    connect(filterEdit_, &QLineEdit::textChanged, this, [this](const QString& text) {
        filter_->setFilterFixedString(text);
        UpdateCount();
    });
    connect(empty_, &QCheckBox::toggled, this, [this] { Refresh(); });
    connect(table_, &QTableView::doubleClicked, this, [this](const QModelIndex& i) { ShowRow(i); });
    LanguageChanged();
}

void OverviewPage::Refresh() {
    if (!isVisible())
        return;
    const QModelIndex current = table_->currentIndex();
    const int entry = model_->EntryAt(filter_->mapToSource(current).row());
    const IdentityRecord* id = identity ? identity() : nullptr;
    if (!model_->Refresh(image_.bytes, language_.current, id, empty_->isChecked()))
        return;
    const ConfigOverview& overview = model_->overview();
    parameters_->setText((overview.controller + overview.parameters).join(QLatin1Char('\n')));
    // After the rows were renewed whole, the same entry stays selected where it still is.
    if (entry >= 0 && !table_->currentIndex().isValid()) {
        for (int r = 0; r < model_->rowCount(); ++r)
            if (model_->EntryAt(r) == entry)
                table_->setCurrentIndex(filter_->mapFromSource(model_->index(r, 0)));
    }
    table_->resizeRowsToContents();
    UpdateCount();
}

void OverviewPage::LanguageChanged() {
    filterEdit_->setPlaceholderText(LangText(FilterHint, language_));
    empty_->setText(LangText(EmptyText, language_));
    UpdateCount();
    Refresh();
}

void OverviewPage::UpdateCount() {
    count_->setText(LangFormat(ShownText, language_.current, filter_->rowCount()));
}

void OverviewPage::ShowRow(const QModelIndex& index) {
    const int entry = model_->EntryAt(filter_->mapToSource(index).row());
    if (entry >= 0 && showEntry)
        showEntry(entry);
}

bool OverviewPage::eventFilter(QObject* watched, QEvent* event) {
    if (watched == table_ && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if ((key == Qt::Key_Return || key == Qt::Key_Enter) && table_->currentIndex().isValid()) {
            ShowRow(table_->currentIndex());
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void OverviewPage::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    Refresh();
}

} // namespace korvex
