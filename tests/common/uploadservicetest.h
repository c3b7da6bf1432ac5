// The upload service's settings for a test server on 127.0.0.1.
#pragma once

#include "testhttpserver.h"
#include "uploadserviceconfig.h"

namespace UploadServiceTest {

// Sign-in and token on server, uploads to uploadPath there; the sign-in listener on a free port.
inline UploadServiceConfig localConfig(const TestHttpServer &server, const QString &uploadPath)
{
    UploadServiceConfig c;
    c.authUrl = QUrl(server.url(QStringLiteral("/o/oauth2/auth")));
    c.tokenUrl = QUrl(server.url(QStringLiteral("/token")));
    c.clientId = QStringLiteral("418207736591-tq8wzn3kd6hrvy2mxp5jc9bfg4lsa7ue.test");
    c.clientSecret = QStringLiteral("q3R_TvkWPHsd9Lx2MbNe6cYa");
    c.scope = QStringLiteral("http://127.0.0.1/auth/youtube.upload");
    c.uploadUrl = QUrl(server.url(uploadPath));
    c.redirectPort = 0;
    return c;
}

} // namespace UploadServiceTest
