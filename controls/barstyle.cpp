#include "barstyle.h"

namespace {

constexpr int blackStyle = 1;

QString rgba(const QColor &color)
{
    return QStringLiteral("rgba(%1,%2,%3,%4)")
        .arg(color.red())
        .arg(color.green())
        .arg(color.blue())
        .arg(color.alpha());
}

} // namespace

BarPalette barPalette(int style)
{
    if (style == blackStyle)
        return {QColor(0x14, 0x15, 0x18), QColor(0x26, 0x28, 0x2d), QColor(0xe8, 0xe9, 0xec),
                QColor(0x8d, 0x91, 0x99), QColor(0x26, 0x28, 0x2e), QColor(0x33, 0x36, 0x3d),
                QColor(0x3a, 0x3d, 0x45), QColor(0xf3, 0x98, 0x00), QColor(0xf4, 0xf4, 0xf6),
                QColor(0x1e, 0x20, 0x25), QColor(0x3a, 0x3d, 0x45), QColor(0xff, 0x5a, 0x5a)};
    return {QColor(0x2f, 0x33, 0x3a), QColor(0x45, 0x4a, 0x53), QColor(0xf2, 0xf3, 0xf5),
            QColor(0xa9, 0xae, 0xb7), QColor(0x40, 0x45, 0x4e), QColor(0x4b, 0x51, 0x5b),
            QColor(0x56, 0x5b, 0x65), QColor(0xf3, 0x98, 0x00), QColor(0xff, 0xff, 0xff),
            QColor(0x26, 0x29, 0x2f), QColor(0x56, 0x5b, 0x65), QColor(0xff, 0x5a, 0x5a)};
}

QString barStyleSheet(const BarPalette &p, const QString &formName)
{
    QString sheet =
        QStringLiteral(
            "#%1 { background: @bg; border-top: 1px solid @top; }"
            "QStackedWidget, QStackedWidget > QWidget { background: transparent; }"
            "QLabel { color: @text; background: transparent; }"
            "QLabel[role=\"muted\"] { color: @muted; }"
            "QToolButton { color: @text; background: transparent; border: none; border-radius: 4px;"
            " padding: 2px; }"
            "QToolButton:hover { background: @hover; }"
            "QToolButton:pressed, QToolButton:checked { background: @pressed; }"
            "QSlider { background: transparent; }"
            "QSlider::groove:horizontal { height: 4px; background: @groove; border-radius: 2px; }"
            "QSlider::sub-page:horizontal { background: @accent; border-radius: 2px; }"
            "QSlider::add-page:horizontal { background: @groove; border-radius: 2px; }"
            "QSlider::handle:horizontal { background: @handle; width: 12px; height: 12px;"
            " margin: -4px 0; border-radius: 6px; }"
            "QSlider::handle:horizontal:hover { background: @accent; }"
            "QComboBox { color: @text; background: transparent; border: none; border-radius: 4px;"
            " padding: 0 6px; }"
            "QComboBox:hover { background: @hover; }"
            "QComboBox::drop-down { width: 0; border: none; }"
            "QComboBox QAbstractItemView { color: @text; background: @bg; border: 1px solid @top;"
            " selection-background-color: @accent; outline: none; }"
            "QComboBox QAbstractItemView::item { padding: 2px 6px; }"
            "QLineEdit { color: @text; background: @field; border: 1px solid @fieldBorder;"
            " border-radius: 3px; padding: 0 2px; selection-background-color: @accent; }"
            "QLineEdit:focus { border-color: @accent; }"
            "QLineEdit[notApplied=\"true\"] { color: @notApplied; }"
            "QPushButton { color: @text; background: @pressed; border: none; border-radius: 4px;"
            " padding: 2px 14px; }"
            "QPushButton:hover { background: @groove; }"
            "QPushButton[role=\"accept\"] { color: #ffffff; background: @accent; }"
            "QPushButton[role=\"accept\"]:hover { background: @accentHover; }")
            .arg(formName);
    sheet.replace(QLatin1String("@bg"), rgba(p.background));
    sheet.replace(QLatin1String("@top"), rgba(p.topLine));
    sheet.replace(QLatin1String("@text"), rgba(p.text));
    sheet.replace(QLatin1String("@muted"), rgba(p.mutedText));
    sheet.replace(QLatin1String("@hover"), rgba(p.hover));
    sheet.replace(QLatin1String("@pressed"), rgba(p.pressed));
    sheet.replace(QLatin1String("@groove"), rgba(p.groove));
    sheet.replace(QLatin1String("@accentHover"), rgba(p.accent.lighter(115)));
    sheet.replace(QLatin1String("@accent"), rgba(p.accent));
    sheet.replace(QLatin1String("@handle"), rgba(p.handle));
    sheet.replace(QLatin1String("@fieldBorder"), rgba(p.fieldBorder));
    sheet.replace(QLatin1String("@notApplied"), rgba(p.notApplied));
    sheet.replace(QLatin1String("@field"), rgba(p.field));
    return sheet;
}
