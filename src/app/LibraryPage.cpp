// The Library page.
#include "LibraryPage.h"

#include "config/ConfigDiff.h"
#include "config/ConfigFile.h"
#include "config/ConfigText.h"
#include "config/IniFile.h"
#include "config/LibraryScanner.h"
#include "host/QuietHost.h"
#include "sheet/ConfigOverview.h"
#include "text/TextPair.h"

#include <QAbstractTableModel>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSplitter>
#include <QTimer>
#include <QToolButton>
#include <QTreeView>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace korvex {

namespace {
constexpr TextPair HistoryHeading{"История этого контроллера", "History of this controller"};
constexpr TextPair HistoryOfHeading{"История контроллера", "History of the controller"};
constexpr TextPair SerialItem{"Контроллер %u", "Controller %u"};
constexpr TextPair NoSerials{"Снимков нет", "No snapshots"};
constexpr TextPair FilesHeading{"Папка библиотеки", "Library folder"};
constexpr TextPair FolderButton{"Папка…", "Folder…"};
constexpr TextPair FolderTitle{"Папка библиотеки", "Library folder"};
constexpr TextPair SearchHint{"Поиск: имя, описание, настройки", "Search: name, summary, settings"};
constexpr TextPair PreviewHeading{"Что изменится в окне", "What would change in the window"};
constexpr TextPair OpenButton{"Открыть", "Open"};
constexpr TextPair ApplyButton{"Применить", "Apply"};
constexpr TextPair WriteButton{"Записать в контроллер", "Write to controller"};
constexpr TextPair SaveButton{"Сохранить в библиотеку…", "Save to library…"};
constexpr TextPair ShowButton{"Показать в папке", "Show in folder"};
constexpr TextPair CopyButton{"Копировать текстом", "Copy as text"};
constexpr TextPair DateHeader{"Дата и время", "Date and time"};
constexpr TextPair DiffHeader{"Отличия", "Differences"};
constexpr TextPair NameHeader{"Имя", "Name"};
constexpr TextPair FolderHeader{"Папка", "Folder"};
constexpr TextPair SummaryHeader{"Кратко", "Summary"};
constexpr TextPair DamagedSnapshot{"поврежден", "damaged"};
constexpr TextPair GoneText{"Файла \"%s\" больше нет", "The file \"%s\" is gone"};
constexpr TextPair ChangedText{"Файл \"%s\" изменился: он прочитан снова",
                               "The file \"%s\" has changed: it is read again"};
constexpr TextPair UnusableText{"Файл \"%s\" не используется: %s",
                                "The file \"%s\" cannot be used: %s"};
constexpr TextPair SnapshotGoneText{"Снимка \"%s\" больше нет или он поврежден",
                                    "The snapshot \"%s\" is gone or damaged"};
constexpr TextPair ProposedName{"конфигурация", "configuration"};
constexpr QStringView FolderSection = u"MainSettings";
constexpr QStringView FolderKey = u"LibraryFolderx";
const QString DateFormat = QStringLiteral("yyyy-MM-dd HH:mm:ss");
constexpr int NamesInProposal = 3;
} // namespace

// The files that the search keeps, as a table.
class LibraryFilesModel final : public QAbstractTableModel {
public:
    enum Column { NameColumn, FolderColumn, DateColumn, SummaryColumn, ColumnCount };

    explicit LibraryFilesModel(QObject* parent) : QAbstractTableModel(parent) {}

    void Show(const QList<LibraryFile>& files, const QString& search, int language) {
        // A search typed on from the last one keeps a part of its files: only they are looked at.
        const bool narrower = !search_.isEmpty() && search.startsWith(search_) &&
                              files.constData() == files_.constData() && language == language_;
        beginResetModel();
        files_ = files;
        language_ = language;
        search_ = search;
        const LibrarySearch wanted(search);
        QList<int> shown;
        if (narrower) {
            for (const int i : std::as_const(shown_))
                if (LibraryFileMatches(files_.at(i), wanted))
                    shown.append(i);
        } else {
            shown.reserve(files_.size());
            for (qsizetype i = 0; i < files_.size(); ++i)
                if (LibraryFileMatches(files_.at(i), wanted))
                    shown.append(int(i));
        }
        shown_ = std::move(shown);
        endResetModel();
    }
    const LibraryFile* FileAt(int row) const {
        return row >= 0 && row < shown_.size() ? &files_.at(shown_.at(row)) : nullptr;
    }
    int RowOf(const QString& path) const {
        for (qsizetype i = 0; i < shown_.size(); ++i)
            if (files_.at(shown_.at(i)).path == path)
                return int(i);
        return -1;
    }
    QStringList headers;

    int rowCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : int(shown_.size());
    }
    int columnCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : ColumnCount;
    }
    Qt::ItemFlags flags(const QModelIndex& index) const override {
        const LibraryFile* f = FileAt(index.row());
        // A file that cannot be used is only greyed: the keyboard still reaches it, and its
        // reason with it.
        return f == nullptr ? Qt::NoItemFlags
                            : Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemNeverHasChildren;
    }
    QVariant data(const QModelIndex& index, int role) const override {
        const LibraryFile* f = FileAt(index.row());
        if (f == nullptr)
            return {};
        const int l = language_ == LangEnglish ? 1 : 0;
        if (role == Qt::ToolTipRole)
            return f->usable() ? QDir::toNativeSeparators(f->path) : f->problem[l];
        if (role == Qt::ForegroundRole && !f->usable())
            return QGuiApplication::palette().brush(QPalette::Disabled, QPalette::Text);
        if (role != Qt::DisplayRole && role != Qt::AccessibleTextRole)
            return {};
        switch (index.column()) {
        case NameColumn:
            return f->name;
        case FolderColumn:
            return QDir::toNativeSeparators(f->folder);
        case DateColumn:
            return f->modified.toString(DateFormat);
        case SummaryColumn:
            return f->usable() ? f->summary : f->problem[l];
        default:
            return {};
        }
    }
    QVariant headerData(int section, Qt::Orientation o, int role) const override {
        if (o == Qt::Horizontal && role == Qt::DisplayRole)
            return headers.value(section);
        return {};
    }

private:
    QList<LibraryFile> files_;
    QList<int> shown_;
    QString search_;
    int language_ = LangEnglish;
};

namespace {
QToolButton* Button(QWidget* parent, const char* name) {
    auto* b = new QToolButton(parent);
    b->setObjectName(QLatin1String(name));
    b->setToolButtonStyle(Qt::ToolButtonTextOnly);
    return b;
}

QLabel* Heading(QWidget* parent, const char* name) {
    auto* l = new QLabel(parent);
    l->setObjectName(QLatin1String(name));
    QFont bold = l->font();
    bold.setBold(true);
    l->setFont(bold);
    return l;
}

QString PathOfSnapshot(const QTreeWidgetItem* item) {
    return item != nullptr ? item->data(0, Qt::UserRole).toString() : QString();
}
} // namespace

LibraryPage::LibraryPage(const LanguageState& language, QString settingsPath, QString snapshotRoot,
                         QWidget* parent)
    : QWidget(parent), language_(language), settingsPath_(std::move(settingsPath)),
      history_(std::move(snapshotRoot)), scanner_(std::make_unique<LibraryScanner>()),
      model_(new LibraryFilesModel(this)), historyTimer_(new QTimer(this)) {
    setObjectName(QStringLiteral("TabSheetLibraryx"));
    historyHeading_ = Heading(this, "LibraryHistoryHeadingx");
    serials_ = new QComboBox(this);
    serials_->setObjectName(QStringLiteral("LibrarySerialx"));
    historyList_ = new QTreeWidget(this);
    historyList_->setObjectName(QStringLiteral("LibraryHistoryx"));
    historyList_->setRootIsDecorated(false);
    historyList_->setColumnCount(2);
    filesHeading_ = Heading(this, "LibraryFilesHeadingx");
    folderLabel_ = new QLabel(this);
    folderLabel_->setObjectName(QStringLiteral("LibraryFolderx"));
    folderLabel_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    folderButton_ = Button(this, "LibraryFolderButtonx");
    search_ = new QLineEdit(this);
    search_->setObjectName(QStringLiteral("LibrarySearchx"));
    search_->setClearButtonEnabled(true);
    filesList_ = new QTreeView(this);
    filesList_->setObjectName(QStringLiteral("LibraryFilesx"));
    filesList_->setModel(model_);
    filesList_->setRootIsDecorated(false);
    filesList_->setUniformRowHeights(true); // 10,000 rows are laid out by the one height
    filesList_->setSelectionMode(QAbstractItemView::SingleSelection);
    // Widths from the texts they hold, not from 10,000 rows measured.
    const int dateWidth =
        filesList_->fontMetrics().horizontalAdvance(QStringLiteral("2026-12-31 23:59:59")) + 16;
    filesList_->header()->resizeSection(LibraryFilesModel::NameColumn, dateWidth * 3 / 2);
    filesList_->header()->resizeSection(LibraryFilesModel::FolderColumn, dateWidth);
    filesList_->header()->resizeSection(LibraryFilesModel::DateColumn, dateWidth);
    previewHeading_ = Heading(this, "LibraryPreviewHeadingx");
    preview_ = new QPlainTextEdit(this);
    preview_->setObjectName(QStringLiteral("LibraryPreviewx"));
    preview_->setReadOnly(true);
    notice_ = new QLabel(this);
    notice_->setObjectName(QStringLiteral("LibraryNoticex"));
    notice_->setWordWrap(true);
    open_ = Button(this, "LibraryOpenx");
    apply_ = Button(this, "LibraryApplyx");
    write_ = Button(this, "LibraryWritex");
    save_ = Button(this, "LibrarySavex");
    show_ = Button(this, "LibraryShowx");
    copy_ = Button(this, "LibraryCopyx");

    auto* left = new QWidget(this);
    auto* leftLayout = new QVBoxLayout(left);
    leftLayout->setContentsMargins(0, 0, 0, 0);
    leftLayout->addWidget(historyHeading_);
    leftLayout->addWidget(serials_);
    leftLayout->addWidget(historyList_, 1);
    auto* folderRow = new QHBoxLayout;
    folderRow->addWidget(filesHeading_);
    folderRow->addWidget(folderLabel_, 1);
    folderRow->addWidget(folderButton_);
    leftLayout->addLayout(folderRow);
    leftLayout->addWidget(search_);
    leftLayout->addWidget(filesList_, 2);
    auto* right = new QWidget(this);
    auto* rightLayout = new QVBoxLayout(right);
    rightLayout->setContentsMargins(0, 0, 0, 0);
    rightLayout->addWidget(previewHeading_);
    rightLayout->addWidget(preview_, 1);
    auto* splitter = new QSplitter(this);
    splitter->addWidget(left);
    splitter->addWidget(right);
    splitter->setStretchFactor(0, 3);
    splitter->setStretchFactor(1, 2);
    auto* buttons = new QHBoxLayout;
    for (QToolButton* b : {open_, apply_, write_, save_, show_, copy_})
        buttons->addWidget(b);
    buttons->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(splitter, 1);
    layout->addWidget(notice_);
    layout->addLayout(buttons);
    // The keyboard's order: the history, the folder, the search, the files, the preview, the
    // actions.
    QWidget* order[] = {serials_, historyList_, folderButton_, search_, filesList_, preview_,
                        open_,    apply_,       write_,        save_,   show_,      copy_};
    for (std::size_t i = 0; i + 1 < std::size(order); ++i)
        setTabOrder(order[i], order[i + 1]);

    connect(folderButton_, &QToolButton::clicked, this, [this] { ChooseFolderByDialog(); });
    connect(search_, &QLineEdit::textChanged, this, [this] { Search(); });
    connect(scanner_.get(), &LibraryScanner::listed, this, [this] { Listed(); });
    connect(historyTimer_, &QTimer::timeout, this, [this] { FollowHistory(); });
    connect(serials_, &QComboBox::activated, this, [this] {
        historyKey_.clear();
        FollowHistory();
    });
    connect(filesList_->selectionModel(), &QItemSelectionModel::currentRowChanged, this, [this] {
        snapshotSelected_ = false;
        historyList_->clearSelection();
        ShowPreview();
    });
    connect(historyList_, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
        if (item == nullptr)
            return;
        snapshotSelected_ = true;
        filesList_->clearSelection();
        ShowPreview();
    });
    connect(filesList_, &QTreeView::doubleClicked, this, [this] { OpenSelected(); });
    connect(open_, &QToolButton::clicked, this, [this] { OpenSelected(); });
    connect(apply_, &QToolButton::clicked, this, [this] { ApplySelected(); });
    connect(write_, &QToolButton::clicked, this, [this] { WriteSelected(); });
    connect(save_, &QToolButton::clicked, this, [this] { SaveToLibrary(); });
    connect(show_, &QToolButton::clicked, this, [this] { ShowSelectedInFolder(); });
    connect(copy_, &QToolButton::clicked, this, [this] { CopySelected(); });
    filesList_->installEventFilter(this);
    historyTimer_->setInterval(LibraryScanner::RescanMs);
    LanguageChanged();
    UpdateButtons();
}

LibraryPage::~LibraryPage() = default;

int LibraryPage::lang() const {
    return language_.current == LangEnglish ? 1 : 0;
}

void LibraryPage::LanguageChanged() {
    const int l = language_.current;
    scanner_->SetLanguage(l);
    filesHeading_->setText(LangText(FilesHeading, l));
    folderButton_->setText(LangText(FolderButton, l));
    search_->setPlaceholderText(LangText(SearchHint, l));
    previewHeading_->setText(LangText(PreviewHeading, l));
    const std::pair<QToolButton*, const TextPair*> buttons[] = {
        {open_, &OpenButton}, {apply_, &ApplyButton}, {write_, &WriteButton},
        {save_, &SaveButton}, {show_, &ShowButton},   {copy_, &CopyButton}};
    for (const auto& [button, text] : buttons) {
        button->setText(LangText(*text, l));
        button->setAccessibleName(LangText(*text, l).remove(QChar(u'…')));
    }
    historyList_->setHeaderLabels({LangText(DateHeader, l), LangText(DiffHeader, l)});
    model_->headers = QStringList{LangText(NameHeader, l), LangText(FolderHeader, l),
                                  LangText(DateHeader, l), LangText(SummaryHeader, l)};
    historyList_->setAccessibleName(LangText(HistoryHeading, l));
    serials_->setAccessibleName(LangText(HistoryOfHeading, l));
    filesList_->setAccessibleName(LangText(FilesHeading, l));
    folderButton_->setAccessibleName(LangText(FolderTitle, l));
    search_->setAccessibleName(LangText(SearchHint, l));
    preview_->setAccessibleName(LangText(PreviewHeading, l));
    historyKey_.clear();
    folderProblemSaid_.clear();
    if (started_) {
        FollowHistory();
        Listed();
    }
}

QString LibraryPage::Folder() const {
    if (!chosenFolder_.isEmpty())
        return chosenFolder_;
    IniFile ini(settingsPath_);
    if (!ini.Load())
        return {};
    const QString kept = ini.ReadString(FolderSection, FolderKey, QString());
    if (!kept.isEmpty())
        return kept;
    // The open dialog's last file names where the user keeps configurations.
    const QString last = ini.ReadString(u"DirectoryConfig", u"KORVEX-SWC-ADP", QString());
    return last.isEmpty() ? QString() : QFileInfo(last).absolutePath();
}

void LibraryPage::ChooseFolder(const QString& folder) {
    chosenFolder_ = QDir::cleanPath(folder);
    // The settings file keeps it only when the user chose it here.
    IniFile ini(settingsPath_);
    if (ini.Load() && ini.WriteString(FolderSection, FolderKey, chosenFolder_))
        (void)ini.Save(); // a settings file that cannot be written costs only the next start
    folderProblemSaid_.clear();
    folderLabel_->setText(QDir::toNativeSeparators(chosenFolder_));
    scanner_->SetFolder(chosenFolder_);
}

void LibraryPage::ChooseFolderByDialog() {
    const QString folder = QFileDialog::getExistingDirectory(
        this, LangText(FolderTitle, language_.current), Folder(),
        QFileDialog::ShowDirsOnly | QFileDialog::DontUseNativeDialog);
    if (!folder.isEmpty())
        ChooseFolder(folder);
}

void LibraryPage::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    Start();
    // What changed while the page was hidden shows at once.
    scanner_->SetPaused(false);
    historyTimer_->start();
    FollowHistory();
}

void LibraryPage::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    // Hidden, the page costs nothing: neither the folder nor the history is looked at.
    scanner_->SetPaused(true);
    historyTimer_->stop();
}

void LibraryPage::Start() {
    // Nothing is read before the page is first shown.
    if (started_)
        return;
    started_ = true;
    const QString folder = Folder();
    folderLabel_->setText(QDir::toNativeSeparators(folder));
    if (!folder.isEmpty())
        scanner_->SetFolder(folder);
}

void LibraryPage::FollowHistory() {
    const int l = language_.current;
    const std::uint32_t connected = links.connectedSerial ? links.connectedSerial() : 0;
    std::uint32_t serial = connected;
    serials_->setEnabled(connected == 0);
    if (connected != 0) {
        historyHeading_->setText(LangText(HistoryHeading, l));
        if (serials_->count() != 1 || serials_->itemData(0).toUInt() != connected) {
            serials_->clear();
            serials_->addItem(LangFormat(SerialItem, l, unsigned(connected)), connected);
        }
    } else {
        historyHeading_->setText(LangText(HistoryOfHeading, l));
        const QList<std::uint32_t> all = history_.Serials();
        const std::uint32_t chosen = serials_->currentData().toUInt();
        QList<std::uint32_t> listed;
        for (int i = 0; i < serials_->count(); ++i)
            listed << serials_->itemData(i).toUInt();
        if (listed != all) {
            serials_->clear();
            for (std::uint32_t s : all)
                serials_->addItem(LangFormat(SerialItem, l, unsigned(s)), s);
            const int at = serials_->findData(chosen);
            serials_->setCurrentIndex(at >= 0 ? at : 0);
        }
        if (all.isEmpty())
            serials_->setPlaceholderText(LangText(NoSerials, l));
        serial = serials_->currentData().toUInt();
    }
    QList<HistoryItem> items;
    if (serial != 0 || serials_->count() > 0) {
        const ConfigBytes* now = links.windowBytes ? &links.windowBytes() : nullptr;
        items = history_.List(serial, now);
    }
    QString key = QString::number(serial);
    for (const HistoryItem& item : items)
        key += item.file.path + QString::number(item.readable ? item.differences : -1);
    if (key == historyKey_)
        return;
    historyKey_ = key;
    const QString selected = PathOfSnapshot(historyList_->currentItem());
    const QSignalBlocker quiet(historyList_);
    historyList_->clear();
    for (const HistoryItem& item : items) {
        auto* row = new QTreeWidgetItem(historyList_);
        row->setText(0, item.file.taken.toLocalTime().toString(DateFormat));
        row->setText(1, item.readable ? DifferenceText(item.differences, l)
                                      : LangText(DamagedSnapshot, l));
        row->setData(0, Qt::UserRole, item.file.path);
        row->setToolTip(0, QDir::toNativeSeparators(item.file.path));
        if (!item.readable)
            row->setDisabled(true);
        if (item.file.path == selected)
            historyList_->setCurrentItem(row);
    }
    historyList_->resizeColumnToContents(0);
    if (snapshotSelected_)
        ShowPreview();
    UpdateButtons();
}

void LibraryPage::Listed() {
    const LibraryListing& listing = scanner_->listing();
    const QString problem = listing.problem[static_cast<std::size_t>(lang())];
    // A removed drive is said once, not at every look; the history goes on meanwhile.
    if (problem != folderProblemSaid_) {
        folderProblemSaid_ = problem;
        Notice(problem);
    }
    Search();
}

void LibraryPage::Search() {
    const LibraryFile* current = model_->FileAt(filesList_->currentIndex().row());
    const QString selected = current != nullptr ? current->path : QString();
    model_->Show(scanner_->listing().files, search_->text(), language_.current);
    const int row = model_->RowOf(selected);
    if (row >= 0) {
        const QSignalBlocker quiet(filesList_->selectionModel());
        filesList_->setCurrentIndex(model_->index(row, 0));
    }
    if (!snapshotSelected_)
        ShowPreview();
    UpdateButtons();
}

const LibraryFile* LibraryPage::SelectedFile() const {
    if (snapshotSelected_)
        return nullptr;
    return model_->FileAt(filesList_->currentIndex().row());
}

bool LibraryPage::SelectedFileStillThere() {
    const LibraryFile* file = SelectedFile();
    if (file == nullptr)
        return false;
    const QByteArray name = file->name.toUtf8();
    const QFileInfo now(file->path);
    if (!now.exists()) {
        Notice(LangFormat(GoneText, language_.current, name.constData()));
        scanner_->Rescan();
        return false;
    }
    if (!file->usable()) {
        Notice(LangFormat(UnusableText, language_.current, name.constData(),
                          file->problem[static_cast<std::size_t>(lang())].toUtf8().constData()));
        return false;
    }
    if (now.size() != file->size || now.lastModified() != file->modified) {
        // What the preview showed is not what the action would take.
        Notice(LangFormat(ChangedText, language_.current, name.constData()));
        scanner_->Rescan();
        return false;
    }
    return true;
}

bool LibraryPage::SelectedSnapshot(ConfigBytes& bytes, QString& path) {
    path = PathOfSnapshot(historyList_->currentItem());
    if (!snapshotSelected_ || path.isEmpty())
        return false;
    ConfigImage image;
    QuietHost quiet;
    if (!IsWholeConfigFile(path) || !LoadConfigFile(path, image, quiet)) {
        Notice(LangFormat(SnapshotGoneText, language_.current,
                          QFileInfo(path).fileName().toUtf8().constData()));
        historyKey_.clear();
        FollowHistory();
        return false;
    }
    bytes = image.bytes;
    return true;
}

void LibraryPage::ShowPreview() {
    const int l = language_.current;
    const ConfigBytes now = links.windowBytes ? links.windowBytes() : ConfigBytes{};
    QStringList lines;
    if (snapshotSelected_) {
        const QString path = PathOfSnapshot(historyList_->currentItem());
        ConfigImage image;
        QuietHost quiet;
        if (!path.isEmpty() && IsWholeConfigFile(path) && LoadConfigFile(path, image, quiet))
            lines = DiffNotingRules(now, image.bytes, l);
    } else if (const LibraryFile* file = SelectedFile()) {
        if (file->usable())
            lines = DiffNotingRules(now, LibraryFileApplied(*file, now), l);
        else
            lines << file->problem[static_cast<std::size_t>(lang())];
    }
    preview_->setPlainText(lines.join(QLatin1Char('\n')));
    UpdateButtons();
}

void LibraryPage::UpdateButtons() {
    const LibraryFile* file = SelectedFile();
    const bool usable = file != nullptr && file->usable();
    const bool snapshot = snapshotSelected_ && historyList_->currentItem() != nullptr &&
                          !historyList_->currentItem()->isDisabled();
    const bool connected = links.connectedSerial && links.connectedSerial() != 0;
    open_->setEnabled(usable);
    apply_->setEnabled(usable && file->snippet);
    write_->setEnabled(snapshot && connected);
    save_->setEnabled(!scanner_->folder().isEmpty());
    show_->setEnabled(file != nullptr || snapshot);
    copy_->setEnabled(snapshot);
}

void LibraryPage::Notice(const QString& text) {
    notice_->setText(text);
    notice_->setAccessibleName(text);
}

void LibraryPage::OpenSelected() {
    if (!SelectedFileStillThere())
        return;
    // The open path asks itself before it drops work of the window's own.
    if (links.openFile)
        links.openFile(SelectedFile()->path);
}

void LibraryPage::ApplySelected() {
    if (!SelectedFileStillThere() || !SelectedFile()->snippet)
        return;
    if (links.applyText)
        links.applyText(SelectedFile()->text, SelectedFile()->name);
}

void LibraryPage::WriteSelected() {
    ConfigBytes bytes;
    QString path;
    if (!SelectedSnapshot(bytes, path))
        return;
    // The window's configuration is replaced by the snapshot put back.
    if (links.mayDropWork && !links.mayDropWork())
        return;
    if (links.writeToController)
        links.writeToController(bytes);
    historyKey_.clear();
    FollowHistory();
}

void LibraryPage::SaveToLibrary() {
    const QString folder = scanner_->folder();
    if (folder.isEmpty() || !links.saveAs)
        return;
    ConfigBytes now = links.windowBytes ? links.windowBytes() : ConfigBytes{};
    QStringList names;
    for (const OverviewRow& row : BuildOverview(now, language_.current, nullptr).rows)
        if (!row.empty && !row.name.trimmed().isEmpty() && names.size() < NamesInProposal)
            names << row.name.trimmed();
    QString name = names.join(QLatin1Char(' '));
    // Characters no file name may hold on Windows.
    static const QString forbidden = QStringLiteral("\\/:*?\"<>|");
    for (QChar& c : name)
        if (forbidden.contains(c) || c.unicode() < 0x20)
            c = u'_';
    name = name.trimmed();
    if (name.isEmpty())
        name = LangText(ProposedName, language_.current);
    links.saveAs(QDir(folder).filePath(name + QStringLiteral(".KSWA")));
    scanner_->Rescan();
}

void LibraryPage::ShowSelectedInFolder() {
    QString path;
    if (const LibraryFile* file = SelectedFile())
        path = file->path;
    else if (snapshotSelected_)
        path = PathOfSnapshot(historyList_->currentItem());
    if (!path.isEmpty() && links.showFolder)
        links.showFolder(QFileInfo(path).absolutePath());
}

void LibraryPage::CopySelected() {
    ConfigBytes bytes;
    QString path;
    if (!SelectedSnapshot(bytes, path) || !links.copyText)
        return;
    ConfigTextOptions options;
    options.language = language_.current;
    options.written = QFileInfo(path).lastModified();
    links.copyText(WriteConfigText(bytes, options));
}

bool LibraryPage::eventFilter(QObject* watched, QEvent* event) {
    if (watched == filesList_ && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            OpenSelected();
            return true;
        }
        // Files are never deleted from here.
        if (key == Qt::Key_Delete)
            return true;
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace korvex
