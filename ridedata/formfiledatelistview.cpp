#include "formfiledatelistview.h"

#include "filedatelistmodel.h"
#include "filedatelistview.h"
#include "skin.h"
#include "ui_formfiledatelistview.h"

FormFileDateListView::FormFileDateListView(QWidget *parent)
    : QWidget(parent), ui(std::make_unique<Ui::FormFileDateListView>()), view_(new FileDateListView)
{
    ui->setupUi(this);
    setListStyle();
    connect(view_->listModel(), &FileDateListModel::clickEvent, view_,
            &FileDateListView::drawSelectedRow);
    connect(view_->listModel(), &FileDateListModel::clickDoubleEvent, view_,
            &FileDateListView::selectedFile);
    connect(view_, &FileDateListView::selectedFile_trigger, this,
            &FormFileDateListView::selectedFile_trigger);
    connect(this, &FormFileDateListView::stopTrigger, view_, &FileDateListView::clearSelectedFile);
    ui->gridWidget->setGeometry(0, 0, 456, 203);
    ui->gridWidget->setFixedSize(456, 203);
    ui->gridLayout->addWidget(view_);
}

FormFileDateListView::~FormFileDateListView() = default;

void FormFileDateListView::setFileList(const QStringList &fileNames)
{
    view_->clearList();
    view_->setFileList(fileNames);
}

void FormFileDateListView::setListSize(int width, int height)
{
    ui->gridWidget->setFixedSize(width, height);
    view_->setItemSize(width, height);
}

// Colour arguments stay empty: row colours come from the delegate alone.
void FormFileDateListView::setListStyle()
{
    const QString colour;
    const QString style = getStylePath();
    QString sheet = QStringLiteral(
        "QListView{background-color:#00000000;border:none;padding-left:15px;padding-right:15px;"
        "padding-top:0px;padding-bottom:0px;border-radius:10px;}");
    sheet += QStringLiteral("QListView::item{color: %1;").arg(colour) +
             QStringLiteral("border-bottom-style: solid;border-bottom-color: #7d7d7d;"
                            "border-bottom-width:1px; padding-left: 5px; }");
    sheet += QStringLiteral("QListView::item::selected{ background-color: %1}").arg(colour);
    sheet +=
        QStringLiteral("QScrollBar:vertical{width:6px;border-radius:2.5px;margin:20px 0px 15px "
                       "0px;background:%1;}")
            .arg(colour);
    sheet += QStringLiteral("QScrollBar:horizontal{height:6px;border-radius:2.5px;margin:0px 50px "
                            "0px 50px;background:%1;}")
                 .arg(colour);
    sheet += QStringLiteral("QScrollBar::handle:vertical{background:%1;min-height:0px;"
                            "border-radius:2.5px;}"
                            "QScrollBar::handle:horizontal{background:%1;min-height:0px;"
                            "border-radius:2.5px;}")
                 .arg(colour);
    sheet += QStringLiteral(
        "QScrollBar::add-line,QScrollBar::sub-line{background:transparent;border:none;"
        "width:12px;height:12px;}"
        "QScrollBar::add-line:vertical{subcontrol-position:bottom;margin-bottom:1px;}"
        "QScrollBar::add-line:horizontal{subcontrol-position:right;margin-right:36px;}"
        "QScrollBar::sub-line:vertical{subcontrol-position:top;margin-top:5px;padding-left:15px;"
        "padding-right:15px;}"
        "QScrollBar::sub-line:horizontal{subcontrol-position:left;margin-left:36px;}");
    sheet += QStringLiteral("QScrollBar::up-arrow{border-image:url(%1list_arrow_up);width:12px;"
                            "height:12px;}"
                            "QScrollBar::down-arrow{border-image:url(%1list_arrow_down);width:12px;"
                            "height:12px;}"
                            "QScrollBar::left-arrow{border-image:url(%1list_arrow_left);width:12px;"
                            "height:12px;}"
                            "QScrollBar::right-arrow{border-image:url(%1list_arrow_right);"
                            "width:12px;height:12px;}")
                 .arg(style);
    sheet += QStringLiteral("QScrollBar::add-page,QScrollBar::sub-page{background:none;}");
    view_->setStyleSheet(sheet);
}
