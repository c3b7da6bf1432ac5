// The process-wide settings table and its file "info.txt" in the working directory.
#pragma once

#include <QString>

namespace AppSettings {
QString infoFilePath();
QString factoryFilePath();
// Fills gParameters: factory values with the valid stored values over them.
void load();
// Sets one setting and writes the file; false when the file could not be written.
bool set(const QString &key, int value);
// Replaces the table by the factory values and writes the file.
bool restoreFactory();
}
