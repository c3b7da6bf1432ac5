#include "formvideosetupwidget.h"

#include "ui_formvideosetupwidget.h"

namespace {

constexpr double sliderScale = 100.0; // slider steps per unit of the -1..1 range

} // namespace

FormVideoSetupWidget::FormVideoSetupWidget(QWidget *parent)
    : QWidget(parent), ui(std::make_unique<Ui::FormVideoSetupWidget>())
{
    ui->setupUi(this);
    connect(ui->sliderBrightness, &QSlider::valueChanged, this,
            [this](int value) { emit brightnessChanged(value / sliderScale); });
    connect(ui->sliderSaturation, &QSlider::valueChanged, this,
            [this](int value) { emit saturationChanged(value / sliderScale); });
    connect(ui->checkVerticalFlip, &QCheckBox::toggled, this,
            &FormVideoSetupWidget::verticalFlipChanged);
}

FormVideoSetupWidget::~FormVideoSetupWidget() = default;

double FormVideoSetupWidget::brightness() const
{
    return ui->sliderBrightness->value() / sliderScale;
}

double FormVideoSetupWidget::saturation() const
{
    return ui->sliderSaturation->value() / sliderScale;
}

bool FormVideoSetupWidget::verticalFlip() const
{
    return ui->checkVerticalFlip->isChecked();
}

void FormVideoSetupWidget::onResetVideoSetupTriggered()
{
    ui->sliderBrightness->setValue(0);
    ui->sliderSaturation->setValue(0);
    ui->checkVerticalFlip->setChecked(false);
    emit resetVideoSetupTriggered();
}
