// Main window: overlay items on the video views and the overlay editor.
#include "mainwindow.h"

#include "appglobals.h"
#include "dashcam.h"
#include "formwatermarkview.h"
#include "overlayitems.h"
#include "videowidget.h"

void MainWindow::wireOverlays()
{
    // video views -> overlay widgets on drops
    OverlayItems::install(mainDashcam()->getVideoWidget());
    OverlayItems::install(secondDashcam()->getVideoWidget());
    // main player -> the samples the editor starts with (after the views that fill them in)
    connect(mainDashcam(), &Dashcam::MediaChanged, this,
            [this](QVector<VideoInfo_t> &samples) { overlaySamples_ = samples; });
}

void MainWindow::onWatermark()
{
    auto *editor = new FormWatermarkView;
    editor->setAttribute(Qt::WA_DeleteOnClose);
    // The sample video is the main camera's file, whose trip data the overlays show.
    editor->setSampleVideo(mainDashcam()->getMediaPath());
    editor->setButtonStyle(gStyle);
    editor->initDashcam();
    editor->setSpeedUnit(currentSpeedUnit());
    editor->show();
    editor->setData(overlaySamples_);
    // main player -> editor; one connection, to the editor opened last
    disconnect(watermarkSamples_);
    watermarkSamples_ =
        connect(mainDashcam(), &Dashcam::MediaChanged, editor, &FormWatermarkView::setData);
    watermarkView_ = editor;
}
