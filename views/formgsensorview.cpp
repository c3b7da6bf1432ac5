#include "formgsensorview.h"

#include "appglobals.h"
#include "formchart.h"
#include "gsensorchartmath.h"
#include "ui_formgsensorview.h"

FormGSensorView::FormGSensorView(QWidget *parent)
    : QWidget(parent), ui(std::make_unique<Ui::FormGSensorView>())
{
    ui->setupUi(this);
    // the grid may be taller than the panel: the readout keeps its height, the chart the rest
    ui->gridLayout->setRowStretch(1, 1);
}

FormGSensorView::~FormGSensorView() = default;

void FormGSensorView::setValue(float x, float y, float z, bool invalid)
{
    const QString dash = QStringLiteral("-");
    ui->label_gsensor_x2->setText(invalid ? dash : GSensorChart::valueText(x));
    ui->label_gsensor_y2->setText(invalid ? dash : GSensorChart::valueText(y));
    ui->label_gsensor_z2->setText(invalid ? dash : GSensorChart::valueText(z));
}

void FormGSensorView::setTitle()
{
    ui->label_gsensor_2->setText(gLangShowData.value(3));
}

void FormGSensorView::setStyle(int)
{
    const auto color = [](const QString &rgb) {
        return QStringLiteral("QLabel {color:%1}").arg(rgb);
    };
    ui->label_gsensor_1->setStyleSheet(color(QStringLiteral("#FFFFFF")));
    ui->label_gsensor_2->setStyleSheet(color(QStringLiteral("#FFFFFF")));
    ui->label_gsensor_x1->setStyleSheet(color(QStringLiteral("#FF0000")));
    ui->label_gsensor_x2->setStyleSheet(color(QStringLiteral("#FF0000")));
    ui->label_gsensor_y1->setStyleSheet(color(QStringLiteral("#00AFCC")));
    ui->label_gsensor_y2->setStyleSheet(color(QStringLiteral("#00AFCC")));
    ui->label_gsensor_z1->setStyleSheet(color(QStringLiteral("#E5A857")));
    ui->label_gsensor_z2->setStyleSheet(color(QStringLiteral("#E5A857")));
    const QString separator =
        QStringLiteral("QLabel{border-right: 1px solid %1;}").arg(QStringLiteral("#898989"));
    for (QLabel *label : {ui->label_separation1, ui->label_separation2, ui->label_separation3})
        label->setStyleSheet(separator);
}

void FormGSensorView::setFontSize(int width, int height)
{
    const GSensorChart::ReadoutSizes sizes = GSensorChart::readoutSizes(width, height);
    ui->gridWidget->setFixedSize(sizes.grid);
    QFont letter(QStringLiteral("Arial"));
    letter.setPixelSize(sizes.letterPx);
    QFont value(QStringLiteral("Arial"));
    value.setPixelSize(sizes.valuePx);
    for (QLabel *label :
         {ui->label_gsensor_1, ui->label_gsensor_x1, ui->label_gsensor_y1, ui->label_gsensor_z1})
        label->setFont(letter);
    for (QLabel *label :
         {ui->label_gsensor_2, ui->label_gsensor_x2, ui->label_gsensor_y2, ui->label_gsensor_z2})
        label->setFont(value);
}

void FormGSensorView::addChart(QWidget *chart)
{
    ui->chartGridLayout->addWidget(chart, 0, 0, Qt::AlignLeft | Qt::AlignTop);
}

QWidget *FormGSensorView::chartWidget() const
{
    QLayoutItem *item = ui->chartGridLayout->itemAt(0);
    return item ? item->widget() : nullptr;
}

void FormGSensorView::clearChart()
{
    if (auto *chart = qobject_cast<FormChart *>(chartWidget()))
        chart->clearSeries();
}

QString FormGSensorView::valueText(int axis) const
{
    const QLabel *labels[] = {ui->label_gsensor_x2, ui->label_gsensor_y2, ui->label_gsensor_z2};
    return labels[qBound(0, axis, 2)]->text();
}
