// The update-info record that the wizards take from a version file, and the version-file rules.
#pragma once

#include <QByteArray>
#include <QMetaType>
#include <QString>

#include <optional>

struct JsonInfo_t
{
    QString product; // "FW" (firmware) or "app" (application) of the chosen entry
    QString version; // "Ver"
    QString url;     // "Url"
    QString name;    // "Name": the file name to store the download under
};

namespace VersionFile {

// The name every version file is stored and recognised under.
inline const QString fileName = QStringLiteral("FWVersion_TVX.txt");

enum class Kind
{
    Firmware,   // first "UpdateFW" entry whose "FW" is "X7"
    Application // first "UpdateApplication" entry whose "app" contains "TALVEX"
};

// The record of a version file; nullopt when the text is no JSON array or object. An array's
// element 0 is the root; no matching entry gives an empty record.
std::optional<JsonInfo_t> parseUpdateJson(const QByteArray &bytes, Kind kind);

// True when name can be stored as given inside a folder: not empty, not ".", and no "/", "\",
// ":" or "..".
bool isBareFileName(const QString &name);

// True when a published file may be fetched from url: HTTPS, or plain HTTP to a loopback
// address (the bytes never leave this machine).
bool isSafeLink(const QString &url);

} // namespace VersionFile

Q_DECLARE_METATYPE(JsonInfo_t)
