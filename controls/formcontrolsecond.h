// The second camera's control bar: the zoom slider of the second picture.
#pragma once

#include <QWidget>

#include <memory>

namespace Ui {
class FormControlSecond;
}

class FormControlSecond : public QWidget
{
    Q_OBJECT
public:
    explicit FormControlSecond(QWidget *parent = nullptr);
    ~FormControlSecond() override;

    int zoomValue() const;

public slots:
    // Sets the zoom slider to its maximum less 90: no zoom.
    void onClearZoomValue();
    void applyLanguage();
    // 0 white, 1 black.
    void applyStyle(int style);

signals:
    // Magnification in tenths (10 = 1.0x), on every change of the slider.
    void zoomChanged(int tenths);

private:
    std::unique_ptr<Ui::FormControlSecond> ui;
};
