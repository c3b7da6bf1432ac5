// Application-wide style tweaks: sliders jump to the click, no focus frames.
#pragma once

#include <QProxyStyle>

class AppProxyStyle : public QProxyStyle
{
public:
    AppProxyStyle();
    int styleHint(StyleHint hint, const QStyleOption *option = nullptr, const QWidget *widget = nullptr,
                  QStyleHintReturn *returnData = nullptr) const override;
    void drawPrimitive(PrimitiveElement element, const QStyleOption *option, QPainter *painter,
                       const QWidget *widget = nullptr) const override;
};
