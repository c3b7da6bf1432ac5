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

// An "-i" whose input ffmpeg generates (" -f lavfi -i ..."): nothing to seek in.
bool isGeneratedInput(const QStringList &inputs, int i)
{
    return i >= 2 && inputs.at(i - 2) == QLatin1String("-f") &&
           inputs.at(i - 1) == QLatin1String("lavfi");
}

// Puts the "-ss position" of args in front of every file input. args keep "-ss 0": it drops what
// the seek brings along from before the position into copied streams (an audio pre-roll), as
// the position after the inputs did.
QStringList seekBeforeInputs(const QStringList &inputs, QStringList *args)
{
    const int at = args->indexOf(QStringLiteral("-ss"));
    if (at < 0 || at + 1 >= args->size())
        return inputs;
    const QString position = args->at(at + 1);
    (*args)[at + 1] = QStringLiteral("0");
    QStringList seeked;
    for (int i = 0; i < inputs.size(); ++i) {
        if (inputs.at(i) == QLatin1String("-i") && !isGeneratedInput(inputs, i))
            seeked << QStringLiteral("-ss") << position;
        seeked << inputs.at(i);
    }
    return seeked;
}

void dropXvidTag(QStringList *args)
{
    for (int i = 0; i + 1 < args->size(); ++i) {
        if (args->at(i) == QLatin1String("-vtag") && args->at(i + 1) == QLatin1String("xvid")) {
            args->erase(args->begin() + i, args->begin() + i + 2);
            return;
        }
    }
}

} // namespace

QStringList runArguments(const QString &input, const QString &args, const QString &output)
{
    QStringList rest = split(args);
    const QStringList inputs = seekBeforeInputs(split(input), &rest);
    if (refusesXvidTag(output))
        dropXvidTag(&rest);
    return inputs + rest +
           QStringList{QStringLiteral("-map_metadata"), QStringLiteral("0"), output};
}

bool refusesXvidTag(const QString &output)
{
    static const QStringList mp4Family{QStringLiteral("mp4"), QStringLiteral("m4v"),
                                       QStringLiteral("3gp"), QStringLiteral("3g2")};
    return mp4Family.contains(QFileInfo(output).suffix(), Qt::CaseInsensitive);
}

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
