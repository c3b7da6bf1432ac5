// Where a folder path lies in the chooser's tree: its root row and the folder names below it.
#pragma once

#include <QString>
#include <QStringList>

namespace FolderTreePaths {

struct Location
{
    int root = -1;          // index into the roots; -1 when no root holds the path
    QStringList components; // folder names from the root down to the path
};

// The root (each a path ending in "/") that holds path with the most components; a deeper root
// wins over one above it, so a Desktop root beats the home folder and "/".
Location locate(const QStringList &roots, const QString &path);

} // namespace FolderTreePaths
