// Skin image folder and text helpers shared by every window.
#pragma once

#include <QString>

// The skin's image folder, ending in "/"; an image is this folder plus its name without suffix.
QString getStylePath();
// getStylePath() + name.
QString skinImage(const QString &name);
// Removes double quotes and turns every two-character "\n" into a line break.
QString formatMultilineText(QString cell);
