// Names of the settings-table keys.
#pragma once

#include <QString>

namespace SettingKeys {
inline const QString style = QStringLiteral("Style");
inline const QString language = QStringLiteral("Language");
inline const QString speedUnit = QStringLiteral("Speed Unit");
inline const QString date = QStringLiteral("Date");
inline const QString maps = QStringLiteral("Maps");
inline const QString mode = QStringLiteral("Mode");
inline const QString automatically = QStringLiteral("Automatically");
inline const QString displayMode = QStringLiteral("DisplayMode");
inline const QString locationSecond = QStringLiteral("DashcamLocationSecond");
inline const QString verticalFlip = QStringLiteral("VerticalFlip");
inline const QString subVerticalFlip = QStringLiteral("SubVerticalFlip");
}
