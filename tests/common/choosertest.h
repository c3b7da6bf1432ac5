// Driving the real file chooser in tests: find it, find and click its tree rows, each once the
// folders it asked have answered.
#pragma once

#include "filedialog.h"
#include "foldertreemodel.h"
#include "foldertreeview.h"
#include "testsupport.h"

#include <QApplication>
#include <QPushButton>
#include <QTableWidget>
#include <QtTest>

namespace ChooserTest {

// Waits until chooser has the answers of the folders it asked (a bound passes first).
inline bool settle(const FileDialog_C *chooser)
{
    return QTest::qWaitFor([chooser] { return !chooser->isReading(); }, 10000);
}

// The visible chooser window, once settled, or nullptr.
inline FileDialog_C *openChooser()
{
    FileDialog_C *chooser = TestSupport::shownWindow<FileDialog_C>();
    return chooser && settle(chooser) ? chooser : nullptr;
}

// Row of the tree item named name (at tree depth level, any depth when level is -1), or -1.
inline int treeRowNamed(FileListView_C *tree, const QString &name, int level = -1)
{
    for (int row = 0; row < tree->count(); ++row) {
        const FileListItem *item = tree->itemAt(row);
        if (item->name == name && (level < 0 || item->indent == level * 32))
            return row;
    }
    return -1;
}

// Clicks a tree row: on its arrow to open it, or on its name to select it.
inline void clickTreeRow(FileListView_C *tree, int row, bool onArrow)
{
    const QModelIndex index = tree->model()->index(row, 0);
    tree->scrollTo(index);
    const QRect rect = tree->visualRect(index);
    const int x = rect.x() + tree->itemAt(row)->indent + (onArrow ? 10 : 80);
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, Qt::NoModifier,
                      QPoint(x, rect.center().y()));
    if (const auto *chooser = qobject_cast<const FileDialog_C *>(tree->window()))
        settle(chooser);
}

// Selects the named rows of the chooser's file table by clicking them, then presses Open.
inline void pickFiles(FileDialog_C *chooser, const QStringList &names)
{
    auto *files = chooser->findChild<QTableWidget *>(QStringLiteral("diskFileList"));
    Qt::KeyboardModifiers modifiers = Qt::NoModifier;
    for (const QString &name : names) {
        QTRY_COMPARE(files->findItems(name, Qt::MatchExactly).size(), 1);
        const auto found = files->findItems(name, Qt::MatchExactly);
        files->scrollToItem(found.first());
        QTest::mouseClick(files->viewport(), Qt::LeftButton, modifiers,
                          files->visualItemRect(found.first()).center());
        modifiers = Qt::ControlModifier;
    }
    QCOMPARE(files->selectedItems().size(), names.size() * files->columnCount());
    QTest::mouseClick(chooser->findChild<QPushButton *>(QStringLiteral("open_btn")),
                      Qt::LeftButton);
}

} // namespace ChooserTest
