// One camera's view: owns the camera's player and lays out its picture.
#pragma once

#include <QWidget>

#include <memory>

namespace Ui {
class FormDashcamPreview;
}
class Dashcam;

class FormDashcamPreview : public QWidget
{
    Q_OBJECT
public:
    explicit FormDashcamPreview(QWidget *parent = nullptr);
    ~FormDashcamPreview() override;

    Dashcam *getDashcam() const { return dashcam_.get(); }

private:
    std::unique_ptr<Ui::FormDashcamPreview> ui;
    std::unique_ptr<Dashcam> dashcam_; // destroyed before the child view: it frees the renderer
};
