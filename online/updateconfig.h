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

    // Members of a JSON object of these names; missing members stay empty.
    static UpdateConfig fromJson(const QByteArray &json);

    // The configuration in use: the bundle's ":/excel/UpdateConfig.json" unless replaced.
    static const UpdateConfig &current();
    // Replaces the configuration in use (tests point the clients at 127.0.0.1).
    static void setCurrent(const UpdateConfig &config);
};
