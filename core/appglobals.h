// Process-wide values of the running player: settings table, view state and language lists.
#pragma once

#include <QMap>
#include <QString>
#include <QStringList>

// Setting name -> decimal text. GUI thread only.
extern QMap<QString, QString> gParameters;

extern int gStyle;        // 0 white, 1 black
extern int gLanguage;     // Zq_Language
extern int gDisplayMode;  // 0 main camera only, 1 both cameras
extern int gMode;         // 0 player, 1 ride data
extern int gDateFormat;   // 0 DD/MM/YYYY, 1 MM/DD/YYYY, 2 YYYY/MM/DD
extern int gPipSwap;      // 0 main camera big, 1 second camera big
extern bool gSupportPromptHidden;
extern QString gFileDialogPath; // folder last shown by a file chooser

// One list per language-table section of the current language; element 0 is the heading row.
extern QStringList gLangMenuBar;
extern QStringList gLangShowData;
extern QStringList gLangList;
extern QStringList gLangEditMode;
extern QStringList gLangEditDialog;
extern QStringList gLangExitEditMode;
extern QStringList gLangAbout;
extern QStringList gLangShareVideos;
extern QStringList gLangFAQ;
extern QStringList gLangFileDialog;
extern QStringList gLangUpdate;
extern QStringList gLangNotices; // messages of failed operations

// Integer value of a setting, fallback when absent or not a number.
int parameterValue(const QString &key, int fallback = 0);

// The "Speed Unit" setting as SpeedUnit (0 mph, 1 km/h).
int currentSpeedUnit();
