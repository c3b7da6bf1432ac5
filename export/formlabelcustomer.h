// Picture label placed on the video: a left click selects it and draws an orange frame with
// eight handles; while selected the pointer shape tells the zone under it. GUI thread only.
#pragma once

#include <QLabel>
#include <QPoint>
#include <QVector>

class FormLabelCustomer : public QLabel
{
    Q_OBJECT
public:
    explicit FormLabelCustomer(QWidget *parent = nullptr);

    int selected() const { return selected_; }
    int zone() const { return zone_; }

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void setSelected(int selected);

    int selected_ = 0;
    int zone_ = 0;
    bool handlesValid_ = false;
    QVector<QPoint> handles_;
};
