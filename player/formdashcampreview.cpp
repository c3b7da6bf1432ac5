#include "formdashcampreview.h"

#include "dashcam.h"
#include "ui_formdashcampreview.h"
#include "videowidget.h"

FormDashcamPreview::FormDashcamPreview(QWidget *parent)
    : QWidget(parent), ui(std::make_unique<Ui::FormDashcamPreview>()),
      dashcam_(std::make_unique<Dashcam>())
{
    ui->setupUi(this);
    ui->videoLayout->addWidget(dashcam_->getVideoWidget());
}

FormDashcamPreview::~FormDashcamPreview() = default;
