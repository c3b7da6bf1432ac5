// Where the upload client signs in and uploads: service addresses, client record, listener port.
// Deployment values; the bundle holds placeholders and tests point every address at 127.0.0.1.
#pragma once

#include <QByteArray>
#include <QString>
#include <QUrl>

struct UploadServiceConfig
{
    QUrl authUrl;                 // "auth_uri" of the client record
    QUrl tokenUrl;                // "token_uri"
    QString clientId;             // "client_id"
    QString clientSecret;         // "client_secret"
    QString scope;                // the video-upload scope
    QUrl uploadUrl;               // upload endpoint with its query
    quint16 redirectPort = 10011; // loopback listener of the sign-in; 0 picks a free port

    bool isValid() const;
    // True when an address of the service is a placeholder (a host under ".invalid"): sharing
    // is not set up in this build.
    bool isPlaceholder() const;

    // Reads the installed-application record ("installed") and the "service" object; missing
    // keys stay empty and the port keeps its default. error (optional) names what is wrong.
    static UploadServiceConfig fromJson(const QByteArray &json, QString *error = nullptr);
    // The bundle's ":/excel/UploadService.json".
    static UploadServiceConfig bundled();
    // The configuration in use: bundled() unless replaced.
    static const UploadServiceConfig &current();
    // Replaces the configuration in use (tests point the service at 127.0.0.1).
    static void setCurrent(const UploadServiceConfig &config);
};
