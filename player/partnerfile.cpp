#include "partnerfile.h"

#include <QDir>
#include <QFileInfo>

namespace {

struct TagRule
{
    const char *tag;      // camera tag, followed by a dot in a tagged name
    const char *replaced; // the partner's tag
    const char *fallback; // tag of the second choice when the first partner does not exist
};

constexpr TagRule tagRules[] = {
    {"_F", "_R", nullptr}, {"_f", "_r", nullptr}, {"_R", "_F", "_L"},
    {"_r", "_f", "_l"},    {"_L", "_R", nullptr}, {"_l", "_r", nullptr},
};

} // namespace

QStringList partnerNameCandidates(const QString &fileName)
{
    for (const TagRule &rule : tagRules) {
        const QString tag = QLatin1String(rule.tag);
        if (!fileName.contains(tag + QLatin1Char('.')))
            continue;
        QString first = fileName;
        first.replace(tag, QLatin1String(rule.replaced));
        QStringList names{first};
        if (rule.fallback) {
            QString second = first;
            second.replace(QLatin1String(rule.replaced), QLatin1String(rule.fallback));
            names << second;
        }
        return names;
    }
    return {};
}

QString partnerFilePath(const QString &localPath)
{
    if (localPath.isEmpty())
        return {};
    const QFileInfo file(localPath);
    const QDir folder = file.dir();
    for (const QString &name : partnerNameCandidates(file.fileName())) {
        const QString candidate = folder.filePath(name);
        if (QFileInfo(candidate).isFile())
            return candidate;
    }
    return {};
}

QUrl partnerFileUrl(const QUrl &url)
{
    const QString partner = partnerFilePath(url.toLocalFile());
    return partner.isEmpty() ? QUrl() : QUrl::fromLocalFile(partner);
}
