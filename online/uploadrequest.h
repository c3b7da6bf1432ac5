// Texts of the upload request: the metadata part and the browser copy of the sign-in address.
#pragma once

#include <QByteArray>
#include <QUrl>

namespace UploadRequest {

// Metadata part of the multipart body: kind, snippet (title, description, the one tag, category
// 22) and status (privacy). title and description are UTF-8 and escaped as JSON strings.
QByteArray metadataJson(const QByteArray &title, const QByteArray &description,
                        const QByteArray &privacyStatus);

// text as the contents of a JSON string (no enclosing quotes).
QByteArray jsonStringContents(const QByteArray &utf8);

// The authorization address for the system browser: url with "prompt=consent" and
// "access_type=offline" appended after its own query items.
QUrl browserUrl(const QUrl &url);

// "Bearer <token>" in Latin-1.
QByteArray authorizationHeader(const QString &token);

} // namespace UploadRequest
