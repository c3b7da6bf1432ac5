// The editor's drag source: a list of overlay items (map track, dashboard, picture) that are
// dragged onto the preview with the "application/x-dnditemdata" payload.
#pragma once

#include <QAbstractListModel>
#include <QListView>
#include <QMap>
#include <QPoint>
#include <QSize>
#include <QStyledItemDelegate>
#include <QVariant>

class QMimeData;

struct WatermarkItem
{
    QString image1;
    QString image2;
    QString image3;
    bool title = false;
    QSize sizeHint;
    QPoint anchor1;
    QPoint anchor2;
    QPoint anchor3;
    QMap<QString, QVariant> selection; // "column", "row"
};

class WatermarkModel : public QAbstractListModel
{
    Q_OBJECT
public:
    enum Roles
    {
        Image1Role = 257,
        Image2Role,
        Image3Role,
        TitleRole,
        Anchor1Role,
        Anchor2Role,
        Anchor3Role,
        SelectionRole,
        SelectRole // written by the delegate: reported by clickEvent
    };

    explicit WatermarkModel(QObject *parent = nullptr);
    ~WatermarkModel() override;

    // The model owns the items; one item may stand in several rows.
    void addItem(WatermarkItem *item);
    WatermarkItem *item(int row) const { return items.value(row); }

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role) override;

signals:
    void clickEvent(int selectedImage);
    void clickEvent(QVariant selectedImage);

private:
    QVector<WatermarkItem *> items;
};

class WatermarkDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    // The drag payload of the item in column 1, 2 or 3 with the mouse offset from its anchor.
    static QMimeData *itemMimeData(int column, const QString &imagePath, const QPoint &offset);
    // Item text of a column: "mapWaterMark", "dashboard" or "QLabelImage".
    static QString itemText(int column);

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;

protected:
    bool editorEvent(QEvent *event, QAbstractItemModel *model, const QStyleOptionViewItem &option,
                     const QModelIndex &index) override;
};

class WatermarkView : public QListView
{
    Q_OBJECT
public:
    explicit WatermarkView(QWidget *parent = nullptr);

    WatermarkModel *watermarkModel() const { return model_; }
    int selectedColumn() const { return selectedColumn_; }
    int selectedRow() const { return selectedRow_; }

public slots:
    void setSelectedIndex(int index);
    void setSelectedIndex(QVariant qVariant);
    void selectCell(QModelIndex qModelIndex);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    WatermarkModel *model_;
    WatermarkDelegate *delegate_;
    QString skinFolder_;
    int selectedColumn_ = -1;
    int selectedRow_ = -1;
    QPoint pressPos_;
};
