// Slider style under which a click on the groove jumps there instead of paging.
#pragma once

#include <QProxyStyle>

class JumpClickStyle : public QProxyStyle
{
public:
    using QProxyStyle::QProxyStyle;
    int styleHint(StyleHint hint, const QStyleOption *option, const QWidget *widget,
                  QStyleHintReturn *returnData) const override;
};
