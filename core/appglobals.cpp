#include "appglobals.h"

#include "settingkeys.h"

QMap<QString, QString> gParameters;

int gStyle = 0;
int gLanguage = 0;
int gDisplayMode = 0;
int gMode = 0;
int gDateFormat = 0;
int gPipSwap = 0;
bool gSupportPromptHidden = false;
QString gFileDialogPath;

QStringList gLangMenuBar;
QStringList gLangShowData;
QStringList gLangList;
QStringList gLangEditMode;
QStringList gLangEditDialog;
QStringList gLangExitEditMode;
QStringList gLangAbout;
QStringList gLangShareVideos;
QStringList gLangFAQ;
QStringList gLangFileDialog;
QStringList gLangUpdate;
QStringList gLangNotices;

int parameterValue(const QString &key, int fallback)
{
    bool ok = false;
    const int value = gParameters.value(key).toInt(&ok);
    return ok ? value : fallback;
}

int currentSpeedUnit()
{
    return parameterValue(SettingKeys::speedUnit, 1);
}
