#include "formcontrolsecond.h"
#include "ui_formcontrolsecond.h"

#include "appglobals.h"
#include "barstyle.h"
#include "edittexts.h"
#include "jumpclickstyle.h"
#include "skinicon.h"
#include "zoomrange.h"

namespace {
constexpr int iconSide = 18;
}

FormControlSecond::FormControlSecond(QWidget *parent)
    : QWidget(parent), ui(std::make_unique<Ui::FormControlSecond>())
{
    ui->setupUi(this);
    setAttribute(Qt::WA_StyledBackground);
    auto *jumpStyle = new JumpClickStyle;
    jumpStyle->setParent(this);
    ui->sliderZoom->setStyle(jumpStyle);
    ui->sliderZoom->setRange(ZoomRange::minimum, ZoomRange::maximum);
    ui->sliderZoom->setPageStep(ZoomRange::pageStep);
    ui->sliderZoom->setValue(ZoomRange::minimum);
    connect(ui->sliderZoom, &QSlider::valueChanged, this, &FormControlSecond::zoomChanged);
    applyLanguage();
    applyStyle(gStyle);
}

FormControlSecond::~FormControlSecond() = default;

int FormControlSecond::zoomValue() const
{
    return ui->sliderZoom->value();
}

void FormControlSecond::onClearZoomValue()
{
    ui->sliderZoom->setValue(ui->sliderZoom->maximum() - ZoomRange::clearOffset);
}

void FormControlSecond::applyLanguage()
{
    ui->sliderZoom->setToolTip(editModeText(EditText::Zoom));
    ui->labelZoom->setToolTip(editModeText(EditText::Zoom));
}

void FormControlSecond::applyStyle(int style)
{
    setStyleSheet(barStyleSheet(barPalette(style), objectName()));
    setSkinPixmap(ui->labelZoom, QStringLiteral("playbar_zoom"), iconSide,
                  QStringLiteral("\u2295"));
}
