// Driving the real file chooser in tests: find it, find and click its tree rows.
#pragma once

#include "filedialog.h"
#include "foldertreemodel.h"
#include "foldertreeview.h"

#include <QApplication>
#include <QtTest>

namespace ChooserTest {

// The visible chooser window, or nullptr.
inline FileDialog_C *openChooser()
{
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (auto *chooser = qobject_cast<FileDialog_C *>(widget); chooser && chooser->isVisible())
            return chooser;
    }
    return nullptr;
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
}

} // namespace ChooserTest
