#include "ffmpegarguments.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace FfmpegArguments {

namespace {

struct Token
{
    QString text;
    bool quoted = false;
};

QVector<Token> tokenize(const QString &text)
{
    QVector<Token> tokens;
    Token current;
    bool inToken = false;
    bool inQuotes = false;
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (inQuotes) {
            if (c == QLatin1Char('\\') && i + 1 < text.size() &&
                (text.at(i + 1) == QLatin1Char('"') || text.at(i + 1) == QLatin1Char('\\'))) {
                current.text += text.at(++i);
            } else if (c == QLatin1Char('"')) {
                inQuotes = false;
            } else {
                current.text += c;
            }
        } else if (c == QLatin1Char('"')) {
            inQuotes = true;
            inToken = true;
            current.quoted = true;
        } else if (c == QLatin1Char(' ')) {
            if (inToken)
                tokens.append(current);
            current = Token();
            inToken = false;
        } else {
            current.text += c;
            inToken = true;
        }
    }
    if (inToken)
        tokens.append(current);
    return tokens;
}

} // namespace

QStringList split(const QString &text)
{
    QStringList args;
    for (const Token &token : tokenize(text))
        args.append(token.text);
    return args;
}

QString firstQuoted(const QString &text)
{
    for (const Token &token : tokenize(text)) {
        if (token.quoted)
            return token.text;
    }
    return QString();
}

QString quotedPath(const QString &path)
{
    QString escaped = path;
    escaped.replace(QLatin1Char('\\'), QLatin1String("\\\\"));
    escaped.replace(QLatin1Char('"'), QLatin1String("\\\""));
    return QLatin1Char('"') + escaped + QLatin1Char('"');
}

QString inputText(const QString &path)
{
    return QLatin1String(" -i ") + quotedPath(path) + QLatin1Char(' ');
}

QString program()
{
    const QFileInfo local(QDir::current().filePath(QStringLiteral("FFmpeg/ffmpeg")));
    if (local.isFile())
        return local.absoluteFilePath();
    const QString onPath = QStandardPaths::findExecutable(QStringLiteral("ffmpeg"));
    return onPath.isEmpty() ? QStringLiteral("ffmpeg") : onPath;
}

} // namespace FfmpegArguments
