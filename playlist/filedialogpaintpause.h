// Holds back the repaints of some widgets during a batch of changes, then repaints them once.
#pragma once

#include <QWidget>

#include <initializer_list>
#include <vector>

class FileDialogPaintPause
{
public:
    FileDialogPaintPause(std::initializer_list<QWidget *> widgets) : widgets_(widgets)
    {
        for (QWidget *widget : widgets_)
            widget->setUpdatesEnabled(false);
    }
    ~FileDialogPaintPause()
    {
        for (QWidget *widget : widgets_)
            widget->setUpdatesEnabled(true);
    }
    FileDialogPaintPause(const FileDialogPaintPause &) = delete;
    FileDialogPaintPause &operator=(const FileDialogPaintPause &) = delete;

private:
    std::vector<QWidget *> widgets_;
};
