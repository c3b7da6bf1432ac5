// Update wizards: opened from their (hidden) menu entries.
#include "mainwindow.h"

#include "formupdateapplication.h"
#include "formupdatefirewareinterface.h"

void MainWindow::openUpdateWizard(bool firmware)
{
    FormUpdateWizard *wizard = nullptr;
    if (firmware)
        firmwareWizard_ = wizard = new FormUpdateFirewareInterface();
    else
        applicationWizard_ = wizard = new FormUpdateApplication();
    wizard->setAttribute(Qt::WA_DeleteOnClose);
    wizard->setStyle();
    wizard->show();
}
