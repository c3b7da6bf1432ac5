// Helpers of the end-to-end tests that build the real MainWindow.
#pragma once

#include "formlist.h"
#include "mainwindow.h"

#include <QAction>
#include <QTableWidget>
#include <QtTest>

namespace MainWindowTest {

constexpr int pathColumn = 6; // the list's hidden column with the file path

// Shows w at size and waits until it is exposed; false when the window was not exposed.
inline bool showWindow(MainWindow &w, const QSize &size = QSize(1600, 860))
{
    w.resize(size);
    w.show();
    if (!QTest::qWaitForWindowExposed(&w))
        return false;
    return true;
}

// The window's menu action of that object name, or nullptr.
inline QAction *action(MainWindow &w, const char *name)
{
    return w.findChild<QAction *>(QLatin1String(name));
}

// The file paths of the list's rows, top to bottom.
inline QStringList listedPaths(FormList *list)
{
    QStringList paths;
    const QTableWidget *table = list->table();
    for (int row = 0; row < table->rowCount(); ++row) {
        if (const QTableWidgetItem *item = table->item(row, pathColumn))
            paths << item->text();
    }
    return paths;
}

} // namespace MainWindowTest
