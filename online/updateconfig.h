// Where the update clients fetch from: deployment values, placeholders in the resource bundle.
#pragma once

#include <QByteArray>
#include <QUrl>

struct UpdateConfig
{
    QUrl firmwareVersionUrl;    // version file of the camera firmware
    QUrl applicationVersionUrl; // version file of the player
    QUrl cloudDownloadUrl;      // the cloud drive's content-download endpoint
    QString cloudFolder;        // folder of the update files on the cloud drive
    QByteArray cloudToken;      // bearer token of the cloud drive; never logged
    // The most bytes a published file (firmware, installer, cloud update file) may have.
    qint64 publishedFileMaxBytes = defaultPublishedFileMaxBytes;

    static constexpr qint64 defaultPublishedFileMaxBytes = qint64(4) * 1024 * 1024 * 1024;

    // Members of a JSON object of these names; missing members stay empty (the size limit keeps
    // its default; a limit of 0 or less is ignored).
    static UpdateConfig fromJson(const QByteArray &json);

    // The configuration in use: the bundle's ":/excel/UpdateConfig.json" unless replaced.
    static const UpdateConfig &current();
    // Replaces the configuration in use (tests point the clients at 127.0.0.1).
    static void setCurrent(const UpdateConfig &config);
};
