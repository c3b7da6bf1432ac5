// The list of one day's ride files under start-time headers; reports the double-clicked file.
#pragma once

#include <QListView>
#include <QModelIndex>
#include <QStringList>

class FileDateListDelegate;
class FileDateListModel;

class FileDateListView : public QListView
{
    Q_OBJECT

public:
    explicit FileDateListView(QWidget *parent = nullptr);
    ~FileDateListView() override;

    FileDateListModel *listModel() const { return model_; }

    // Appends header and file rows for names "yyyyMMddhhmmss....TXT" in the given order.
    void setFileList(const QStringList &fileNames);
    void clearList();
    // Every row's reference size becomes (width - 6, height - 6).
    void setItemSize(int width, int height);

signals:
    void selectedFile_trigger(QString fileName);

public slots:
    void drawSelectedRow(QModelIndex index);
    void selectedFile(QModelIndex index);
    void clearSelectedFile();

private:
    // Runs change on every row with updates off, then repaints once.
    template <typename Change> void changeRows(Change change);

    QString selectedFileName_;
    FileDateListModel *model_;       // owned
    FileDateListDelegate *delegate_; // owned
};
