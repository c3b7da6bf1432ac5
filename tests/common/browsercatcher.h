// Stands in for the system browser: keeps every address QDesktopServices::openUrl is given.
#pragma once

#include <QList>
#include <QObject>
#include <QUrl>

class BrowserCatcher : public QObject
{
    Q_OBJECT
public:
    QList<QUrl> opened;
public slots:
    void open(const QUrl &url) { opened << url; }
};
