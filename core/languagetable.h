// The brand's language table: UTF-16 tab-separated text, one column per language.
//
// A row whose first cell holds a section name starts that section; its language cells are the
// section's heading row (element 0). The rows after it, first cell empty, are the section's texts.
#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QStringList>
#include <QVector>

class LanguageTable
{
public:
    static const QStringList &sectionNames();
    static QString defaultPath();

    bool load(const QString &path);
    void parse(const QByteArray &utf16Text);

    // The section's texts of one language, element 0 the heading row; empty when unknown.
    QStringList section(const QString &name, int language) const;
    int sectionSize(const QString &name) const;
    bool isEmpty() const { return sections_.isEmpty(); }

    // Fills the process-wide language lists with the texts of one language.
    void applyToGlobals(int language) const;

private:
    // section name -> rows -> cells, one per language
    QMap<QString, QVector<QStringList>> sections_;
};
