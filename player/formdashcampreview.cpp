#include "formdashcampreview.h"

#include "dashcam.h"
#include "ui_formdashcampreview.h"
#include "videowidget.h"

FormDashcamPreview::FormDashcamPreview(QWidget *parent)
    : QWidget(parent), ui(std::make_unique<Ui::FormDashcamPreview>()),
      dashcam_(std::make_unique<Dashcam>())
{
    ui->setupUi(this);
    // A window of its own: each new video frame is composed into this view's area alone, not
    // into the whole main window.
    setAttribute(Qt::WA_DontCreateNativeAncestors);
    setAttribute(Qt::WA_NativeWindow);
    ui->videoLayout->addWidget(dashcam_->getVideoWidget());
}

FormDashcamPreview::~FormDashcamPreview() = default;
