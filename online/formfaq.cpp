#include "formfaq.h"
#include "onlinestyle.h"

#include "appfont.h"
#include "appglobals.h"
#include "framelesshelper.h"
#include "instructionpages.h"
#include "skin.h"
#include "ui_formfaq.h"

#include <QCloseEvent>
#include <QGraphicsPixmapItem>
#include <QGraphicsScene>
#include <QScrollBar>

namespace {
constexpr int sectionPixelSize = 17;
constexpr int smallestSectionPixelSize = 11;
constexpr int sectionMarginPx = 4; // air between a contents entry's text and its button's sides

QString sectionSheet(const QString &colour)
{
    return QStringLiteral("QPushButton {background:#00000000;text-align:center; border:none; "
                          "color:%1}")
        .arg(colour);
}
} // namespace

FormFAQ::FormFAQ(QWidget *parent) : QWidget(parent), ui(std::make_unique<Ui::FormFAQ>())
{
    ui->setupUi(this);
    connect(ui->btn_windowzoom, &QPushButton::clicked, this, &FormFAQ::onWindowZoom);
    setWindowFlags(Qt::FramelessWindowHint);
    setWindowModality(Qt::ApplicationModal);
    connect(ui->btn_close, &QPushButton::clicked, this, &FormFAQ::onClose);
    connect(ui->btn_1_1, &QPushButton::clicked, this, &FormFAQ::onLight_1);
    connect(ui->btn_1_2, &QPushButton::clicked, this, &FormFAQ::onLight_2);
    connect(ui->btn_1_3, &QPushButton::clicked, this, &FormFAQ::onLight_3);
    connect(ui->frame, &FrameCustomized::doubleClicked, this, &FormFAQ::onWindowZoom);
    connect(ui->graphicsView_2->verticalScrollBar(), &QScrollBar::valueChanged, this,
            &FormFAQ::onVerticalScrollEvent);
    // rounded mask and drag by the body; a pressed button does not drag
    FramelessHelper::install(this);

    ui->graphicsView_2->setScene(new QGraphicsScene(ui->graphicsView_2));
    picture = new QGraphicsPixmapItem;
    setStyle(gStyle);
}

FormFAQ::~FormFAQ()
{
    if (!picture->scene())
        delete picture;
}

int FormFAQ::sectionOffset(int section) const
{
    return section >= 1 && section <= 3 ? offsets[section - 1] : 0;
}

void FormFAQ::changeLang(Zq_Language lang)
{
    InstructionPages::Page page = InstructionPages::forLanguage(lang);
    QPixmap pixmap(OnlineStyle::folder + page.imageFile);
    if (pixmap.isNull()) {
        // a language without its own manual reads the English one
        page = InstructionPages::english();
        pixmap = QPixmap(OnlineStyle::folder + page.imageFile);
    }
    imagePath_ = OnlineStyle::folder + page.imageFile;
    offsets[0] = 0;
    offsets[1] = page.section2;
    offsets[2] = page.section3;
    picture->setPixmap(pixmap);
    if (!picture->scene())
        ui->graphicsView_2->scene()->addItem(picture);
}

void FormFAQ::onLight_1()
{
    ui->graphicsView_2->verticalScrollBar()->setValue(offsets[0]);
    highlightSection1();
}

void FormFAQ::onLight_2()
{
    ui->graphicsView_2->verticalScrollBar()->setValue(offsets[1]);
    highlightSection2();
}

void FormFAQ::onLight_3()
{
    ui->graphicsView_2->verticalScrollBar()->setValue(offsets[2]);
    highlightSection3();
}

void FormFAQ::onVerticalScrollEvent(int value)
{
    const int section = InstructionPages::sectionAt(value, offsets[0], offsets[1], offsets[2]);
    if (section > 0)
        highlightSection(section);
}

void FormFAQ::highlightSection(int section)
{
    highlighted = section;
    QPushButton *buttons[] = {ui->btn_1_1, ui->btn_1_2, ui->btn_1_3};
    for (int i = 0; i < 3; ++i)
        buttons[i]->setStyleSheet(sectionSheet(i + 1 == section ? activeColour : inactiveColour));
}

void FormFAQ::onWindowZoom()
{
    if (windowState() == Qt::WindowMaximized) {
        showNormal();
        ui->btn_windowzoom->setStyleSheet(OnlineStyle::imageButtonSheet(
            QStringLiteral("pw_zoomin.svg"), QStringLiteral("pw_zoomin_selected.svg")));
    } else {
        showMaximized();
        ui->btn_windowzoom->setStyleSheet(OnlineStyle::imageButtonSheet(
            QStringLiteral("pw_zoonout.svg"), QStringLiteral("pw_zoonout_selected.svg")));
    }
}

void FormFAQ::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    adjustLayout(width(), height());
}

void FormFAQ::adjustLayout(int width, int height)
{
    const InstructionPages::Layout layout = InstructionPages::layoutFor(width, height);
    ui->contentFrame->setFixedSize(layout.contentFrame);
    ui->graphicsView_2->setFixedSize(layout.view);
    ui->frame->setFixedWidth(layout.frameWidth);
    QRect zoom = ui->btn_windowzoom->geometry();
    zoom.moveLeft(layout.zoomButtonX);
    ui->btn_windowzoom->setGeometry(zoom);
    QRect closeButton = ui->btn_close->geometry();
    closeButton.moveLeft(layout.closeButtonX);
    ui->btn_close->setGeometry(closeButton);
    QRect line = ui->dividing_line->geometry();
    line.setHeight(layout.dividingLineHeight);
    ui->dividing_line->setGeometry(line);
    ui->gridFrame->setFixedSize(width, height);
}

void FormFAQ::onClose()
{
    close();
}

void FormFAQ::closeEvent(QCloseEvent *event)
{
    emit cloesd();
    event->accept();
}

void FormFAQ::setLanguageFont()
{
    QFont title = applyAppFont(ui->la_title->font(), 0, false);
    title.setPixelSize(31);
    ui->la_title->setFont(title);
    ui->la_title->setText(formatMultilineText(gLangFAQ.value(1)));
    // each contents entry whole: on two lines when it is too wide, in a smaller font when a line
    // still is
    const std::pair<QPushButton *, int> entries[] = {
        {ui->btn_1_1, 3}, {ui->btn_1_2, 4}, {ui->btn_1_3, 5}};
    for (const auto &[button, row] : entries) {
        QFont section = applyAppFont(button->font(), 0, false);
        section.setPixelSize(sectionPixelSize);
        const int widthPx = button->width() - 2 * sectionMarginPx;
        const QString text = InstructionPages::entryLines(formatMultilineText(gLangFAQ.value(row)),
                                                          QFontMetrics(section), widthPx);
        section.setPixelSize(
            pixelSizeToFit(section, text, widthPx, sectionPixelSize, smallestSectionPixelSize));
        button->setFont(section);
        button->setText(text);
    }
}

void FormFAQ::setStyle(int style)
{
    Q_UNUSED(style)
    ui->la_title->setStyleSheet(QStringLiteral("QLabel{background:#00000000;color:#ffffff}"));
    ui->frame->setStyleSheet(OnlineStyle::titleFrameSheet());
    ui->gridFrame->setStyleSheet(
        QStringLiteral("border-image:url(:/image/TALVEXStyle/bg_body_instruction.svg)"));
    highlightSection1();
    ui->btn_close->setFixedSize(25, 25);
    ui->btn_close->setStyleSheet(OnlineStyle::closeButtonSheet());
    ui->btn_windowzoom->setStyleSheet(OnlineStyle::imageButtonSheet(
        QStringLiteral("pw_zoomin.svg"), QStringLiteral("pw_zoomin_selected.svg")));
    for (QLabel *step : {ui->label_stepImage1, ui->label_stepImage2})
        step->setStyleSheet(QStringLiteral("background:#00000000;border-image:url(%1);")
                                .arg(OnlineStyle::folder + QStringLiteral("pw_share_step_icon")));
    ui->dividing_line->setStyleSheet(QStringLiteral("background:#00000000;color:rgb(127,127,127)"));
    ui->graphicsView_2->verticalScrollBar()->setStyleSheet(QStringLiteral(
        "QScrollBar:vertical{background:#c9caca;width:6px;border:0px solid #353DF4;}"
        "QScrollBar::handle:vertical{background:#353DF4;border-radius:2.5px;min-height:0px;}"
        "QScrollBar::add-line:vertical{background:transparent;height:20px;"
        "subcontrol-position:bottom;}"));
    ui->graphicsView_2->horizontalScrollBar()->setStyleSheet(QStringLiteral(
        "QScrollBar:horizontal{background:#c9caca;height:6px;}"
        "QScrollBar::handle:horizontal{background:#353DF4;border-radius:2.5px;min-height:20px;}"
        "QScrollBar::add-line:horizontal{background:transparent;}"));
}
