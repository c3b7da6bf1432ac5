// The file chooser in a real window, on a temporary home folder: root rows, mode texts and
// signals, the start folder, selecting, expanding and collapsing rows, Open with partner files
// and Cancel.
#include "appglobals.h"
#include "fatcard.h"
#include "filedialog.h"
#include "filedialogfiles.h"
#include "foldertreemodel.h"
#include "foldertreeview.h"
#include "freezewatch.h"
#include "removabledrives.h"
#include "testsupport.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTemporaryDir>

namespace {

const QStringList englishFileDialogTexts{QString(),
                                         QStringLiteral("Open File"),
                                         QStringLiteral("Select Save Folder"),
                                         QStringLiteral("Select Folder"),
                                         QStringLiteral("Select"),
                                         QStringLiteral("Open"),
                                         QStringLiteral("Cancel"),
                                         QStringLiteral("Desktop")};

QStringList rowNames(FileListView_C *tree)
{
    QStringList names;
    for (int row = 0; row < tree->count(); ++row)
        names << tree->itemAt(row)->name;
    return names;
}

QStringList tableNames(QTableWidget *table)
{
    QStringList names;
    for (int row = 0; row < table->rowCount(); ++row)
        names << table->item(row, 0)->text();
    return names;
}

QStringList listedNames(const QString &folder)
{
    QStringList names;
    for (const FileDialogFiles::Row &row : FileDialogFiles::videoRows(folder))
        names << row.name;
    return names;
}

} // namespace

class TstFileDialog : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void rootRowsAreDesktopHomeAndFileSystem();
    void modeTexts_data();
    void modeTexts();
    void unknownModeKeepsTexts();

    void startsOnDesktopWithoutRememberedFolder_data();
    void startsOnDesktopWithoutRememberedFolder();
    void startsOnRememberedFolder_data();
    void startsOnRememberedFolder();
    void rememberedHiddenFolderIsListedWithoutTreeRow();
    void rememberedFolderOnADrive_data();
    void rememberedFolderOnADrive();
    void repeatedModeZeroDoesNotDuplicateRows();

    void arrowOpensWithoutSelecting();
    void expansionSkipsPluginFoldersAndFiles();
    void linksShowWhereTheyLeadToAFolder();
    void caseVariantsAreBothShown();
    void folderWithoutSubfoldersLosesArrowOnOpen();
    void clickSelectsRowAndListsItsVideos();
    void collapseAboveSelectionMovesItUp();
    void collapseOverSelectionSelectsCollapsedRow();

    void openAddsPartnerFiles_data();
    void openAddsPartnerFiles();
    void openWithoutSelectionEmitsEmptyList();
    void doubleClickOpensThatFile();
    void folderModesEmitPathLine_data();
    void folderModesEmitPathLine();
    void cancelEmitsEmptyList_data();
    void cancelEmitsEmptyList();
    void rememberedFolderCarriesToNextChooser();
    void dragMovesWindowExceptFromButtons();

    void screenshots();

private:
    FileDialog_C *openChooser(int mode);
    FileListView_C *treeOf(FileDialog_C *dialog) const;
    int rowNamed(FileListView_C *tree, const QString &name, int level) const;
    void pressArrow(FileListView_C *tree, int row);
    void clickRow(FileListView_C *tree, int row);
    void selectFiles(FileDialog_C *dialog, const QStringList &names);
    // Waits until the open chooser has the answers of the folders it asked.
    void settle();
    void closeChooser(FileDialog_C *dialog);
    QString path(const QString &relative) const { return base.filePath(relative); }

    // short, so the home row fits the tree in the screenshots
    QTemporaryDir base{QDir::tempPath() + QStringLiteral("/chooser-XXXXXX")};
    QString home;
    QString desktop;
    QString trip;
    QStringList savedTexts;
    QPointer<FileDialog_C> open;
};

void TstFileDialog::initTestCase()
{
    QVERIFY(base.isValid());
    home = path(QStringLiteral("home"));
    desktop = home + QStringLiteral("/Desktop");
    trip = home + QStringLiteral("/Videos/Trip");
    qputenv("HOME", home.toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", (home + QStringLiteral("/.config")).toLocal8Bit());

    const QStringList folders{
        QStringLiteral("home/Desktop/Clips/2024"), QStringLiteral("home/Desktop/Clips/2025"),
        QStringLiteral("home/Videos/Trip"),        QStringLiteral("home/Videos/Case/abc"),
        QStringLiteral("home/Videos/Case/ABC"),    QStringLiteral("home/Plugins/platforms"),
        QStringLiteral("home/Plugins/.cache"),     QStringLiteral("home/Plugins/translations"),
        QStringLiteral("home/Apps/platforms"),     QStringLiteral("home/Apps/Maps"),
        QStringLiteral("home/.hidden/inner"),      QStringLiteral("home/Flat")};
    for (const QString &folder : folders)
        QVERIFY(QDir().mkpath(path(folder)));

    const QString clip = path(QStringLiteral("clip.mp4"));
    QVERIFY(TestSupport::makeClip(clip, 1.0));
    const QStringList videos{QStringLiteral("home/Desktop/desk_F.MP4"),
                             QStringLiteral("home/Videos/Trip/A_F.MP4"),
                             QStringLiteral("home/Videos/Trip/A_R.MP4"),
                             QStringLiteral("home/Videos/Trip/B_R.MP4"),
                             QStringLiteral("home/Videos/Trip/B_L.MP4"),
                             QStringLiteral("home/Videos/Trip/C_F.MP4"),
                             QStringLiteral("home/Videos/Trip/clip.Mp4"),
                             QStringLiteral("home/Videos/Trip/notes.mp4.txt"),
                             QStringLiteral("home/Videos/Trip/dir #1 50%.mov"),
                             QStringLiteral("home/Desktop/Clips/2024/day.mov"),
                             QStringLiteral("home/.hidden/inner/secret.mp4")};
    for (const QString &video : videos)
        QVERIFY(QFile::copy(clip, path(video)));
    QFile file(home + QStringLiteral("/readme.txt"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    const QString links = desktop + QStringLiteral("/Clips/2025/");
    QVERIFY(QFile::link(home + QStringLiteral("/Videos"), links + QStringLiteral("toVideos")));
    QVERIFY(QFile::link(home + QStringLiteral("/Flat"), links + QStringLiteral("toFlat")));
    QVERIFY(QFile::link(home + QStringLiteral("/readme.txt"), links + QStringLiteral("toFile")));
    QVERIFY(QFile::link(home + QStringLiteral("/gone"), links + QStringLiteral("broken")));
}

void TstFileDialog::init()
{
    savedTexts = gLangFileDialog;
    gLangFileDialog = englishFileDialogTexts;
    gFileDialogPath.clear();
}

void TstFileDialog::cleanup()
{
    if (open)
        closeChooser(open);
    gLangFileDialog = savedTexts;
    gFileDialogPath.clear();
    RemovableDrives::setRootsProvider({});
}

FileDialog_C *TstFileDialog::openChooser(int mode)
{
    auto *dialog = new FileDialog_C(nullptr);
    dialog->applyStyle(gStyle);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setMode(mode);
    dialog->show();
    if (!QTest::qWaitForWindowExposed(dialog))
        qWarning("chooser not exposed");
    open = dialog;
    settle();
    return dialog;
}

void TstFileDialog::settle()
{
    QTRY_VERIFY_WITH_TIMEOUT(!open || !open->isReading(), 10000);
}

void TstFileDialog::closeChooser(FileDialog_C *dialog)
{
    QPointer<FileDialog_C> guard(dialog);
    if (guard)
        guard->findChild<QPushButton *>(QStringLiteral("cancel_btn"))->click();
    QTRY_VERIFY(!guard);
}

FileListView_C *TstFileDialog::treeOf(FileDialog_C *dialog) const
{
    return dialog->findChild<FileListView_C *>(QStringLiteral("diskDirList"));
}

int TstFileDialog::rowNamed(FileListView_C *tree, const QString &name, int level) const
{
    for (int row = 0; row < tree->count(); ++row) {
        const FileListItem *item = tree->itemAt(row);
        if (item->name == name && item->indent == level * 32)
            return row;
    }
    return -1;
}

void TstFileDialog::pressArrow(FileListView_C *tree, int row)
{
    const QModelIndex index = tree->model()->index(row, 0);
    tree->scrollTo(index);
    const QRect rect = tree->visualRect(index);
    const QPoint arrow(rect.x() + tree->itemAt(row)->indent + 10, rect.center().y());
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, Qt::NoModifier, arrow);
    settle();
}

void TstFileDialog::clickRow(FileListView_C *tree, int row)
{
    const QModelIndex index = tree->model()->index(row, 0);
    tree->scrollTo(index);
    const QRect rect = tree->visualRect(index);
    const QPoint text(rect.x() + tree->itemAt(row)->indent + 80, rect.center().y());
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, Qt::NoModifier, text);
    settle();
}

void TstFileDialog::selectFiles(FileDialog_C *dialog, const QStringList &names)
{
    auto *table = dialog->findChild<QTableWidget *>(QStringLiteral("diskFileList"));
    table->clearSelection();
    for (int row = 0; row < table->rowCount(); ++row) {
        if (names.contains(table->item(row, 0)->text()))
            table->selectionModel()->select(table->model()->index(row, 0),
                                            QItemSelectionModel::Select |
                                                QItemSelectionModel::Rows);
    }
}

void TstFileDialog::rootRowsAreDesktopHomeAndFileSystem()
{
    FileDialog_C *dialog = openChooser(1);
    FileListView_C *tree = treeOf(dialog);
    QVERIFY(tree->count() >= 3);
    QCOMPARE(tree->itemAt(0)->name, QStringLiteral("Desktop"));
    QCOMPARE(tree->itemAt(1)->name, home + QLatin1Char('/'));
    QCOMPARE(tree->itemAt(2)->name, QStringLiteral("/"));
    for (int row = 0; row < tree->count(); ++row) {
        QCOMPARE(tree->itemAt(row)->indent, 0);
        QVERIFY(tree->itemAt(row)->expanderImage.endsWith(QLatin1String("openfile_triangle")));
    }
    QCOMPARE(dialog->treeItemPath(0, 0), desktop);
    QCOMPARE(dialog->treeItemPath(1, 0), home + QLatin1Char('/'));
    QCOMPARE(dialog->treeItemPath(2, 0), QStringLiteral("/"));
    QCOMPARE(dialog->treeItemPath(-1, 0), QString());
    // folder modes start on the first root below the Desktop
    QCOMPARE(dialog->selectedTreeRow(), 1);
    QCOMPARE(tree->itemAt(1)->state, QStringLiteral("Select"));
    QCOMPARE(dialog->findChild<QLabel *>(QStringLiteral("DirPath"))->text(),
             home + QLatin1Char('/'));
}

void TstFileDialog::modeTexts_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("openText");
    QTest::newRow("open video files") << 0 << "Open File"
                                      << "Open";
    QTest::newRow("select a save folder") << 1 << "Select Save Folder"
                                          << "Select";
    QTest::newRow("select a folder") << 2 << "Select Folder"
                                     << "Select";
}

void TstFileDialog::modeTexts()
{
    QFETCH(int, mode);
    QFETCH(QString, title);
    QFETCH(QString, openText);
    FileDialog_C *dialog = openChooser(mode);
    QCOMPARE(dialog->findChild<QLabel *>(QStringLiteral("fileOpen_title"))->text(), title);
    QCOMPARE(dialog->findChild<QPushButton *>(QStringLiteral("open_btn"))->text(), openText);
    QCOMPARE(dialog->findChild<QPushButton *>(QStringLiteral("cancel_btn"))->text(),
             QStringLiteral("Cancel"));
    QCOMPARE(treeOf(dialog)->itemAt(0)->name, QStringLiteral("Desktop"));
    QCOMPARE(dialog->windowModality(), Qt::ApplicationModal);
    QVERIFY(dialog->windowFlags() & Qt::FramelessWindowHint);

    // a language change re-texts the open chooser
    gLangFileDialog[6] = QStringLiteral("Abbrechen");
    gLangFileDialog[7] = QStringLiteral("Schreibtisch");
    dialog->setMode(mode);
    QCOMPARE(dialog->findChild<QPushButton *>(QStringLiteral("cancel_btn"))->text(),
             QStringLiteral("Abbrechen"));
    QCOMPARE(treeOf(dialog)->itemAt(0)->name, QStringLiteral("Schreibtisch"));
    QCOMPARE(dialog->treeItemPath(0, 0), desktop);
}

void TstFileDialog::unknownModeKeepsTexts()
{
    FileDialog_C *dialog = openChooser(2);
    gLangFileDialog.clear(); // a table without this section must not crash the chooser
    dialog->setMode(7);
    QCOMPARE(dialog->findChild<QLabel *>(QStringLiteral("fileOpen_title"))->text(),
             QStringLiteral("Select Folder"));
    QCOMPARE(dialog->findChild<QPushButton *>(QStringLiteral("open_btn"))->text(),
             QStringLiteral("Select"));
    QCOMPARE(dialog->findChild<QPushButton *>(QStringLiteral("cancel_btn"))->text(), QString());
}

void TstFileDialog::startsOnDesktopWithoutRememberedFolder_data()
{
    QTest::addColumn<QString>("remembered");
    QTest::newRow("nothing remembered") << QString();
    QTest::newRow("remembered folder is gone") << path(QStringLiteral("home/Removed"));
    QTest::newRow("remembered path is a file") << home + QStringLiteral("/readme.txt");
}

void TstFileDialog::startsOnDesktopWithoutRememberedFolder()
{
    QFETCH(QString, remembered);
    gFileDialogPath = remembered;
    FileDialog_C *dialog = openChooser(0);
    QCOMPARE(dialog->selectedTreeRow(), 0);
    QCOMPARE(dialog->currentFolder(), desktop);
    QCOMPARE(dialog->findChild<QLabel *>(QStringLiteral("DirPath"))->text(), desktop);
    QCOMPARE(gFileDialogPath, desktop);
    QCOMPARE(tableNames(dialog->findChild<QTableWidget *>(QStringLiteral("diskFileList"))),
             QStringList{QStringLiteral("desk_F.MP4")});
}

void TstFileDialog::startsOnRememberedFolder_data()
{
    QTest::addColumn<QString>("remembered");
    QTest::addColumn<QString>("selectedName");
    QTest::addColumn<int>("selectedLevel");
    QTest::addColumn<QString>("shownPath");
    QTest::newRow("folder two levels below home") << trip << "Trip" << 2 << trip;
    QTest::newRow("with a trailing slash") << trip + QLatin1Char('/') << "Trip" << 2 << trip;
    QTest::newRow("two letters below the root")
        << home + QStringLiteral("/Flat") << "Flat" << 1 << home + QStringLiteral("/Flat");
    QTest::newRow("Desktop sub-folder") << desktop + QStringLiteral("/Clips/2024") << "2024" << 2
                                        << desktop + QStringLiteral("/Clips/2024");
    QTest::newRow("the Desktop itself") << desktop << "Desktop" << 0 << desktop;
    QTest::newRow("the home root")
        << home << home + QLatin1Char('/') << 0 << home + QLatin1Char('/');
}

void TstFileDialog::startsOnRememberedFolder()
{
    QFETCH(QString, remembered);
    QFETCH(QString, selectedName);
    QFETCH(int, selectedLevel);
    QFETCH(QString, shownPath);
    gFileDialogPath = remembered;
    FileDialog_C *dialog = openChooser(0);
    FileListView_C *tree = treeOf(dialog);
    const int row = dialog->selectedTreeRow();
    QVERIFY(row >= 0);
    QCOMPARE(tree->itemAt(row)->name, selectedName);
    QCOMPARE(tree->itemAt(row)->indent, selectedLevel * 32);
    QCOMPARE(tree->itemAt(row)->state, QStringLiteral("Select"));
    QCOMPARE(dialog->treeItemPath(row, selectedLevel), shownPath);

    // the path line names the listed folder
    const QString label = dialog->findChild<QLabel *>(QStringLiteral("DirPath"))->text();
    QCOMPARE(label, shownPath);
    QCOMPARE(dialog->currentFolder(), label);
    QCOMPARE(tableNames(dialog->findChild<QTableWidget *>(QStringLiteral("diskFileList"))),
             listedNames(label));
    QVERIFY(dialog->findChild<QLineEdit *>(QStringLiteral("chooseFileName"))->text().isEmpty());
}

void TstFileDialog::rememberedHiddenFolderIsListedWithoutTreeRow()
{
    const QString hidden = home + QStringLiteral("/.hidden/inner");
    gFileDialogPath = hidden;
    FileDialog_C *dialog = openChooser(0);
    QCOMPARE(dialog->selectedTreeRow(), -1);
    QCOMPARE(dialog->findChild<QLabel *>(QStringLiteral("DirPath"))->text(), hidden);
    QCOMPARE(tableNames(dialog->findChild<QTableWidget *>(QStringLiteral("diskFileList"))),
             QStringList{QStringLiteral("secret.mp4")});
    QCOMPARE(gFileDialogPath, hidden);

    QSignalSpy files(dialog, &FileDialog_C::openFileList);
    selectFiles(dialog, {QStringLiteral("secret.mp4")});
    dialog->findChild<QPushButton *>(QStringLiteral("open_btn"))->click();
    QCOMPARE(files.count(), 1);
    QCOMPARE(files.at(0).at(0).value<QList<QUrl>>(),
             QList<QUrl>{QUrl::fromLocalFile(hidden + QStringLiteral("/secret.mp4"))});
}

void TstFileDialog::rememberedFolderOnADrive_data()
{
    QTest::addColumn<bool>("answers");
    QTest::newRow("a drive that answers") << true;
    QTest::newRow("a drive that stopped answering") << false;
}

// The drive rows come when the drives have answered; the remembered folder on one waits for its
// answer, and on one that does not answer counts as gone.
void TstFileDialog::rememberedFolderOnADrive()
{
    QFETCH(bool, answers);
    FATCARD_OR_SKIP(card);
    const QString folder = card.root() + QStringLiteral("/DCIM");
    QVERIFY(QDir().mkpath(folder));
    const QString root = card.root() + QLatin1Char('/');
    RemovableDrives::setRootsProvider([root] { return QStringList{root}; });
    if (!answers)
        QVERIFY(card.stopDriver());
    FreezeWatch watch([&card] { card.resumeDriver(); });
    gFileDialogPath = folder;
    FileDialog_C *dialog = openChooser(0);
    // before the card goes, also when a check fails
    const auto closeFirst = qScopeGuard([this] { closeChooser(open); });
    QTRY_COMPARE_WITH_TIMEOUT(dialog->currentFolder(), answers ? folder : desktop, 10000);
    // the folder right under the drive's own row, not deep under "/"
    QCOMPARE(treeOf(dialog)->itemAt(dialog->selectedTreeRow())->indent, answers ? 32 : 0);
    QVERIFY2(!watch.froze(), "the chooser waited for the drive");
}

void TstFileDialog::repeatedModeZeroDoesNotDuplicateRows()
{
    gFileDialogPath = trip;
    FileDialog_C *dialog = openChooser(0);
    const QStringList before = rowNames(treeOf(dialog));
    dialog->setMode(0);
    settle();
    QCOMPARE(rowNames(treeOf(dialog)), before);
    QCOMPARE(treeOf(dialog)->itemAt(dialog->selectedTreeRow())->name, QStringLiteral("Trip"));
}

void TstFileDialog::arrowOpensWithoutSelecting()
{
    FileDialog_C *dialog = openChooser(0); // Desktop selected
    FileListView_C *tree = treeOf(dialog);
    pressArrow(tree, 1);
    QCOMPARE(tree->itemAt(1)->expanderImage.section(QLatin1Char('/'), -1),
             QStringLiteral("openfile_triangle_selected"));
    QCOMPARE(tree->itemAt(1)->folderIcon.section(QLatin1Char('/'), -1),
             QStringLiteral("openfile_folder_selected"));
    QCOMPARE(rowNames(tree).mid(2, 5),
             (QStringList{QStringLiteral("Apps"), QStringLiteral("Desktop"), QStringLiteral("Flat"),
                          QStringLiteral("Plugins"), QStringLiteral("Videos")}));
    QCOMPARE(tree->itemAt(2)->indent, 32);
    QCOMPARE(dialog->selectedTreeRow(), 0);
    QCOMPARE(dialog->findChild<QLabel *>(QStringLiteral("DirPath"))->text(), desktop);
    QCOMPARE(gFileDialogPath, desktop);

    // the next plain click selects again
    clickRow(tree, rowNamed(tree, QStringLiteral("Flat"), 1));
    QCOMPARE(dialog->findChild<QLabel *>(QStringLiteral("DirPath"))->text(),
             home + QStringLiteral("/Flat"));
}

void TstFileDialog::expansionSkipsPluginFoldersAndFiles()
{
    FileDialog_C *dialog = openChooser(2);
    FileListView_C *tree = treeOf(dialog);
    pressArrow(tree, 1);
    QVERIFY(!rowNames(tree).contains(QStringLiteral("readme.txt")));
    QVERIFY(!rowNames(tree).contains(QStringLiteral(".hidden")));
    const int apps = rowNamed(tree, QStringLiteral("Apps"), 1);
    pressArrow(tree, apps);
    QCOMPARE(tree->itemAt(apps + 1)->name, QStringLiteral("Maps"));
    QCOMPARE(tree->itemAt(apps + 2)->name, QStringLiteral("Desktop"));
    QCOMPARE(tree->itemAt(apps + 2)->indent, 32);
    QCOMPARE(tree->itemAt(apps + 1)->expanderImage, QString()); // Maps has no sub-folders
}

void TstFileDialog::linksShowWhereTheyLeadToAFolder()
{
    gFileDialogPath = desktop + QStringLiteral("/Clips/2025");
    FileDialog_C *dialog = openChooser(0);
    FileListView_C *tree = treeOf(dialog);
    const int folder = dialog->selectedTreeRow();
    QVERIFY(!tree->itemAt(folder)->expanderImage.isEmpty());
    pressArrow(tree, folder);
    QCOMPARE(rowNames(tree).mid(folder + 1, 2),
             (QStringList{QStringLiteral("toFlat"), QStringLiteral("toVideos")}));
    QCOMPARE(tree->itemAt(folder + 3)->indent, 0); // the next root: nothing more below 2025
    QCOMPARE(tree->itemAt(folder + 1)->expanderImage, QString());
    QVERIFY(!tree->itemAt(folder + 2)->expanderImage.isEmpty());
}

void TstFileDialog::caseVariantsAreBothShown()
{
    gFileDialogPath = home + QStringLiteral("/Videos/Case");
    FileDialog_C *dialog = openChooser(0);
    FileListView_C *tree = treeOf(dialog);
    const int caseRow = dialog->selectedTreeRow();
    pressArrow(tree, caseRow);
    QStringList children{tree->itemAt(caseRow + 1)->name, tree->itemAt(caseRow + 2)->name};
    children.sort();
    QCOMPARE(children, (QStringList{QStringLiteral("ABC"), QStringLiteral("abc")}));
    QCOMPARE(dialog->treeItemPath(caseRow + 1, 4),
             home + QStringLiteral("/Videos/Case/") + tree->itemAt(caseRow + 1)->name);
}

void TstFileDialog::folderWithoutSubfoldersLosesArrowOnOpen()
{
    FileDialog_C *dialog = openChooser(2);
    FileListView_C *tree = treeOf(dialog);
    pressArrow(tree, 1);
    const int plugins = rowNamed(tree, QStringLiteral("Plugins"), 1);
    // sub-folders exist on disk, so the arrow is offered until the folder is opened
    QVERIFY(!tree->itemAt(plugins)->expanderImage.isEmpty());
    const int count = tree->count();
    pressArrow(tree, plugins);
    QCOMPARE(tree->count(), count);
    QCOMPARE(tree->itemAt(plugins)->expanderImage, QString());
    // a row without arrow ignores the press, and the click it ends selects nothing
    pressArrow(tree, plugins);
    QCOMPARE(dialog->selectedTreeRow(), 1);
}

void TstFileDialog::clickSelectsRowAndListsItsVideos()
{
    FileDialog_C *dialog = openChooser(0);
    FileListView_C *tree = treeOf(dialog);
    pressArrow(tree, 1);
    const int videos = rowNamed(tree, QStringLiteral("Videos"), 1);
    pressArrow(tree, videos);
    const int tripRow = rowNamed(tree, QStringLiteral("Trip"), 2);
    clickRow(tree, tripRow);
    QCOMPARE(dialog->selectedTreeRow(), tripRow);
    QCOMPARE(tree->itemAt(0)->state, QString());
    QCOMPARE(dialog->findChild<QLabel *>(QStringLiteral("DirPath"))->text(), trip);
    QCOMPARE(gFileDialogPath, trip);
    auto *table = dialog->findChild<QTableWidget *>(QStringLiteral("diskFileList"));
    QCOMPARE(tableNames(table),
             (QStringList{QStringLiteral("A_F.MP4"), QStringLiteral("A_R.MP4"),
                          QStringLiteral("B_L.MP4"), QStringLiteral("B_R.MP4"),
                          QStringLiteral("C_F.MP4"), QStringLiteral("dir #1 50%.mov"),
                          QStringLiteral("notes.mp4.txt")}));
    QCOMPARE(table->item(0, 2)->text(), QStringLiteral("0"));
    QVERIFY(QDateTime::fromString(table->item(0, 1)->text(), QStringLiteral("yyyy-MM-dd hh:mm:ss"))
                .isValid());

    selectFiles(dialog, {QStringLiteral("A_F.MP4"), QStringLiteral("B_R.MP4")});
    QCOMPARE(dialog->findChild<QLineEdit *>(QStringLiteral("chooseFileName"))->text(),
             QStringLiteral("\"A_F.MP4\" \"B_R.MP4\" "));
}

void TstFileDialog::collapseAboveSelectionMovesItUp()
{
    FileDialog_C *dialog = openChooser(2);
    FileListView_C *tree = treeOf(dialog);
    pressArrow(tree, 0); // Desktop: Clips
    QCOMPARE(tree->itemAt(1)->name, QStringLiteral("Clips"));
    pressArrow(tree, 1); // Clips: 2024, 2025
    const int homeRow = rowNamed(tree, home + QLatin1Char('/'), 0);
    QCOMPARE(homeRow, 4);
    clickRow(tree, homeRow);
    QCOMPARE(dialog->selectedTreeRow(), 4);
    pressArrow(tree, 0);
    QCOMPARE(tree->count() >= 3, true);
    QCOMPARE(dialog->selectedTreeRow(), 1);
    QCOMPARE(tree->itemAt(1)->state, QStringLiteral("Select"));
    QCOMPARE(tree->itemAt(0)->expanderImage.section(QLatin1Char('/'), -1),
             QStringLiteral("openfile_triangle"));
    QCOMPARE(tree->itemAt(0)->folderIcon.section(QLatin1Char('/'), -1),
             QStringLiteral("openfile_folder"));
    QCOMPARE(dialog->findChild<QLineEdit *>(QStringLiteral("chooseFileName"))->text(),
             QLatin1Char('"') + home + QStringLiteral("/\""));
    // opened again, it lists its folders again
    pressArrow(tree, 0);
    QCOMPARE(tree->itemAt(1)->name, QStringLiteral("Clips"));
    QCOMPARE(dialog->selectedTreeRow(), 2);
}

void TstFileDialog::collapseOverSelectionSelectsCollapsedRow()
{
    gFileDialogPath = desktop + QStringLiteral("/Clips/2024");
    FileDialog_C *dialog = openChooser(0);
    FileListView_C *tree = treeOf(dialog);
    QCOMPARE(tree->itemAt(dialog->selectedTreeRow())->name, QStringLiteral("2024"));
    pressArrow(tree, 0);
    QCOMPARE(dialog->selectedTreeRow(), 0);
    QCOMPARE(tree->itemAt(0)->state, QStringLiteral("Select"));
    QCOMPARE(tree->itemAt(1)->name, home + QLatin1Char('/'));
    QCOMPARE(dialog->findChild<QLabel *>(QStringLiteral("DirPath"))->text(), desktop);
    QCOMPARE(gFileDialogPath, desktop);
    QCOMPARE(tableNames(dialog->findChild<QTableWidget *>(QStringLiteral("diskFileList"))),
             QStringList{QStringLiteral("desk_F.MP4")});
}

void TstFileDialog::openAddsPartnerFiles_data()
{
    QTest::addColumn<QStringList>("selected");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("front and rear chosen: rear added once")
        << QStringList{QStringLiteral("A_F.MP4"), QStringLiteral("A_R.MP4")}
        << QStringList{QStringLiteral("A_F.MP4"), QStringLiteral("A_R.MP4")};
    QTest::newRow("front alone brings its rear")
        << QStringList{QStringLiteral("A_F.MP4")}
        << QStringList{QStringLiteral("A_F.MP4"), QStringLiteral("A_R.MP4")};
    QTest::newRow("rear alone brings its front")
        << QStringList{QStringLiteral("A_R.MP4")}
        << QStringList{QStringLiteral("A_R.MP4"), QStringLiteral("A_F.MP4")};
    QTest::newRow("rear with only a left file")
        << QStringList{QStringLiteral("B_R.MP4")}
        << QStringList{QStringLiteral("B_R.MP4"), QStringLiteral("B_L.MP4")};
    QTest::newRow("front without partner")
        << QStringList{QStringLiteral("C_F.MP4")} << QStringList{QStringLiteral("C_F.MP4")};
    QTest::newRow("name with blank, hash and percent")
        << QStringList{QStringLiteral("dir #1 50%.mov")}
        << QStringList{QStringLiteral("dir #1 50%.mov")};
}

void TstFileDialog::openAddsPartnerFiles()
{
    QFETCH(QStringList, selected);
    QFETCH(QStringList, expected);
    gFileDialogPath = trip;
    FileDialog_C *dialog = openChooser(0);
    QSignalSpy files(dialog, &FileDialog_C::openFileList);
    QSignalSpy folders(dialog, &FileDialog_C::openFolderName);
    QPointer<FileDialog_C> guard(dialog);
    selectFiles(dialog, selected);
    dialog->findChild<QPushButton *>(QStringLiteral("open_btn"))->click();
    QCOMPARE(files.count(), 1);
    QCOMPARE(folders.count(), 0);
    QList<QUrl> urls;
    for (const QString &name : expected)
        urls << QUrl::fromLocalFile(trip + QLatin1Char('/') + name);
    QCOMPARE(files.at(0).at(0).value<QList<QUrl>>(), urls);
    for (const QUrl &url : urls)
        QVERIFY(QFileInfo::exists(url.toLocalFile()));
    QTRY_VERIFY(!guard);
}

void TstFileDialog::openWithoutSelectionEmitsEmptyList()
{
    FileDialog_C *dialog = openChooser(0);
    QSignalSpy files(dialog, &FileDialog_C::openFileList);
    dialog->findChild<QPushButton *>(QStringLiteral("open_btn"))->click();
    QCOMPARE(files.count(), 1);
    QVERIFY(files.at(0).at(0).value<QList<QUrl>>().isEmpty());
}

void TstFileDialog::doubleClickOpensThatFile()
{
    gFileDialogPath = trip;
    FileDialog_C *dialog = openChooser(0);
    QSignalSpy files(dialog, &FileDialog_C::openFileList);
    auto *table = dialog->findChild<QTableWidget *>(QStringLiteral("diskFileList"));
    selectFiles(dialog, {QStringLiteral("A_F.MP4")});
    const int cRow = tableNames(table).indexOf(QStringLiteral("C_F.MP4"));
    emit table->itemDoubleClicked(table->item(cRow, 1));
    QCOMPARE(files.count(), 1);
    QCOMPARE(files.at(0).at(0).value<QList<QUrl>>(),
             QList<QUrl>{QUrl::fromLocalFile(trip + QStringLiteral("/C_F.MP4"))});
}

void TstFileDialog::folderModesEmitPathLine_data()
{
    QTest::addColumn<int>("mode");
    QTest::newRow("save folder") << 1;
    QTest::newRow("folder") << 2;
}

void TstFileDialog::folderModesEmitPathLine()
{
    QFETCH(int, mode);
    gFileDialogPath = trip; // folder modes do not start there
    FileDialog_C *dialog = openChooser(mode);
    FileListView_C *tree = treeOf(dialog);
    QCOMPARE(dialog->selectedTreeRow(), 1);
    QCOMPARE(tree->count(), rowNames(tree).size());
    QSignalSpy files(dialog, &FileDialog_C::openFileList);
    QSignalSpy folders(dialog, &FileDialog_C::openFolderName);
    pressArrow(tree, 0);
    clickRow(tree, 1); // Desktop/Clips
    QCOMPARE(dialog->findChild<QLineEdit *>(QStringLiteral("chooseFileName"))->text(),
             QLatin1Char('"') + desktop + QStringLiteral("/Clips\""));
    QCOMPARE(dialog->findChild<QTableWidget *>(QStringLiteral("diskFileList"))->rowCount(), 0);
    dialog->findChild<QPushButton *>(QStringLiteral("open_btn"))->click();
    QCOMPARE(files.count(), 0);
    QCOMPARE(folders.count(), 1);
    QCOMPARE(folders.at(0).at(0).toString(), desktop + QStringLiteral("/Clips"));
}

void TstFileDialog::cancelEmitsEmptyList_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("how");
    for (int mode = 0; mode < 3; ++mode) {
        for (const char *how : {"cancel_btn", "btn_close", "Escape"})
            QTest::newRow(qPrintable(QStringLiteral("mode %1, %2").arg(mode).arg(how)))
                << mode << QString::fromLatin1(how);
    }
}

void TstFileDialog::cancelEmitsEmptyList()
{
    QFETCH(int, mode);
    QFETCH(QString, how);
    gFileDialogPath = trip;
    FileDialog_C *dialog = openChooser(mode);
    QPointer<FileDialog_C> guard(dialog);
    QSignalSpy files(dialog, &FileDialog_C::openFileList);
    QSignalSpy folders(dialog, &FileDialog_C::openFolderName);
    if (mode == 0)
        selectFiles(dialog, {QStringLiteral("A_F.MP4")});
    if (how == QLatin1String("Escape"))
        QTest::keyClick(dialog, Qt::Key_Escape);
    else
        dialog->findChild<QPushButton *>(how)->click();
    QCOMPARE(files.count(), 1);
    QVERIFY(files.at(0).at(0).value<QList<QUrl>>().isEmpty());
    QCOMPARE(folders.count(), 0);
    QTRY_VERIFY(!guard);
}

void TstFileDialog::rememberedFolderCarriesToNextChooser()
{
    FileDialog_C *first = openChooser(0);
    FileListView_C *tree = treeOf(first);
    pressArrow(tree, 1);
    clickRow(tree, rowNamed(tree, QStringLiteral("Videos"), 1));
    const QString videos = home + QStringLiteral("/Videos");
    QCOMPARE(gFileDialogPath, videos);
    closeChooser(first);

    // a folder chooser writes it too, and only mode 0 starts there
    FileDialog_C *folderChooser = openChooser(2);
    QCOMPARE(folderChooser->currentFolder(), home + QLatin1Char('/'));
    tree = treeOf(folderChooser);
    pressArrow(tree, 1);
    clickRow(tree, rowNamed(tree, QStringLiteral("Flat"), 1));
    closeChooser(folderChooser);
    QCOMPARE(gFileDialogPath, home + QStringLiteral("/Flat"));

    FileDialog_C *next = openChooser(0);
    QCOMPARE(next->findChild<QLabel *>(QStringLiteral("DirPath"))->text(),
             home + QStringLiteral("/Flat"));
    QCOMPARE(treeOf(next)->itemAt(next->selectedTreeRow())->name, QStringLiteral("Flat"));
}

void TstFileDialog::dragMovesWindowExceptFromButtons()
{
    FileDialog_C *dialog = openChooser(1);
    auto drag = [dialog](QWidget *pressed, const QPoint &by) {
        const QPoint start = pressed->mapToGlobal(QPoint(5, 5));
        QMouseEvent press(QEvent::MouseButtonPress, pressed->mapFromGlobal(start), start,
                          Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(pressed, &press);
        const QPoint end = start + by;
        QMouseEvent move(QEvent::MouseMove, dialog->mapFromGlobal(end), end, Qt::NoButton,
                         Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(dialog, &move);
        QMouseEvent release(QEvent::MouseButtonRelease, dialog->mapFromGlobal(end), end,
                            Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(dialog, &release);
    };
    const QPoint before = dialog->pos();
    drag(dialog->findChild<QPushButton *>(QStringLiteral("open_btn")), QPoint(40, 30));
    QCOMPARE(dialog->pos(), before);
    drag(dialog, QPoint(40, 30));
    QCOMPARE(dialog->pos(), before + QPoint(40, 30));
}

void TstFileDialog::screenshots()
{
    gFileDialogPath = trip;
    FileDialog_C *files = openChooser(0);
    FileListView_C *tree = treeOf(files);
    pressArrow(tree, rowNamed(tree, QStringLiteral("Desktop"), 0));
    selectFiles(files, {QStringLiteral("A_F.MP4"), QStringLiteral("A_R.MP4")});
    QTest::qWait(50);
    // Accent title bar; the two chosen rows shaded apart from the others; a filled tree.
    const QImage picture = files->grab().toImage();
    auto *title = files->findChild<QWidget *>(QStringLiteral("fileOpen_title"));
    QVERIFY(title);
    QVERIFY(TestSupport::isNear(
        TestSupport::colourAt(picture, files, title, QPoint(title->width() - 4, 4)),
        TestSupport::accent(), 60));
    auto *list = files->findChild<QAbstractItemView *>(QStringLiteral("diskFileList"));
    QVERIFY(list);
    const auto rowColour = [&](int row) {
        const QRect cell = list->visualRect(list->model()->index(row, 1));
        return TestSupport::colourAt(picture, files, list->viewport(),
                                     QPoint(cell.right() - 2, cell.center().y()));
    };
    QCOMPARE(rowColour(0), rowColour(1));
    QVERIFY(rowColour(0) != rowColour(2));
    QCOMPARE(rowColour(2), rowColour(3));
    QVERIFY(TestSupport::colourCount(picture, QRect(tree->mapTo(files, QPoint()), tree->size())) >
            20);
    TestSupport::saveScreenshot(files, QStringLiteral("filedialog_mode0"));
    closeChooser(files);

    for (int mode : {1, 2}) {
        FileDialog_C *folders = openChooser(mode);
        tree = treeOf(folders);
        pressArrow(tree, 1);
        clickRow(tree, rowNamed(tree, QStringLiteral("Videos"), 1));
        QTest::qWait(50);
        QVERIFY(TestSupport::colourCount(folders->grab().toImage(),
                                         QRect(tree->mapTo(folders, QPoint()), tree->size())) > 20);
        TestSupport::saveScreenshot(folders, QStringLiteral("filedialog_mode%1").arg(mode));
        closeChooser(folders);
    }
}

TALVEX_TEST_MAIN(TstFileDialog)
#include "tst_filedialog.moc"
