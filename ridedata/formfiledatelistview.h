// The framed day file list of the ride-data page: relays the double-clicked file and clears the
// loaded mark on stop.
#pragma once

#include <QStringList>
#include <QWidget>

#include <memory>

namespace Ui {
class FormFileDateListView;
}
class FileDateListView;

class FormFileDateListView : public QWidget
{
    Q_OBJECT

public:
    explicit FormFileDateListView(QWidget *parent = nullptr);
    ~FormFileDateListView() override;

    FileDateListView *listView() const { return view_; }

    // Replaces the rows with the day's bare file names, in the given order.
    void setFileList(const QStringList &fileNames);
    void setListSize(int width, int height);

signals:
    // fileName: the double-clicked file's name less its extension.
    void selectedFile_trigger(QString fileName);
    // Playback stopped: the list forgets its loaded file.
    void stopTrigger();

private:
    void setListStyle();

    std::unique_ptr<Ui::FormFileDateListView> ui;
    FileDateListView *view_; // owned by the form's grid layout
};
