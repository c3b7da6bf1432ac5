// The upload service's settings for a test server on 127.0.0.1, and the share dialog's road to
// an upload through it.
#pragma once

#include "browsercatcher.h"
#include "formshare.h"
#include "oauthredirect.h"
#include "testhttpserver.h"
#include "uploadserviceconfig.h"

#include <QAbstractButton>
#include <QPushButton>
#include <QTest>

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

// The share dialog's road from its first page to the uploading page: Next, the service's button,
// the browser (browser stands in for it) coming back with a code, Next once signed in.
inline void signInAndUpload(FormShare &share, BrowserCatcher &browser)
{
    auto *next = share.findChild<QPushButton *>(QStringLiteral("btn_next"));
    QTest::mouseClick(next, Qt::LeftButton);
    QCOMPARE(share.page(), 2);
    browser.opened.clear();
    QTest::mouseClick(share.findChild<QAbstractButton *>(QStringLiteral("s2_tbtn_youtube")),
                      Qt::LeftButton);
    QTRY_COMPARE(browser.opened.size(), 1);
    QCOMPARE(OAuthRedirect::play(browser.opened.first(), "code=abc"), 200);
    QTRY_VERIFY(next->isVisible());
    QTest::mouseClick(next, Qt::LeftButton);
    QCOMPARE(share.page(), 3);
}

} // namespace UploadServiceTest
