#include "filedialog.h"

#include "ui_filedialog.h"

#include "appfont.h"
#include "appglobals.h"
#include "driveprobe.h"
#include "filedialogpaintpause.h"
#include "foldertreemodel.h"
#include "foldertreeview.h"
#include "framelesshelper.h"
#include "partnerfile.h"
#include "skin.h"

#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QScrollBar>
#include <QTableWidget>

#include <algorithm>

namespace {

constexpr int columnCount = 3;
constexpr double columnPercent[columnCount] = {30, 16, 8};
constexpr int headerMaskWidthPx = 50;
constexpr int captionPaddingPx = 10; // the header sections' left padding (see applyStyle)
constexpr int titlePixelSize = 31;
constexpr int bodyPixelSize = 18;

// The application's font at a pixel size, normal weight.
QFont appFontOfSize(int pixelSize)
{
    QFont font = getAppFont(false);
    font.setPixelSize(pixelSize);
    return font;
}

// "File Dialog" texts (textDesktop is the class's)
constexpr int textOpenFile = 1;
constexpr int textSelect = 4;
constexpr int textOpen = 5;
constexpr int textCancel = 6;
// "List" column captions
constexpr int textFileColumn = 5;

} // namespace

FileDialog_C::FileDialog_C(QWidget *parent)
    : QDialog(parent), ui(std::make_unique<Ui::FileDialog_C>())
{
    ui->setupUi(this);
    tree = ui->diskDirList;
    expandedArrowImage = skinImage(QStringLiteral("openfile_triangle_selected"));
    collapsedArrowImage = skinImage(QStringLiteral("openfile_triangle"));
    folderImage = skinImage(QStringLiteral("openfile_folder"));
    openFolderImage = skinImage(QStringLiteral("openfile_folder_selected"));

    headerMask = new QLabel(this);
    restyleHeaderMask(headerMaskWidthPx);
    ui->headerGridLayout->addWidget(headerMask, 0, 0, Qt::AlignRight);

    setWindowFlags(Qt::FramelessWindowHint);
    setWindowModality(Qt::ApplicationModal);
    FramelessHelper::install(this);
    tree->setViewMode(QListView::ListMode);
    drives = new DriveProbe(this);
    connect(drives, &DriveProbe::answered, this, &FileDialog_C::onDrivesAnswered);
    folderReads = new DriveProbe(this);
    connect(folderReads, &DriveProbe::folderRead, this, &FileDialog_C::onFolderListed);
    connect(folderReads, &DriveProbe::folderNotInTime, this,
            &FileDialog_C::onFolderNotListedInTime);
    entryReads = new DriveProbe(this);
    connect(entryReads, &DriveProbe::folderRead, this, &FileDialog_C::onEntryKnown);
    videoReads = new DriveProbe(this);
    connect(videoReads, &DriveProbe::folderRead, this, &FileDialog_C::onVideosListed);
    connect(videoReads, &DriveProbe::folderNotInTime, this, &FileDialog_C::onVideosNotListedInTime);
    buildDriveTree();

    setupTables();
    showFolder(currentPath);

    connect(ui->open_btn, &QPushButton::clicked, this, &FileDialog_C::chooseNewDir);
    connect(ui->btn_close, &QPushButton::clicked, this, &FileDialog_C::cancleChoose);
    connect(ui->cancel_btn, &QPushButton::clicked, this, &FileDialog_C::cancleChoose);
    connect(tree, &QListView::clicked, this, &FileDialog_C::abstractItemView_clicked);
    // a press on an arrow swallows the clicked() that ends that press only: one released on
    // another row makes none, and the next click must count
    connect(tree, &FileListView_C::pressEnded, this, [this] { suppressNextClick = false; });
    connect(tree->treeModel(), &FileListModel::clickEvent, this, &FileDialog_C::displayDirClicked);
    connect(ui->diskFileList, &QTableWidget::itemSelectionChanged, this,
            &FileDialog_C::fileItemPressed);
    connect(ui->diskFileList, &QTableWidget::itemDoubleClicked, this,
            &FileDialog_C::fileitemDoubleClicked);
    connect(ui->diskFileList->horizontalScrollBar(), &QScrollBar::valueChanged, this,
            &FileDialog_C::setScrollBarValue);
    connect(ui->headerTableWidget->horizontalHeader(), &QHeaderView::sectionResized, this,
            &FileDialog_C::setTabelWidgetWidth);

    headerMask->raise();
}

FileDialog_C::~FileDialog_C() = default;

bool FileDialog_C::isReading() const
{
    return drives->isAsking() || folderReads->isReading() || entryReads->isReading() ||
           videoReads->isReading() || !pendingKinds.isEmpty();
}

void FileDialog_C::setupTables()
{
    QStringList labels;
    int widths[columnCount];
    for (int i = 0; i < columnCount; ++i) {
        labels << gLangList.value(textFileColumn + i);
        widths[i] = static_cast<int>(width() / 100.0 * columnPercent[i]);
    }
    // the last caption whole beside the mask over the header row's right end: its column takes
    // the room from the file column
    const int sizeNeed =
        captionPaddingPx +
        QFontMetrics(appFontOfSize(bodyPixelSize)).horizontalAdvance(labels.last()) +
        headerMaskWidthPx;
    const int grow = std::max(sizeNeed - widths[columnCount - 1], 0);
    widths[columnCount - 1] += grow;
    widths[0] -= grow;
    for (QTableWidget *table : {ui->diskFileList, ui->headerTableWidget}) {
        table->verticalHeader()->hide();
        table->setShowGrid(false);
        table->setEditTriggers(QAbstractItemView::NoEditTriggers);
        table->setSelectionBehavior(QAbstractItemView::SelectRows);
        table->setSelectionMode(QAbstractItemView::ExtendedSelection);
        table->setFocusPolicy(Qt::NoFocus);
        table->setColumnCount(columnCount);
        table->setHorizontalHeaderLabels(labels);
        table->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        // the layout's stretch factors (header 10, table 90) decide the heights
        table->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Ignored);
        for (int column = 0; column < columnCount; ++column)
            table->setColumnWidth(column, widths[column]);
    }
    ui->diskFileList->horizontalHeader()->hide();
    ui->headerTableWidget->horizontalHeader()->setSectionResizeMode(2, QHeaderView::Fixed);
    ui->headerTableWidget->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    ui->headerTableWidget->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
}

void FileDialog_C::setMode(int newMode)
{
    mode = newMode;
    if (mode == OpenFiles) {
        ui->fileOpen_title->setText(gLangFileDialog.value(textOpenFile));
        ui->open_btn->setText(gLangFileDialog.value(textOpen));
        listVideoFilesAfterCd();
    } else if (mode == SelectSaveFolder || mode == SelectFolder) {
        // no videos are listed in these modes
        startFolder.clear();
        videosPending = false;
        ui->fileOpen_title->setText(gLangFileDialog.value(textOpenFile + mode));
        ui->open_btn->setText(gLangFileDialog.value(textSelect));
    }
    ui->cancel_btn->setText(gLangFileDialog.value(textCancel));
    if (hasDesktopRow)
        tree->itemAt(0)->name = gLangFileDialog.value(textDesktop);

    ui->fileOpen_title->setFont(appFontOfSize(titlePixelSize));
    const QFont bodyFont = appFontOfSize(bodyPixelSize);
    ui->diskFileList->setFont(bodyFont);
    ui->headerTableWidget->setFont(bodyFont);
    ui->headerTableWidget->horizontalHeader()->setFont(bodyFont);
    ui->open_btn->setFont(bodyFont);
    ui->cancel_btn->setFont(bodyFont);
    tree->viewport()->update();
}

void FileDialog_C::showFolder(const QString &folder)
{
    currentPath = folder;
    ui->DirPath->setText(folder);
    ui->DirPath->adjustSize();
    ui->scrollAreaWidgetContents->setMinimumSize(ui->DirPath->size());
}

void FileDialog_C::listVideoFiles()
{
    // names chosen in the folder listed before must never reach Open
    fillVideoTable({});
    videosPending = true;
    askVideos(currentPath);
}

void FileDialog_C::askVideos(const QString &folder)
{
    videoReads->read(folder, [](const QString &asked) {
        return QVariant::fromValue(FileDialogFiles::listing(asked));
    });
}

void FileDialog_C::onVideosListed(const QString &folder, const QVariant &value)
{
    const auto listing = value.value<FileDialogFiles::Listing>();
    if (!startFolder.isEmpty() && folder == startFolder) {
        startFolder.clear();
        if (!listing.isFolder) {
            startOnFirstRow();
            return;
        }
        showFolder(QDir::cleanPath(folder));
        fillVideoTable(listing.rows);
        revealFolder(folder);
    } else if (videosPending && folder == currentPath && mode == OpenFiles) {
        videosPending = false;
        fillVideoTable(listing.rows);
    }
}

void FileDialog_C::onVideosNotListedInTime(const QString &folder)
{
    // a remembered folder that does not answer is as good as gone; a chosen one stays shown,
    // empty until its answer comes
    if (!startFolder.isEmpty() && folder == startFolder) {
        startFolder.clear();
        startOnFirstRow();
    }
}

void FileDialog_C::fillVideoTable(const QVector<FileDialogFiles::Row> &rows)
{
    QTableWidget *table = ui->diskFileList;
    {
        FileDialogPaintPause pause{table};
        table->clearContents();
        table->setRowCount(0);
        table->setRowCount(rows.size());
        for (int row = 0; row < rows.size(); ++row) {
            const FileDialogFiles::Row &file = rows.at(row);
            table->setItem(row, 0, new QTableWidgetItem(file.name));
            table->setItem(row, 1, new QTableWidgetItem(file.created));
            table->setItem(row, 2, new QTableWidgetItem(file.sizeMiB));
        }
    }
    fileItemPressed();
}

void FileDialog_C::fileItemPressed()
{
    selectedNames.clear();
    selectionText.clear();
    QTableWidget *table = ui->diskFileList;
    for (int row = 0; row < table->rowCount(); ++row) {
        const QTableWidgetItem *item = table->item(row, 0);
        if (item && item->isSelected()) {
            selectedNames << item->text();
            selectionText += QLatin1Char('"') + item->text() + QStringLiteral("\" ");
        }
    }
    if (mode == OpenFiles)
        ui->chooseFileName->setText(selectionText);
}

void FileDialog_C::fileitemDoubleClicked(QTableWidgetItem *item)
{
    const QTableWidgetItem *nameItem = item ? ui->diskFileList->item(item->row(), 0) : nullptr;
    if (!nameItem)
        return;
    selectedNames = QStringList{nameItem->text()};
    selectionText = QLatin1Char('"') + nameItem->text() + QStringLiteral("\" ");
    ui->chooseFileName->setText(selectionText);
    chooseNewDir();
}

void FileDialog_C::chooseNewDir()
{
    if (closing)
        return;
    if (mode == OpenFiles) {
        const QDir folder(currentPath);
        QString lastPartner;
        for (const QString &name : selectedNames) {
            const QString path = folder.filePath(name);
            if (path == lastPartner)
                continue; // already added as the partner of the file before it
            lastPartner = partnerFilePath(path);
            resultUrls << QUrl::fromLocalFile(path);
            if (!lastPartner.isEmpty())
                resultUrls << QUrl::fromLocalFile(lastPartner);
        }
        closing = true;
        emit openFileList(resultUrls);
    } else {
        closing = true;
        emit openFolderName(ui->DirPath->text());
    }
    close();
}

void FileDialog_C::cancleChoose()
{
    if (closing)
        return;
    closing = true;
    emit openFileList(QList<QUrl>());
    close();
}

void FileDialog_C::reject()
{
    // also from closeEvent (Escape, the window's close, its owner closing), where a nested
    // close() would be ignored and leave the chooser open
    if (!closing) {
        closing = true;
        emit openFileList(QList<QUrl>());
    }
    QDialog::reject();
}

void FileDialog_C::restyleHeaderMask(int widthPx)
{
    headerMask->setStyleSheet(
        // top margin as the header row's top padding, so the strip lines up with the header
        QStringLiteral("QLabel {border-image:url(%1);margin-top:10px;margin-right:4px;}")
            .arg(skinImage(QStringLiteral("openfile_border_mask"))));
    headerMask->setFixedWidth(widthPx);
}

void FileDialog_C::setTabelWidgetWidth()
{
    QHeaderView *header = ui->headerTableWidget->horizontalHeader();
    auto widthOf = [header](int column) { return header->sectionSize(column); };
    for (int column = 0; column < columnCount; ++column)
        ui->diskFileList->setColumnWidth(column, widthOf(column));
    spareWidth = headerAreaWidth - widthOf(0) - widthOf(1) - widthOf(2);
    const int scrolled = ui->headerTableWidget->horizontalScrollBar()->value();
    if (scrolled == 1) {
        spareWidth = headerAreaWidth - scrolledRoom - widthOf(1) - widthOf(2);
        if (scrolledColumnWidth > widthOf(0))
            spareWidth += scrolledColumnWidth - widthOf(0);
    } else if (scrolled == 2) {
        spareWidth = headerAreaWidth - scrolledRoom - widthOf(2);
        if (scrolledColumnWidth > widthOf(1))
            spareWidth += scrolledColumnWidth - widthOf(1);
    }
    restyleHeaderMask(spareWidth < 1 ? headerMaskWidthPx : spareWidth + headerMaskWidthPx);
}

void FileDialog_C::setScrollBarValue()
{
    QScrollBar *fileBar = ui->diskFileList->horizontalScrollBar();
    QScrollBar *headerBar = ui->headerTableWidget->horizontalScrollBar();
    headerBar->setValue(fileBar->value());
    if (fileBar->value() == fileBar->maximum()) {
        restyleHeaderMask(headerMaskWidthPx);
        atRightEnd = true;
    } else if (atRightEnd) {
        restyleHeaderMask(0);
    }
    if (headerBar->value() != headerBar->maximum())
        return;
    QHeaderView *header = ui->headerTableWidget->horizontalHeader();
    if (headerBar->value() == 1) {
        scrolledColumnWidth = header->sectionSize(0);
        scrolledRoom = headerAreaWidth - header->sectionSize(1) - header->sectionSize(2);
    } else if (headerBar->value() == 2) {
        scrolledColumnWidth = header->sectionSize(1);
        scrolledRoom = headerAreaWidth - header->sectionSize(2);
    }
}
