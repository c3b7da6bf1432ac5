#include "ridecopyreport.h"

#include <QLocale>
#include <QStringList>

#include <algorithm>

namespace RideCopyReport {

namespace {

using RideDataFolder::CopyError;

QString causeText(CopyError error)
{
    switch (error) {
    case CopyError::CardRemoved:
        return QStringLiteral("The camera card was removed during the copy");
    case CopyError::DiskFull:
        return QStringLiteral("The disk is full");
    case CopyError::Unreadable:
        return QStringLiteral("A file on the card could not be read");
    case CopyError::Unwritable:
        return QStringLiteral("A file could not be written to the ride-data folder");
    }
    return QString();
}

QString filesText(int count)
{
    return QLocale::c().toString(count) +
           (count == 1 ? QStringLiteral(" file") : QStringLiteral(" files"));
}

} // namespace

QString failureText(const QVector<RideDataFolder::CopyFailure> &failed)
{
    if (failed.isEmpty())
        return QString();
    QStringList lines;
    lines << filesText(failed.size()) +
                 QStringLiteral(" could not be copied from the camera card.");
    for (const CopyError error : {CopyError::CardRemoved, CopyError::DiskFull,
                                  CopyError::Unreadable, CopyError::Unwritable}) {
        const int count = int(std::count_if(failed.cbegin(), failed.cend(),
                                            [error](const auto &f) { return f.error == error; }));
        if (count > 0)
            lines << causeText(error) + QStringLiteral(" (") + filesText(count) +
                         QStringLiteral(").");
    }
    QStringList names;
    for (int i = 0; i < failed.size() && i < shownNames; ++i)
        names << failed.at(i).name;
    QString list = names.join(QStringLiteral(", "));
    if (failed.size() > shownNames)
        list += QStringLiteral(" and ") + QLocale::c().toString(failed.size() - shownNames) +
                QStringLiteral(" more");
    lines << list + QLatin1Char('.');
    return lines.join(QLatin1Char('\n'));
}

QString notStartedText()
{
    return QStringLiteral("No ride files could be copied from the camera card: the system has no "
                          "thread to spare for the copy. Close other programs and try again.");
}

} // namespace RideCopyReport
