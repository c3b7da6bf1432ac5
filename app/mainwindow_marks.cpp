// The play list's "now playing" marks: always on the rows the two players play, also after rows
// are added while another file plays.
#include "mainwindow.h"

#include "dashcam.h"
#include "formlist.h"

#include <utility>

void MainWindow::wireMarks()
{
    for (Dashcam *player : {mainDashcam(), secondDashcam()})
        connect(player, &Dashcam::MediaPathChanged, this, &MainWindow::scheduleMarks);
    // the list marks every row it inserts
    connect(mainDashcam(), &Dashcam::fileInfoChanged, this, &MainWindow::scheduleMarks);
}

void MainWindow::scheduleMarks()
{
    // once the operation that changed the players is over and both paths are final
    if (std::exchange(marksScheduled_, true))
        return;
    QMetaObject::invokeMethod(
        this,
        [this] {
            marksScheduled_ = false;
            list_->markPlayingRows(mainDashcam()->getMediaPath(), secondDashcam()->getMediaPath());
        },
        Qt::QueuedConnection);
}
