// Video-adjustment panel: brightness, saturation and vertical flip of a camera's picture.
#pragma once

#include <QWidget>

#include <memory>

namespace Ui {
class FormVideoSetupWidget;
}

class FormVideoSetupWidget : public QWidget
{
    Q_OBJECT
public:
    explicit FormVideoSetupWidget(QWidget *parent = nullptr);
    ~FormVideoSetupWidget() override;

    double brightness() const;
    double saturation() const;
    bool verticalFlip() const;

public slots:
    // Sliders to 0 and vertical flip off (each change is signalled), then resetVideoSetupTriggered.
    void onResetVideoSetupTriggered();

signals:
    // Values -1..1, 0 neutral; suited to VideoWidget::onSetBrightness and setSaturation.
    void brightnessChanged(double value);
    void saturationChanged(double value);
    void verticalFlipChanged(bool on);
    void resetVideoSetupTriggered();

private:
    std::unique_ptr<Ui::FormVideoSetupWidget> ui;
};
