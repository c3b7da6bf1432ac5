#include "chartdelegate.h"

#include "appfont.h"
#include "chartgeometry.h"

#include <QDate>
#include <QMouseEvent>
#include <QPainter>

namespace {
const QColor labelColour(0xc9, 0xca, 0xca);
const QColor lineColour(0xff, 0x96, 0x00);
const QColor averageColour(0x2e, 0xa7, 0xe0);
const QColor playedColour(46, 167, 224, 77);
constexpr double baselineWidth = 0.6;
constexpr double seriesWidth = 1.2;
constexpr double selectedDotPenWidth = 2.5;
constexpr int selectedDotRadius = 6;
constexpr int dotRadius = 3;
constexpr int dotBelowBaseline = 10;
constexpr int averageLabelGap = 9;

QPen chartPen(const QColor &colour, double width)
{
    return QPen(QBrush(colour), width, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin);
}

QFont pixelFont(int pixelSize)
{
    QFont font = getAppFont(false);
    font.setPixelSize(qMax(1, pixelSize));
    return font;
}
} // namespace

ChartItem ChartDelegate::readItem(const QModelIndex &index)
{
    ChartItem item;
    item.size = index.data(ChartRole::size).toSize();
    item.chartType = index.data(ChartRole::chartType).toInt();
    item.periodType = index.data(ChartRole::periodType).toInt();
    item.min = index.data(ChartRole::min).toFloat();
    item.max = index.data(ChartRole::max).toFloat();
    item.average = index.data(ChartRole::average).toFloat();
    item.values = index.data(ChartRole::values).toJsonArray();
    item.position = index.data(ChartRole::position).toFloat();
    item.averageVisible = index.data(ChartRole::averageVisible).toBool();
    item.lineVisible = index.data(ChartRole::lineVisible).toBool();
    item.leftMargin = index.data(ChartRole::leftMargin).toInt();
    item.rightMargin = index.data(ChartRole::rightMargin).toInt();
    item.axisFontSize = index.data(ChartRole::axisFontSize).toInt();
    item.averageFontSize = index.data(ChartRole::averageFontSize).toInt();
    item.date = index.data(ChartRole::date).toString();
    item.bottomMargin = index.data(ChartRole::bottomMargin).toInt();
    return item;
}

void ChartDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option,
                          const QModelIndex &index) const
{
    const ChartItem item = readItem(index);
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing, true);
    painter->translate(option.rect.topLeft());

    drawAxisLabels(painter, item);
    const int baseline = ChartGeometry::baselineY(item);
    painter->setPen(chartPen(Qt::white, baselineWidth));
    painter->drawLine(item.leftMargin, baseline, item.leftMargin + ChartGeometry::plotWidth(item),
                      baseline);
    if (item.chartType == ChartType::bar) {
        drawBarChart(painter, item);
    } else {
        drawPlayedShare(painter, item);
        drawLineChart(painter, item);
    }
    painter->restore();
}

void ChartDelegate::drawAxisLabels(QPainter *painter, const ChartItem &item)
{
    const QRect area(0, 0, item.size.width(),
                     item.bottomMargin / 4 + ChartGeometry::plotHeight(item));
    const float mid = (item.max + item.min) / 2.0f;
    painter->setFont(pixelFont(item.axisFontSize));
    painter->setPen(labelColour);
    painter->drawText(area, Qt::AlignLeft | Qt::AlignTop, ChartGeometry::axisLabelText(item.max));
    painter->drawText(area, Qt::AlignLeft | Qt::AlignVCenter, ChartGeometry::axisLabelText(mid));
    painter->drawText(area, Qt::AlignLeft | Qt::AlignBottom,
                      ChartGeometry::axisLabelText(item.min));
}

void ChartDelegate::drawPlayedShare(QPainter *painter, const ChartItem &item)
{
    const auto width = static_cast<int>(ChartGeometry::plotWidth(item) / 100.0 * item.position);
    painter->setPen(Qt::NoPen);
    painter->setBrush(playedColour);
    painter->drawRect(item.leftMargin, 0, width, ChartGeometry::plotHeight(item));
    painter->setBrush(Qt::NoBrush);
}

void ChartDelegate::drawLineChart(QPainter *painter, const ChartItem &item)
{
    const int n = item.values.size();
    if (item.lineVisible && n > 1) {
        const double step = static_cast<double>(ChartGeometry::plotWidth(item)) / (n - 1);
        painter->setPen(chartPen(lineColour, seriesWidth));
        for (int i = 1; i < n; ++i) {
            const auto x1 = static_cast<int>(item.leftMargin + seriesWidth + step * (i - 1));
            const auto x2 = static_cast<int>(item.leftMargin + step * i);
            painter->drawLine(x1, ChartGeometry::valueY(item, item.values.at(i - 1).toDouble()), x2,
                              ChartGeometry::valueY(item, item.values.at(i).toDouble()));
        }
    }
    if (item.averageVisible)
        drawAverage(painter, item, ChartGeometry::averageY(item));
}

void ChartDelegate::drawBarChart(QPainter *painter, const ChartItem &item)
{
    const int bars = ChartGeometry::barCount(item.periodType);
    const int width = ChartGeometry::barWidth(item.periodType);
    const int selected = static_cast<int>(item.position) - 1;
    const int h = ChartGeometry::plotHeight(item);
    const int H = item.size.height();
    const QDate first = ChartGeometry::firstBarDate(item.date, QDate::currentDate().year());
    const QFont dateFont = pixelFont(item.axisFontSize);
    for (int i = 0; i < bars; ++i) {
        const bool isSelected = i == selected;
        const int x = ChartGeometry::barCentreX(item, bars, i);
        const QPoint dot(x, H - item.bottomMargin + dotBelowBaseline);
        if (isSelected) {
            painter->setPen(chartPen(Qt::white, selectedDotPenWidth));
            painter->setBrush(lineColour);
            painter->drawEllipse(dot, selectedDotRadius, selectedDotRadius);
        } else {
            painter->setPen(chartPen(averageColour, 1.0));
            painter->setBrush(averageColour);
            painter->drawEllipse(dot, dotRadius, dotRadius);
        }
        painter->setBrush(Qt::NoBrush);

        const double value = item.values.at(i).toDouble(); // 0 when missing
        if (value != 0.0) {
            painter->setPen(chartPen(isSelected ? averageColour : lineColour, width));
            painter->drawLine(x, ChartGeometry::valueY(item, value) + width / 2, x, h - width / 2);
        }

        if (first.isValid() && ChartGeometry::barDateVisible(bars, i, selected)) {
            const int left = ChartGeometry::barLabelLeft(item, bars, i);
            painter->setFont(dateFont);
            painter->setPen(isSelected ? lineColour : labelColour);
            painter->drawText(QRect(left, 0, item.size.width(), H), Qt::AlignLeft | Qt::AlignBottom,
                              first.addDays(i).toString(QStringLiteral("MM/dd")));
        }
    }
    if (item.averageVisible)
        drawAverage(painter, item, ChartGeometry::averageY(item));
}

void ChartDelegate::drawAverage(QPainter *painter, const ChartItem &item, int y)
{
    painter->setPen(chartPen(averageColour, baselineWidth));
    painter->drawLine(item.leftMargin, y, item.leftMargin + ChartGeometry::plotWidth(item) - 1, y);
    const int left = item.size.width() - item.rightMargin + averageLabelGap;
    const int top = y - 5 < 1 ? 0 : y - 5;
    painter->setFont(pixelFont(item.averageFontSize));
    painter->setPen(averageColour);
    painter->drawText(QRect(left, top, item.size.width(), item.size.height()),
                      Qt::AlignLeft | Qt::AlignTop, QStringLiteral("Avg."));
}

bool ChartDelegate::editorEvent(QEvent *event, QAbstractItemModel *model,
                                const QStyleOptionViewItem &option, const QModelIndex &index)
{
    if (event->type() == QEvent::MouseButtonPress) {
        const auto *press = static_cast<QMouseEvent *>(event);
        const std::optional<float> value =
            ChartGeometry::clickValue(readItem(index), press->pos().x() - option.rect.left());
        if (value)
            model->setData(index, *value, ChartRole::click);
    }
    return QStyledItemDelegate::editorEvent(event, model, option, index);
}
