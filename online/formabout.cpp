#include "formabout.h"
#include "onlinestyle.h"

#include "abouttexts.h"
#include "appfont.h"
#include "appglobals.h"
#include "framelesshelper.h"
#include "sharedtypes.h"
#include "ui_formabout.h"

#include <QCloseEvent>
#include <QFile>
#include <QGridLayout>
#include <QLabel>
#include <QScrollArea>

namespace {
const QString &skinFolder = OnlineStyle::folder;
constexpr char textColour[] = "#ffffff";
} // namespace

FormAbout::FormAbout(QWidget *parent) : QWidget(parent), ui(std::make_unique<Ui::FormAbout>())
{
    ui->setupUi(this);
    buildLicenceTab();
    setWindowFlags(Qt::FramelessWindowHint);
    setWindowModality(Qt::ApplicationModal);
    connect(ui->btn_close, &QPushButton::clicked, this, &FormAbout::onClose);
    // rounded mask and drag by the body; a pressed button does not drag
    FramelessHelper::install(this);
}

FormAbout::~FormAbout() = default;

void FormAbout::buildLicenceTab()
{
    while (ui->aboutTabWidget->count() > 0)
        ui->aboutTabWidget->removeTab(0);

    licenceGrid = new QGridLayout;
    aboutGrid = new QGridLayout;
    contentGrid = new QGridLayout;
    aboutLabel_ = new QLabel;
    noticeLabel_ = new QLabel;
    separatorLabel = new QLabel;
    licenceLabel_ = new QLabel;
    licencePage = new QWidget;
    aboutPage = new QWidget;
    licenceContent = new QWidget;
    scrollArea = new QScrollArea;

    contentGrid->setRowStretch(0, 5);
    contentGrid->setRowStretch(1, 1);
    contentGrid->setRowStretch(2, 50);
    contentGrid->setSpacing(0);
    contentGrid->addWidget(noticeLabel_, 0, 0);
    contentGrid->addWidget(separatorLabel, 1, 0);
    contentGrid->addWidget(licenceLabel_, 2, 0);
    licenceContent->setLayout(contentGrid);
    licenceContent->setObjectName(QStringLiteral("contentLayout"));
    scrollArea->setWidget(licenceContent);
    licenceGrid->addWidget(scrollArea);
    licencePage->setLayout(licenceGrid);
    licencePage->setObjectName(QStringLiteral("frameLayout"));

    aboutGrid->addWidget(aboutLabel_);
    aboutPage->setLayout(aboutGrid);
    aboutPage->setObjectName(QStringLiteral("frameLayout2"));

    ui->aboutTabWidget->insertTab(0, aboutPage, gLangAbout.value(2));
    ui->aboutTabWidget->insertTab(1, licencePage, gLangAbout.value(3));
    ui->aboutTabWidget->setCurrentIndex(0);

    setAboutText();

    // copyright files hold addresses in angle brackets: not rich text
    licenceLabel_->setTextFormat(Qt::PlainText);
    licenceLabel_->setText(AboutTexts::licenceText([](const QString &path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }));
}

void FormAbout::setAboutText()
{
    const QString version = AboutTexts::shownVersion(AboutTexts::builtInVersion());
    ui->la_title_2->setText(gLangAbout.value(1) + QLatin1Char(' '));
    ui->aboutTabWidget->setTabText(0, gLangAbout.value(2));
    ui->aboutTabWidget->setTabText(1, gLangAbout.value(3));
    aboutLabel_->setText(AboutTexts::aboutLabel(gLangAbout.value(4), gLangAbout.value(5), version));
    ui->label_about1->hide();
    noticeLabel_->setText(AboutTexts::noticeText());

    const bool chinese = gLanguage == LangChinese;
    QFont title = getAppFont(chinese);
    title.setPixelSize(31);
    ui->la_title_2->setFont(title);
    QFont body = getAppFont(chinese);
    body.setPixelSize(chinese ? 18 : 21);
    for (QWidget *w :
         {static_cast<QWidget *>(ui->label_about1), static_cast<QWidget *>(aboutLabel_),
          static_cast<QWidget *>(noticeLabel_), static_cast<QWidget *>(separatorLabel),
          static_cast<QWidget *>(licenceLabel_), static_cast<QWidget *>(ui->aboutTabWidget)})
        w->setFont(body);
}

void FormAbout::setStyle(int style)
{
    Q_UNUSED(style)
    const QString colour = QLatin1String(textColour);
    ui->la_title_2->setStyleSheet(QStringLiteral("QLabel{background:#00000000;color:#ffffff}"));
    ui->gridWidget->setStyleSheet(QStringLiteral("QWidget#gridWidget{border-image:url(%1);}")
                                      .arg(skinFolder + QStringLiteral("bg_body_openfolder")));
    ui->label_about1->setStyleSheet(
        QStringLiteral("QLabel {background:#00000000;color:#ffffff;margin:50px;}"));
    ui->frame->setStyleSheet(OnlineStyle::titleFrameSheet());
    ui->btn_close->setFixedSize(25, 25);
    ui->btn_close->setStyleSheet(OnlineStyle::closeButtonSheet());
    const QString tabTemplate =
        QStringLiteral("{color:%1;background:transparent;border-image: url(%2);}");
    ui->aboutTabWidget->setStyleSheet(
        QStringLiteral(
            "QTabWidget::pane{border:none;}QTabWidget::tab-bar{left:0;}QTabBar::tab{width: "
            "180px;height: 52px; color:#ffffff;background:transparent;margin-bottom:5px;}") +
        QStringLiteral("QTabBar::tab:first") +
        tabTemplate.arg(colour, skinFolder + QStringLiteral("about_button01")) +
        QStringLiteral("QTabBar::tab:first:selected") +
        tabTemplate.arg(colour, skinFolder + QStringLiteral("about_button01_selected")) +
        QStringLiteral("QTabBar::tab") +
        tabTemplate.arg(colour, skinFolder + QStringLiteral("about_button02")) +
        QStringLiteral("QTabBar::tab:selected") +
        tabTemplate.arg(colour, skinFolder + QStringLiteral("about_button02_selected")));
    aboutLabel_->setStyleSheet(QStringLiteral("QLabel{color:%1;margin-left:5px;}").arg(colour));
    const QString plain =
        QStringLiteral("QLabel{background:#00000000;color:%1;margin-left:5px;}").arg(colour);
    noticeLabel_->setStyleSheet(plain);
    licenceLabel_->setStyleSheet(plain);
    separatorLabel->setStyleSheet(
        QStringLiteral("QLabel{background:#00000000;color:%1;border-bottom:1px solid "
                       "#727171;height:5px;margin-bottom:25px;}")
            .arg(colour));
    licencePage->setStyleSheet(QStringLiteral("QWidget#frameLayout{border-image: url(%1);}")
                                   .arg(skinFolder + QStringLiteral("about_square")));
    aboutPage->setStyleSheet(QStringLiteral("QWidget#frameLayout2{border-image: url(%1);}")
                                 .arg(skinFolder + QStringLiteral("about_square")));
    licenceContent->setStyleSheet(QStringLiteral("QWidget#contentLayout{border:none;}"));
    scrollArea->setStyleSheet(
        QStringLiteral("QScrollArea{ background-color: #00000000;border:none;margin-bottom:5px;}") +
        QStringLiteral(
            "QScrollBar:vertical{background:#DCDDDD;width:6px;border-radius:2.5px;margin:15px 0 "
            "15px 0;}"
            "QScrollBar:horizontal{background:#DCDDDD;height:6px;border-radius:2.5px;margin:0 50px "
            "0 50px;}"
            "QScrollBar::handle:vertical,QScrollBar::handle:horizontal{background:#353DF4;"
            "border-radius:2.5px;min-height:0px;}"
            "QScrollBar::add-line:vertical{background:transparent;width:12px;height:12px;"
            "subcontrol-position:bottom;margin:1px;}"
            "QScrollBar::sub-line:vertical{background:transparent;width:12px;height:12px;"
            "subcontrol-position:top;margin:1px;padding:0 15px 0 15px;}"
            "QScrollBar::add-line:horizontal{background:transparent;width:12px;height:12px;"
            "subcontrol-position:right;margin:36px;}"
            "QScrollBar::sub-line:horizontal{background:transparent;width:12px;height:12px;"
            "subcontrol-position:left;margin:36px;}") +
        QStringLiteral("QScrollBar::up-arrow{width:12px;height:12px;border-image:url(%1);}"
                       "QScrollBar::down-arrow{width:12px;height:12px;border-image:url(%2);}"
                       "QScrollBar::left-arrow{width:12px;height:12px;border-image:url(%3);}"
                       "QScrollBar::right-arrow{width:12px;height:12px;border-image:url(%4);}")
            .arg(skinFolder + QStringLiteral("list_arrow_up"),
                 skinFolder + QStringLiteral("list_arrow_down"),
                 skinFolder + QStringLiteral("list_arrow_left"),
                 skinFolder + QStringLiteral("list_arrow_right")) +
        QStringLiteral("QScrollBar::add-page,QScrollBar::sub-page{background:none;}"));
    scrollArea->setWidgetResizable(true);
}

void FormAbout::onClose()
{
    close();
}

void FormAbout::closeEvent(QCloseEvent *event)
{
    emit cloesd();
    event->accept();
}
