// The overview page.
#include "OverviewPage.h"

#include "app/FileDialogs.h"
#include "host/FileAccess.h"
#include "host/FileTexts.h"
#include "host/ToolIcons.h"
#include "sheet/ConfigSheet.h"
#include "sheet/OverviewModel.h"
#include "sheet/SheetPdf.h"
#include "text/TextPair.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QSortFilterProxyModel>
#include <QTableView>
#include <QTextDocument>
#include <QToolButton>
#include <QVBoxLayout>

namespace korvex {

namespace {
constexpr TextPair FilterHint{"Поиск в таблице", "Search the table"};
constexpr TextPair ShownText{"Показано: %d", "Shown: %d"};
constexpr TextPair EmptyText{"Пустые тоже", "Empty entries too"};
constexpr TextPair PrintHint{"Печать... (Ctrl+P)", "Print... (Ctrl+P)"};
constexpr TextPair ExportHint{"Экспорт... (PDF или HTML)", "Export... (PDF or HTML)"};
constexpr TextPair ExportTitle{"Экспорт листа конфигурации", "Export the configuration sheet"};
} // namespace

OverviewPage::OverviewPage(const ConfigImage& image, const LanguageState& language, QWidget* parent)
    : QWidget(parent), image_(image), language_(language), model_(new OverviewModel(this)),
      filter_(new QSortFilterProxyModel(this)), parameters_(new QLabel(this)),
      count_(new QLabel(this)), filterEdit_(new QLineEdit(this)), empty_(new QCheckBox(this)),
      table_(new QTableView(this)), print_(new QToolButton(this)), export_(new QToolButton(this)) {
    setObjectName(QStringLiteral("TabSheetOverviewx"));
    parameters_->setObjectName(QStringLiteral("LabelOverviewParametersx"));
    count_->setObjectName(QStringLiteral("LabelOverviewCountx"));
    filterEdit_->setObjectName(QStringLiteral("EditOverviewFilterx"));
    empty_->setObjectName(QStringLiteral("CheckBoxOverviewEmptyx"));
    table_->setObjectName(QStringLiteral("TableOverviewx"));
    // Tab leaves the table for the page's next control; the arrow keys move within it.
    table_->setTabKeyNavigation(false);
    print_->setObjectName(QStringLiteral("SpeedButtonPrintx"));
    export_->setObjectName(QStringLiteral("SpeedButtonExportx"));
    for (QToolButton* button : {print_, export_}) {
        button->setAutoRaise(true);
        button->setIconSize(QSize(20, 20));
    }
    print_->setIcon(ToolIcon("print"));
    export_->setIcon(ToolIcon("export"));

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
    // Rows as high as their wrapped words, at any width of the window.
    table_->verticalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
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
    bar->addWidget(print_);
    bar->addWidget(export_);
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
    connect(print_, &QToolButton::clicked, this, [this] { Print(); });
    connect(export_, &QToolButton::clicked, this, [this] { Export(); });
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
    // The controller on one line: the page leaves the table as much room as it can.
    QStringList top = overview.parameters;
    if (!overview.controller.isEmpty())
        top.prepend(overview.controller.join(QStringLiteral("; ")));
    parameters_->setText(top.join(QLatin1Char('\n')));
    // After the rows were renewed whole, the same entry stays selected where it still is.
    if (entry >= 0 && !table_->currentIndex().isValid()) {
        for (int r = 0; r < model_->rowCount(); ++r)
            if (model_->EntryAt(r) == entry)
                table_->setCurrentIndex(filter_->mapFromSource(model_->index(r, 0)));
    }
    UpdateCount();
}

void OverviewPage::LanguageChanged() {
    filterEdit_->setPlaceholderText(LangText(FilterHint, language_));
    empty_->setText(LangText(EmptyText, language_));
    print_->setToolTip(LangText(PrintHint, language_));
    export_->setToolTip(LangText(ExportHint, language_));
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

QString OverviewPage::SheetHtmlNow() {
    const ConfigOverview overview =
        BuildOverview(image_.bytes, language_.current, identity ? identity() : nullptr);
    return SheetHtml(overview, {fileName ? fileName() : QString(), QDateTime::currentDateTime()},
                     language_.current);
}

void OverviewPage::Print() {
    QPrinter printer;
    printer.setPageSize(QPageSize(QPageSize::A4));
    QPrintDialog dialog(&printer, window());
    if (dialog.exec() != QDialog::Accepted)
        return;
    QTextDocument document;
    document.setHtml(SheetHtmlNow());
    document.print(&printer);
}

void OverviewPage::Export() {
    QFileDialog dialog(window(), LangText(ExportTitle, language_));
    dialog.setObjectName(QStringLiteral("DialogExportx"));
    SetDialogKind(dialog);
    dialog.setDirectory(DocumentsDirectory());
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilters({QStringLiteral("PDF (*.pdf)"), QStringLiteral("HTML (*.html)")});
    dialog.setDefaultSuffix(QStringLiteral("pdf"));
    // A name typed without an extension takes the chosen kind's.
    connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog](const QString& filter) {
        dialog.setDefaultSuffix(filter.startsWith(QLatin1String("HTML")) ? QStringLiteral("html")
                                                                         : QStringLiteral("pdf"));
    });
    const QString file = ExecSaveDialog(dialog, mayReplaceFile);
    if (file.isEmpty())
        return;
    const QString html = SheetHtmlNow();
    const bool asHtml = file.endsWith(QLatin1String(".html"), Qt::CaseInsensitive) ||
                        file.endsWith(QLatin1String(".htm"), Qt::CaseInsensitive);
    const QByteArray bytes =
        asHtml ? html.toUtf8() : SheetPdf(html, QFileInfo(file).completeBaseName());
    if (const FileProblem problem = WriteWholeFile(file, bytes); !problem.ok() && showError)
        showError(UnableToWriteText(QDir::toNativeSeparators(file), problem, language_.current));
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
