#include "appglobals.h"
#include "languagetable.h"
#include "sharedtypes.h"
#include "skin.h"
#include "testsupport.h"

#include <QApplication>
#include <QRegularExpression>
#include <QTextCodec>

namespace {

// How a window reads a cell before showing it.
enum Reading
{
    Raw,
    StripQuotes,
    Multiline,
    DropEnds
};

QString read(const QString &cell, int reading)
{
    switch (reading) {
    case StripQuotes:
        return QString(cell).remove(QLatin1Char('"'));
    case Multiline:
        return formatMultilineText(cell);
    case DropEnds:
        return cell.mid(1, cell.size() - 2);
    default:
        return cell;
    }
}

// Texts every language keeps as they are: units, date patterns, a map's name, the company line.
bool isKeptText(const QString &text)
{
    static const QStringList kept = {
        QStringLiteral("mph"),
        QStringLiteral("kmh"),
        QStringLiteral("km/h"),
        QStringLiteral("DD/MM/YYYY"),
        QStringLiteral("MM/DD/YYYY"),
        QStringLiteral("YYYY/MM/DD"),
        QStringLiteral("Open Street Map"),
        QStringLiteral("2023 TALVEX Technology Co., Ltd."),
    };
    return kept.contains(text);
}

bool isAscii(const QString &text)
{
    for (const QChar c : text)
        if (c.unicode() > 0x7f)
            return false;
    return true;
}

} // namespace

class TstLanguageTable : public QObject
{
    Q_OBJECT
private:
    LanguageTable table_;

    QString cell(const QString &section, int index, int language) const
    {
        return table_.section(section, language).value(index);
    }

    void addEnglish(const char *section, int index, int reading, const QString &text)
    {
        QTest::addRow("%s %d", section, index)
            << QString::fromLatin1(section) << index << reading << text;
    }

private slots:
    void initTestCase() { QVERIFY(table_.load(LanguageTable::defaultPath())); }

    void cleanupTestCase() { table_.applyToGlobals(LangEnglish); }

    void everySectionHasItsHeadingRow()
    {
        for (const QString &name : LanguageTable::sectionNames()) {
            QVERIFY2(table_.sectionSize(name) > 1, qPrintable(name));
            const QString heading = cell(name, 0, LangEnglish);
            QCOMPARE(heading, name == QLatin1String("Update") ? QString() : name);
        }
        for (int language = 0; language < LanguageCount; ++language)
            QVERIFY(cell(QStringLiteral("Update"), 0, language).isEmpty());
    }

    void readIndicesHoldTexts_data()
    {
        QTest::addColumn<QString>("section");
        QTest::addColumn<int>("highest");
        QTest::newRow("Menu bar") << "Menu bar" << 50;
        QTest::newRow("Show data") << "Show data" << 10;
        QTest::newRow("List") << "List" << 9;
        QTest::newRow("Edit mode") << "Edit mode" << 22;
        QTest::newRow("Edit dialog") << "Edit dialog" << 33;
        QTest::newRow("Exit edit mode") << "Exit edit mode" << 5;
        QTest::newRow("About") << "About" << 5;
        QTest::newRow("Share Videos") << "Share Videos" << 28;
        QTest::newRow("FAQ") << "FAQ" << 6;
        QTest::newRow("File Dialog") << "File Dialog" << 7;
        QTest::newRow("Update") << "Update" << 6;
    }

    void readIndicesHoldTexts()
    {
        QFETCH(QString, section);
        QFETCH(int, highest);
        for (int language = 0; language < LanguageCount; ++language) {
            const QStringList texts = table_.section(section, language);
            QVERIFY2(texts.size() > highest, qPrintable(QString::number(language)));
            if (section != QLatin1String("Update"))
                QVERIFY(!texts.at(0).trimmed().isEmpty());
            for (int i = 1; i <= highest; ++i)
                QVERIFY2(!texts.at(i).trimmed().isEmpty(),
                         qPrintable(QStringLiteral("language %1 index %2").arg(language).arg(i)));
        }
    }

    void englishTextsAsShown_data()
    {
        QTest::addColumn<QString>("section");
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("reading");
        QTest::addColumn<QString>("text");

        const char *list[] = {"Add",  "Remove", "Group",    "Ungroup",   "File",
                              "Date", "Size",   "Duration", "Resolution"};
        for (int i = 0; i < 9; ++i)
            addEnglish("List", i + 1, Raw, QString::fromLatin1(list[i]));

        const char *fileDialog[] = {
            "Open File", "Select Save Folder", "Select Folder", "Select", "Open", "Cancel",
            "Desktop"};
        for (int i = 0; i < 7; ++i)
            addEnglish("File Dialog", i + 1, Raw, QString::fromLatin1(fileDialog[i]));

        const char *showData[] = {"mph",       "kmh",      "Sensor",  "Time",       "Latitude",
                                  "Longitude", "Distance", "Compass", "Avg. Speed", "Max Speed"};
        for (int i = 0; i < 10; ++i)
            addEnglish("Show data", i + 1, i == 9 ? StripQuotes : Raw,
                       QString::fromLatin1(showData[i]));

        const char *editDialog[] = {
            "Output Setting",
            "Audio & Data",
            "Remove the audio.",
            "Remove the GPS and G-Sensor data.",
            "Combine Videos",
            "Picture in Picture",
            nullptr,
            "Choose Video Folder",
            "Select Folder",
            "OK",
            "Cancel",
            "Process Video",
            "Processing Video...",
            "Please Wait.",
            "Finished.",
            "Open Folder",
            "Please ungroup the files before editing.",
            "Body Data",
            "Are you sure to delete the files?",
            "We can't find any file in your computer/storage,",
            "please select the folder by manual.",
            "Press the OK button to select the folder.",
            "Upload failed, please check your internet connection. ",
            "OK: Back to the first page.",
            "Cancel: Exit the share mode.",
            "The video length needs to more than the 1 second.",
            "The Share function only supports the main video.",
            "The Edit function only supports the main video.",
            "Don't show again.",
            "Insufficient disk space.\\nPlease re-select the output/destination drive.",
            "Unable to edit.",
            "Video Clips Grouping not matched\\n(Video clips in the playlist are not from the "
            "same device).",
            "Make sure that Video Clips Grouping are from the same device\\nbefore editing.",
        };
        for (int i = 0; i < 33; ++i) {
            if (!editDialog[i])
                continue;
            const int index = i + 1;
            const int reading = index == 17 ? Multiline : index == 20 ? DropEnds : Raw;
            addEnglish("Edit dialog", index, reading, QString::fromLatin1(editDialog[i]));
        }

        const char *exitEdit[] = {"Notice", "You Haven't Output Your Video Yet,",
                                  "Are You Sure to Leave Without Saving?", "Yes", "No"};
        for (int i = 0; i < 5; ++i)
            addEnglish("Exit edit mode", i + 1, i == 2 ? Multiline : StripQuotes,
                       QString::fromLatin1(exitEdit[i]));

        const char *share[] = {"Share Videos",
                               "Choose Videos",
                               "Choose Platform",
                               "Uploading Videos",
                               "Upload Completed",
                               "Step 1. Choose Videos",
                               "Use Current Video",
                               "Use Other Video",
                               "Select Folder",
                               "Next >",
                               "Step 2. Choose Platform",
                               "< Back",
                               "Step 3. Upload Videos",
                               "<  Cancel",
                               "Step 4. Upload Completed",
                               "OK",
                               nullptr,
                               "Please Wait.",
                               "Videos Upload To Youtube Successfully.",
                               "Public",
                               "Private",
                               "Unlisted",
                               "Privacy :",
                               "Title :"};
        for (int i = 0; i < 24; ++i) {
            const int index = i + 1;
            const int reading = index >= 2 && index <= 5 ? Multiline
                                : index == 13 || index == 15 || index == 17 || index == 18
                                    ? StripQuotes
                                    : Raw;
            const QString text = share[i] ? QString::fromLatin1(share[i])
                                          : QStringLiteral("Uploading Videos to Youtube \u2026");
            addEnglish("Share Videos", index, reading, text);
        }

        const char *faq[] = {"Instruction", nullptr, "Introduction of UI", "Edit your Video",
                             "Share your Video"};
        for (int i = 0; i < 5; ++i)
            if (faq[i])
                addEnglish("FAQ", i + 1, Multiline, QString::fromLatin1(faq[i]));

        addEnglish("About", 1, Raw, QStringLiteral("About TALVEX VIDEO PLAYER "));
        addEnglish("About", 2, Raw, QStringLiteral("About"));
        addEnglish("About", 3, Raw, QStringLiteral("License"));
        addEnglish("About", 5, StripQuotes, QStringLiteral("TALVEX VIDEO PLAYER Version:"));

        const char *update[] = {"Next >", "< Back", "<  Cancel", "Retry", "OK", "Please Wait."};
        for (int i = 0; i < 6; ++i)
            addEnglish("Update", i + 1, Raw, QString::fromLatin1(update[i]));
    }

    void englishTextsAsShown()
    {
        QFETCH(QString, section);
        QFETCH(int, index);
        QFETCH(int, reading);
        QFETCH(QString, text);
        QCOMPARE(read(cell(section, index, LangEnglish), reading), text);
    }

    void aboutLineStartsWithYear()
    {
        const QRegularExpression yearAndName(QStringLiteral("^\\d{4} \\S"));
        for (int language = 0; language < LanguageCount; ++language)
            QVERIFY(yearAndName.match(cell(QStringLiteral("About"), 4, language)).hasMatch());
    }

    void everyLanguageKeepsCellRules_data()
    {
        QTest::addColumn<int>("language");
        for (int language = 1; language < LanguageCount; ++language)
            QTest::addRow("language %d", language) << language;
    }

    void everyLanguageKeepsCellRules()
    {
        QFETCH(int, language);
        const QString lineBreak = QStringLiteral("\\n");
        const QChar quote = QLatin1Char('"');
        for (const QString &name : LanguageTable::sectionNames()) {
            QCOMPARE(table_.section(name, language).size(), table_.sectionSize(name));
            for (int i = 0; i < table_.sectionSize(name); ++i) {
                const QString english = cell(name, i, LangEnglish);
                const QString text = cell(name, i, language);
                const QByteArray where =
                    QStringLiteral("%1 %2: %3").arg(name).arg(i).arg(text).toUtf8();
                QVERIFY2(text.count(lineBreak) == english.count(lineBreak), where);
                QVERIFY2(text.count(quote) == english.count(quote), where);
                QVERIFY2(text.startsWith(quote) == english.startsWith(quote), where);
                QVERIFY2(text.endsWith(quote) == english.endsWith(quote), where);
                QVERIFY2(text.endsWith(QLatin1Char(' ')) == english.endsWith(QLatin1Char(' ')),
                         where);
                QVERIFY2(text.startsWith(QLatin1String("<  ")) ==
                             english.startsWith(QLatin1String("<  ")),
                         where);
                QVERIFY2(text.startsWith(QLatin1String("< ")) ==
                             english.startsWith(QLatin1String("< ")),
                         where);
                QVERIFY2(text.endsWith(QLatin1String(" >")) ==
                             english.endsWith(QLatin1String(" >")),
                         where);
                QVERIFY2(text.contains(QLatin1String("Youtube")) ==
                             english.contains(QLatin1String("Youtube")),
                         where);
                if (isKeptText(english))
                    QVERIFY2(text == english, where);
            }
        }
    }

    void chineseTextsAreTranslated()
    {
        for (const QString &name : LanguageTable::sectionNames()) {
            for (const QString &text : table_.section(name, LangChinese)) {
                if (!text.isEmpty() && !isKeptText(text))
                    QVERIFY2(!isAscii(text), qPrintable(name + QLatin1String(": ") + text));
            }
        }
    }

    void applyToGlobalsFillsEveryList()
    {
        for (int language = 0; language < LanguageCount; ++language) {
            table_.applyToGlobals(language);
            const QStringList *lists[] = {&gLangMenuBar,    &gLangShowData,    &gLangList,
                                          &gLangEditMode,   &gLangEditDialog,  &gLangExitEditMode,
                                          &gLangAbout,      &gLangShareVideos, &gLangFAQ,
                                          &gLangFileDialog, &gLangUpdate,      &gLangNotices};
            const QStringList &names = LanguageTable::sectionNames();
            for (int i = 0; i < names.size(); ++i) {
                QCOMPARE(*lists[i], table_.section(names.at(i), language));
                QCOMPARE(lists[i]->size(), table_.sectionSize(names.at(i)));
            }
            QCOMPARE(gLangList.at(0), cell(QStringLiteral("List"), 0, language));
            QVERIFY(gLangUpdate.at(0).isEmpty());
        }
        table_.applyToGlobals(LangGerman);
        QCOMPARE(gLangList.value(1), QStringLiteral("Hinzufügen"));
        QCOMPARE(gLangFileDialog.value(7), QStringLiteral("Desktop"));
    }

    void shortTableGivesShorterLists()
    {
        // "List" with two texts (the German cell of the second missing), no "FAQ" at all, and a
        // text row before any heading row.
        const QString text = QStringLiteral("\torphan\r\n"
                                            "List\tList\tListe\r\n"
                                            "\tAdd\tHinzufügen\r\n"
                                            "\tRemove\r\n"
                                            "Update\t\t\r\n"
                                            "\tNext >\tWeiter >\r\n");
        LanguageTable table;
        table.parse(QTextCodec::codecForName("UTF-16")->fromUnicode(text));
        QVERIFY(!table.isEmpty());
        table.applyToGlobals(LangGerman);
        QCOMPARE(gLangList, QStringList({"Liste", "Hinzufügen", QString()}));
        QCOMPARE(gLangList.value(9), QString());
        QVERIFY(gLangFAQ.isEmpty());
        QCOMPARE(gLangUpdate, QStringList({QString(), "Weiter >"}));
        QVERIFY(table.section(QStringLiteral("List"), LanguageCount).isEmpty());
        QVERIFY(table.section(QStringLiteral("List"), -1).isEmpty());
    }

    void missingFileLoadsNothing()
    {
        LanguageTable table;
        QVERIFY(!table.load(QStringLiteral(":/excel/no_such_table.txt")));
        QVERIFY(table.isEmpty());
    }
};

TALVEX_TEST_MAIN(TstLanguageTable)
#include "tst_languagetable.moc"
