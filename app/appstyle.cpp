#include "appstyle.h"

namespace AppStyle {

Palette palette(int style)
{
    if (style == 1)
        return {QColor(0x17, 0x18, 0x1c), QColor(0x22, 0x24, 0x29), QColor(0x33, 0x36, 0x3d),
                QColor(0xe8, 0xe9, 0xec), QColor(0x8a, 0x8f, 0x99), QColor(0xf3, 0x98, 0x00)};
    return {QColor(0xed, 0xef, 0xf2), QColor(0xff, 0xff, 0xff), QColor(0xd9, 0xdc, 0xe1),
            QColor(0x32, 0x32, 0x32), QColor(0x7d, 0x82, 0x8c), QColor(0xf3, 0x98, 0x00)};
}

QString mainWindowSheet(int style)
{
    const Palette p = palette(style);
    return QStringLiteral(R"(
QMainWindow, QWidget#centralwidget { background: %1; }
QWidget#widgetPlayerArea { background: #000000; border-top-left-radius: 8px; border-top-right-radius: 8px; }
QWidget#widgetListArea, QWidget#widgetMapArea, QWidget#widgetShowDataArea, QWidget#widgetChartArea,
QWidget#widgetControlArea {
    background: %2; border: 1px solid %3; border-radius: 8px;
}
QWidget#widgetControlArea { border-top-left-radius: 0px; border-top-right-radius: 0px; border-top: none; }
QMenuBar { background: %2; color: %4; border-bottom: 1px solid %3; padding: 2px 6px; }
QMenuBar::item { padding: 5px 12px; border-radius: 4px; background: transparent; }
QMenuBar::item:selected { background: %6; color: #ffffff; }
QMenu { background: %2; color: %4; border: 1px solid %3; padding: 6px 0px; }
QMenu::item { padding: 6px 28px 6px 30px; }
QMenu::item:selected { background: %6; color: #ffffff; }
QMenu::item:disabled { color: %5; }
QMenu::separator { height: 1px; background: %3; margin: 5px 10px; }
QMenu::icon { padding-left: 8px; }
QMenu::indicator { width: 14px; height: 14px; left: 8px; }
QMenu::indicator:checked { image: url(:/image/menubarMark); }
)")
        .arg(p.window.name(), p.panel.name(), p.border.name(), p.text.name(), p.mutedText.name(),
             p.accent.name());
}

} // namespace AppStyle
