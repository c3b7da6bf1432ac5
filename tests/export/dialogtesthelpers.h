// Shared set-up of the dialog tests: language switching and a styled dialog.
#pragma once

#include "appfont.h"
#include "appglobals.h"
#include "formdialog.h"
#include "languagetable.h"
#include "outputname.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QStandardPaths>

#include <memory>

namespace DialogTest {

// Makes lang the current language, as the main window's language change does.
inline void setLanguage(int lang)
{
    LanguageTable table;
    table.load(LanguageTable::defaultPath());
    table.applyToGlobals(lang);
    gLanguage = lang;
    setAppFontForLanguage(lang);
}

// The folder the output page proposes: "EditVideo/" beside the program, or under the user's
// video folder when the program's folder is read-only (as the screenshot script makes it).
inline QString defaultOutputFolder()
{
    return OutputName::prepareDefaultFolder(
        QCoreApplication::applicationDirPath(),
        QStandardPaths::writableLocation(QStandardPaths::MoviesLocation));
}

// One cell of the bundle's language table.
inline QString cell(const QString &section, int index, int lang)
{
    LanguageTable table;
    table.load(LanguageTable::defaultPath());
    return table.section(section, lang).value(index);
}

// The named descendant of parent; a missing one ends the test run.
template <typename T = QAbstractButton> T *child(const QWidget &parent, const QString &name)
{
    T *widget = parent.findChild<T *>(name);
    if (!widget)
        qFatal("no widget %s", qPrintable(name));
    return widget;
}

inline std::unique_ptr<FormDialog> makeDialog()
{
    auto dialog = std::make_unique<FormDialog>();
    dialog->applyLanguage();
    dialog->applyStyle(gStyle);
    return dialog;
}

} // namespace DialogTest
