#include "languagetable.h"

#include "appglobals.h"
#include "sharedtypes.h"

#include <QFile>
#include <QTextCodec>

const QStringList &LanguageTable::sectionNames()
{
    static const QStringList names = {
        QStringLiteral("Menu bar"),     QStringLiteral("Show data"),    QStringLiteral("List"),
        QStringLiteral("Edit mode"),    QStringLiteral("Edit dialog"),  QStringLiteral("Exit edit mode"),
        QStringLiteral("About"),        QStringLiteral("Share Videos"), QStringLiteral("FAQ"),
        QStringLiteral("File Dialog"),  QStringLiteral("Update"),
        QStringLiteral("Notices"),
    };
    return names;
}

QString LanguageTable::defaultPath()
{
    return QStringLiteral(":/excel/Language_TALVEX.txt");
}

bool LanguageTable::load(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    parse(file.readAll());
    return !sections_.isEmpty();
}

void LanguageTable::parse(const QByteArray &utf16Text)
{
    sections_.clear();
    QTextCodec *codec = QTextCodec::codecForUtfText(utf16Text, QTextCodec::codecForName("UTF-16LE"));
    const QString text = codec->toUnicode(utf16Text);
    QVector<QStringList> *current = nullptr;
    for (QString line : text.split(QLatin1Char('\n'))) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        if (line.isEmpty())
            continue;
        QStringList cells = line.split(QLatin1Char('\t'));
        const QString key = cells.takeFirst();
        while (cells.size() < LanguageCount)
            cells.append(QString());
        if (!key.isEmpty()) {
            current = &sections_[key];
            current->clear();
        }
        if (current)
            current->append(cells);
    }
}

QStringList LanguageTable::section(const QString &name, int language) const
{
    QStringList texts;
    if (language < 0 || language >= LanguageCount)
        return texts;
    for (const QStringList &row : sections_.value(name))
        texts.append(row.value(language));
    return texts;
}

int LanguageTable::sectionSize(const QString &name) const
{
    return sections_.value(name).size();
}

void LanguageTable::applyToGlobals(int language) const
{
    QStringList *lists[] = {&gLangMenuBar, &gLangShowData,     &gLangList,  &gLangEditMode,
                            &gLangEditDialog, &gLangExitEditMode, &gLangAbout, &gLangShareVideos,
                            &gLangFAQ,     &gLangFileDialog,   &gLangUpdate,
                            &gLangNotices};
    const QStringList &names = sectionNames();
    for (int i = 0; i < names.size(); ++i)
        *lists[i] = section(names.at(i), language);
}
