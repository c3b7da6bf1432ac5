// Whether this process may replace an existing entry of a folder, as the system decides it before
// anything is written.
#pragma once

#include <QString>

namespace FileReplace {
// False when the system refuses to replace path for this process: in a folder with the sticky
// bit (a shared folder, as /tmp is), only the owner of the entry or of the folder, or a process
// privileged to act for any owner, may remove or replace it. True for a path that names no entry
// or whose folder cannot be read (the export reports what happens then).
bool isAllowed(const QString &path);
} // namespace FileReplace
