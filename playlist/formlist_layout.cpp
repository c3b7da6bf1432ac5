// Layout, sizes, fonts and style sheets of the play list, and its caption table kept in step.
#include "formlist.h"

#include "appfont.h"
#include "appglobals.h"
#include "listrows.h"
#include "listsizes.h"
#include "skinicon.h"
#include "ui_formlist.h"

#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QResizeEvent>
#include <QScrollBar>
#include <QStyle>
#include <QTableWidget>

#include <algorithm>
#include <limits>
#include <numeric>

namespace {
constexpr int captionCount = 5;
// left padding of the caption sheet, its right border and some air
constexpr int captionTextMargin = 10 + 1 + 8;
constexpr int buttonTextMargin = 4 + 6; // icon to text, and a little air
constexpr int smallestButtonPixels = 9;
const char *const lineColor = "#7d7d7d";
const char *const accentColor = "#353DF4";

// Cells of the widest form each caption column holds: a camera file name, date, size, duration
// and resolution; a group row's key is narrower.
const char *const cellForms[] = {"00000000000000_R.MP4", "00-00-0000", "0000MB", "00:00:00",
                                 "0000x0000"};

// form with every digit 0 as the font's widest digit.
QString widestDigits(QString form, const QFontMetrics &metrics)
{
    QChar widest = QLatin1Char('0');
    for (char digit = '1'; digit <= '9'; ++digit) {
        if (metrics.horizontalAdvance(QLatin1Char(digit)) > metrics.horizontalAdvance(widest))
            widest = QLatin1Char(digit);
    }
    return form.replace(QLatin1Char('0'), widest);
}

// Pixels a list cell takes beside its text: the item sheet's left padding and the style's text
// margins.
int itemTextMargins(const QWidget *table)
{
    constexpr int itemPadding = 5;
    return itemPadding +
           2 * (table->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, table) + 1);
}

// Width a list button needs for its icon, its text and a little air.
int buttonNeed(const QString &text, const QFontMetrics &metrics, int iconWidth)
{
    return metrics.horizontalAdvance(text) + iconWidth + buttonTextMargin;
}

QString itemSheet()
{
    return QStringLiteral("QTableWidget{ background-color: %1;margin-bottom:5px;}"
                          "QTableWidget::item{color: %2;border-bottom: 1px solid %3; "
                          "padding-left: 5px; }"
                          "QTableWidget::item:selected{ background-color: %4}"
                          "QTableWidget{selection-background-color: %4;}")
        .arg(QLatin1String("#00000000"), QLatin1String("#ffffff"), QLatin1String(lineColor),
             QLatin1String("#4C81838D"));
}

QString arrowSheet(const char *part, const char *image)
{
    return QStringLiteral("QScrollBar::%1{width:12px;height:12px;border:none;"
                          "background:transparent;image:url(%2);}")
        .arg(QLatin1String(part), skinImageFile(QLatin1String(image)));
}

QString listScrollSheet()
{
    const QString bars =
        QStringLiteral("QScrollBar:horizontal{height:6px;background:%1;border-radius:2.5px;"
                       "margin:0px 50px 0px 50px;}"
                       "QScrollBar:vertical{width:6px;background:%1;border-radius:2.5px;"
                       "margin:45px 0px 15px 0px;}"
                       "QScrollBar::handle{background:%2;border-radius:2.5px;}"
                       "QScrollBar::add-page,QScrollBar::sub-page{background:none;}")
            .arg(QLatin1String("#DCDDDD"), QLatin1String(accentColor));
    return bars + arrowSheet("add-line:horizontal", "list_arrow_right") +
           arrowSheet("sub-line:horizontal", "list_arrow_left") +
           arrowSheet("add-line:vertical", "list_arrow_down") +
           arrowSheet("sub-line:vertical", "list_arrow_up");
}

QString captionScrollSheet()
{
    return QStringLiteral("QScrollBar{background:transparent;}"
                          "QScrollBar::handle{background:transparent;}"
                          "QScrollBar::add-line,QScrollBar::sub-line{background:transparent;"
                          "border:none;}"
                          "QScrollBar::add-page,QScrollBar::sub-page{background:none;}");
}

QString captionSheet(int headerHeight, int language)
{
    // English sits lower in its section than the other languages
    const QString borders = language == 0 ? QStringLiteral("border-top:0px transparent;"
                                                           "border-bottom:-5px transparent;")
                                          : QStringLiteral("border-top:-3px transparent;"
                                                           "border-bottom:-3px transparent;");
    return QStringLiteral("QHeaderView{background-color:#00000000;}"
                          "QHeaderView::section{height:%1px;background-color:#00000000;"
                          "color:%2;border-right:1px solid %3;margin-top:10px;"
                          "margin-bottom:10px;padding-left:10px;padding-bottom:5px;%4}")
        .arg(headerHeight)
        .arg(QLatin1String(accentColor), QLatin1String(lineColor), borders);
}

QString buttonSheet()
{
    return QStringLiteral("QPushButton {border:none; background-color: %1; color: %2; "
                          "border-bottom: 1px solid %3; padding-top:5px; padding-bottom:5px;} %4")
               .arg(QLatin1String("#00000000"), QLatin1String("#ffffff"), QLatin1String(lineColor),
                    QLatin1String("QPushButton:pressed { background-color: #353DF4;}")) +
           QStringLiteral("QPushButton:pressed { background-color: #00000000;color: %1; }")
               .arg(QLatin1String(accentColor));
}
} // namespace

void FormList::initLayout()
{
    listLayout = new QGridLayout;
    listLayout->setContentsMargins(15, 0, 15, 0);
    listLayout->setSpacing(0);
    QPushButton *const buttons[] = {btnAdd, btnRemove, btnGroup, btnUngroup};
    for (int column = 0; column < 4; ++column)
        listLayout->addWidget(buttons[column], 0, column);
    listLayout->addWidget(headerTableWidget, 1, 0, 1, 4);
    listLayout->addWidget(separatorLabel, 2, 0, 1, 4);
    listLayout->addWidget(tableWidget, 3, 0, 1, 4);
    listLayout->setRowStretch(1, 23);
    listLayout->setRowStretch(2, 1);
    listLayout->setRowStretch(3, 70);
    headerTableWidget->viewport()->installEventFilter(this);
    for (QPushButton *button : {btnAdd, btnRemove, btnGroup, btnUngroup})
        button->raise();
    delete ui->widget->layout();
    ui->widget->setLayout(listLayout);
}

void FormList::setWindowSize(int width, int height, int windowHeight)
{
    const ListSizes sizes = ListSizes::compute(width, height, windowHeight);
    for (QPushButton *button : {btnAdd, btnRemove, btnGroup, btnUngroup}) {
        button->setFixedHeight(sizes.buttonHeight);
        button->setMaximumWidth(sizes.buttonMaxWidth);
    }
    listLayout->setRowStretch(3, sizes.listRowStretch);

    markColumnWidth = sizes.listColumns[0];
    for (int column = 0; column < 6; ++column)
        tableWidget->setColumnWidth(column, sizes.listColumns[column]);
    captionsByCode = true;
    for (int column = 0; column < captionCount; ++column)
        headerTableWidget->setColumnWidth(column, sizes.captionColumns[column]);
    captionsByCode = false;
    scrolledToEnd = false;
    ui->widget->setFixedHeight(sizes.widgetHeight);

    btnAdd->setIconSize(sizes.addIcon);
    btnRemove->setIconSize(sizes.addIcon);
    btnGroup->setIconSize(sizes.groupIcon);
    btnUngroup->setIconSize(sizes.groupIcon);

    QFont font(getAppFontFamily());
    font.setBold(true);
    font.setPixelSize(sizes.fontPixelSize);
    for (QPushButton *button : {btnAdd, btnRemove, btnGroup, btnUngroup})
        button->setFont(font);
    for (QTableWidget *table : {tableWidget, headerTableWidget})
        table->horizontalHeader()->setFont(font);
    headerHeight = sizes.headerHeight;
    captionPixelSize = sizes.fontPixelSize;
    std::copy(std::begin(sizes.captionColumns), std::end(sizes.captionColumns),
              std::begin(captionBaseWidths));

    itemPixelSize = sizes.itemPixelSize;
    markPointSize = sizes.markPointSize;
    for (int row = 0; row < tableWidget->rowCount(); ++row)
        applyRowFonts(row, true);
    setStyle(styleIndex);
    fitCaptions();
    fitButtons();
}

bool FormList::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == headerTableWidget->viewport() && event->type() == QEvent::Resize &&
        static_cast<QResizeEvent *>(event)->oldSize().width() !=
            static_cast<QResizeEvent *>(event)->size().width()) {
        fitCaptions();
        fitButtons();
    }
    return QWidget::eventFilter(watched, event);
}

void FormList::fitCaptions()
{
    QHeaderView *header = headerTableWidget->horizontalHeader();
    int base[captionCount];
    int widths[captionCount];
    for (int column = 0; column < captionCount; ++column) {
        base[column] =
            captionBaseWidths[column] > 0 ? captionBaseWidths[column] : header->sectionSize(column);
        widths[column] = base[column];
    }
    int cellNeeds[captionCount];
    cellWidths(itemPixelSize, cellNeeds);
    cellNeeds[0] += markColumnWidth; // the file column stands above the mark column too

    // Every caption as wide as its text and its cells; the room comes from the file column (its
    // names are elided anyway), then from a smaller caption font, down to the rows' size. A whole
    // file name takes what the row leaves, then what the other columns hold beyond their needs,
    // from the widest first, then a smaller caption font too.
    // room counts once the list is shown; until then its size is not known
    const bool roomKnown = headerTableWidget->isVisible();
    const int available =
        roomKnown ? headerTableWidget->viewport()->width() : std::numeric_limits<int>::max() / 2;
    const auto fit = [&](const QFontMetrics &metrics) {
        int needs[captionCount];
        int fileNeeds = 0;
        for (int column = 0; column < captionCount; ++column) {
            const int caption = captionWidth(column, metrics);
            needs[column] = column == 0 ? caption : std::max(caption, cellNeeds[column]);
            widths[column] = std::max(base[column], needs[column]);
            if (column == 0)
                fileNeeds = std::max(caption, markColumnWidth * 3);
        }
        const int overflow = std::accumulate(std::begin(widths), std::end(widths), 0) - available;
        const int fileSpare = std::max(widths[0] - fileNeeds, 0);
        if (overflow > 0)
            widths[0] -= std::min(overflow, fileSpare);
        if (!roomKnown)
            return overflow <= fileSpare;
        int missing = cellNeeds[0] - widths[0];
        const int fromRow = std::clamp(-overflow, 0, std::max(missing, 0));
        widths[0] += fromRow;
        missing -= fromRow;
        for (; missing > 0; --missing) {
            int widest = 0;
            for (int column = 1; column < captionCount; ++column) {
                if (widths[column] > needs[column] &&
                    (widest == 0 || widths[column] > widths[widest]))
                    widest = column;
            }
            if (widest == 0)
                break;
            --widths[widest];
            ++widths[0];
        }
        return overflow <= fileSpare && missing <= 0;
    };
    QFont font = header->font();
    const int largest = captionPixelSize > 0 ? captionPixelSize : font.pixelSize();
    const int smallest = std::min(largest, std::max(itemPixelSize, 1));
    for (int pixels = largest; pixels >= smallest; --pixels) {
        if (pixels > 0)
            font.setPixelSize(pixels);
        if (fit(QFontMetrics(font)) || pixels <= 0)
            break;
    }
    // one font for the captions: the header's and the items' own (which the header paints)
    header->setFont(font);
    for (int column = 0; column < captionCount; ++column) {
        if (QTableWidgetItem *item = headerTableWidget->horizontalHeaderItem(column))
            item->setFont(font);
    }
    captionsByCode = true;
    for (int column = 0; column < captionCount; ++column)
        header->resizeSection(column, widths[column]);
    captionsByCode = false;
    // the caption table is its caption row only, so the first list row starts right under it
    headerTableWidget->setFixedHeight(header->sizeHint().height() +
                                      2 * headerTableWidget->frameWidth());
}

void FormList::setLanguageFont()
{
    QFont font = applyAppFont(btnAdd->font(), 0, true);
    font.setBold(true);
    for (QPushButton *button : {btnAdd, btnRemove, btnGroup, btnUngroup})
        button->setFont(font);
    for (int column = 0; column <= ListRows::ColResolution; ++column) {
        if (QTableWidgetItem *item = tableWidget->horizontalHeaderItem(column))
            item->setFont(font);
    }
    for (int column = 0; column < captionCount; ++column) {
        if (QTableWidgetItem *item = headerTableWidget->horizontalHeaderItem(column))
            item->setFont(font);
    }
    retranslateText();
    tableWidget->horizontalHeader()->setSectionResizeMode(ListRows::ColMark, QHeaderView::Fixed);
    setListHeaderTexts();
    setStyle(gStyle);
    fitCaptions();
    fitButtons();
}

void FormList::setListHeaderTexts()
{
    // the list's own header is hidden; the caption table shows the same texts
    tableWidget->setHorizontalHeaderLabels(
        {QString(), gLangList.value(5), gLangList.value(6), gLangList.value(7), gLangList.value(8),
         gLangList.value(9), QStringLiteral("Path"), QStringLiteral("Durations")});
}

void FormList::retranslateText()
{
    headerTableWidget->setHorizontalHeaderLabels({gLangList.value(5), gLangList.value(6),
                                                  gLangList.value(7), gLangList.value(8),
                                                  gLangList.value(9)});
    QPushButton *const buttons[] = {btnAdd, btnRemove, btnGroup, btnUngroup};
    for (int i = 0; i < 4; ++i)
        buttons[i]->setText(gLangList.value(i + 1));
    fitCaptions();
    fitButtons();
}

void FormList::fitButtons()
{
    // Each button as wide as its icon and text; when the row is too narrow for all four, a
    // smaller font, down to a still readable size. Until the list is shown its width is not known.
    QPushButton *const buttons[] = {btnAdd, btnRemove, btnGroup, btnUngroup};
    const int available = headerTableWidget->isVisible() ? headerTableWidget->width()
                                                         : std::numeric_limits<int>::max() / 2;
    QFont font = btnAdd->font();
    const int largest = captionPixelSize > 0 ? captionPixelSize : font.pixelSize();
    const int smallest = std::min(largest, smallestButtonPixels);
    int needs[4] = {};
    for (int pixels = largest; pixels >= smallest; --pixels) {
        if (pixels > 0)
            font.setPixelSize(pixels);
        const QFontMetrics metrics(font);
        int total = 0;
        for (int i = 0; i < 4; ++i) {
            needs[i] = buttonNeed(buttons[i]->text(), metrics, buttons[i]->iconSize().width());
            total += needs[i];
        }
        if (total <= available || pixels <= 0)
            break;
    }
    for (int i = 0; i < 4; ++i) {
        buttons[i]->setFont(font);
        // the stretch, not the text's size hint, shares out the row
        buttons[i]->setSizePolicy(QSizePolicy::Ignored, buttons[i]->sizePolicy().verticalPolicy());
        listLayout->setColumnStretch(i, needs[i]);
    }
}

int FormList::captionWidth(int column, const QFontMetrics &metrics) const
{
    const QTableWidgetItem *item = headerTableWidget->horizontalHeaderItem(column);
    return (item ? metrics.horizontalAdvance(item->text()) : 0) + captionTextMargin;
}

void FormList::cellWidths(int rowPixels, int (&widths)[5]) const
{
    // the rows' bold font, a cell of each column's widest form
    QFont font(getAppFontFamily());
    font.setBold(true);
    font.setPixelSize(std::max(rowPixels, 1));
    const QFontMetrics metrics(font);
    for (int column = 0; column < captionCount; ++column) {
        const QString form = widestDigits(QLatin1String(cellForms[column]), metrics);
        // names come in either case; a pixel or two of air for pairs a font draws closer
        widths[column] =
            std::max(metrics.horizontalAdvance(form), metrics.horizontalAdvance(form.toLower())) +
            itemTextMargins(tableWidget) + 2;
    }
}

int FormList::widthForTexts(int windowHeight) const
{
    const ListSizes sizes = ListSizes::compute(0, 0, windowHeight);
    return panelWidthFor(sizes, sizes.fontPixelSize, sizes.fontPixelSize, true);
}

int FormList::narrowestWidth(int windowHeight) const
{
    const ListSizes sizes = ListSizes::compute(0, 0, windowHeight);
    return panelWidthFor(sizes, std::min(sizes.fontPixelSize, smallestButtonPixels),
                         std::min(sizes.fontPixelSize, sizes.itemPixelSize), false);
}

int FormList::panelWidthFor(const ListSizes &sizes, int buttonPixels, int captionPixels,
                            bool wholeName) const
{
    const QMargins margins = listLayout->contentsMargins();
    const int sides = margins.left() + margins.right();

    QFont font = btnAdd->font();
    font.setPixelSize(std::max(buttonPixels, 1));
    const QFontMetrics buttonMetrics(font);
    const std::pair<const QPushButton *, int> buttons[] = {{btnAdd, sizes.addIcon.width()},
                                                           {btnRemove, sizes.addIcon.width()},
                                                           {btnGroup, sizes.groupIcon.width()},
                                                           {btnUngroup, sizes.groupIcon.width()}};
    int buttonRow = sides;
    for (const auto &[button, iconWidth] : buttons)
        buttonRow += buttonNeed(button->text(), buttonMetrics, iconWidth);

    // captions over whole cells; the file column with a whole name, or at its narrowest three
    // mark columns, each a twentieth of the panel
    font.setPixelSize(std::max(captionPixels, 1));
    const QFontMetrics captionMetrics(font);
    int cells[captionCount];
    cellWidths(sizes.itemPixelSize, cells);
    int rest = sides + 2 * headerTableWidget->frameWidth();
    for (int column = 1; column < captionCount; ++column)
        rest += std::max(captionWidth(column, captionMetrics), cells[column]);
    const int fileCaption = captionWidth(0, captionMetrics);
    const int columns = wholeName ? ((rest + std::max(fileCaption, cells[0])) * 20 + 18) / 19
                                  : std::max(rest + fileCaption, (rest * 20 + 16) / 17);
    return std::max(buttonRow, columns + 2); // and some air
}

void FormList::setStyle(int style)
{
    // one look for every style: fixed colours, images of the default skin
    styleIndex = style;
    separatorLabel->setStyleSheet(
        QStringLiteral("QLabel {border-top: 1px solid %1;}").arg(QLatin1String(lineColor)));
    headerTableWidget->horizontalHeader()->setStyleSheet(captionSheet(headerHeight, gLanguage));
    tableWidget->setStyleSheet(itemSheet() + listScrollSheet());
    headerTableWidget->setStyleSheet(itemSheet() + captionScrollSheet());
    const QString sheet = buttonSheet();
    const std::pair<QPushButton *, const char *> icons[] = {{btnAdd, "list_add"},
                                                            {btnRemove, "list_remove"},
                                                            {btnGroup, "list_group"},
                                                            {btnUngroup, "list_ungroup"}};
    for (const auto &[button, image] : icons) {
        button->setStyleSheet(sheet);
        const QSize size = button->iconSize();
        button->setIcon(QIcon(skinPixmap(QLatin1String(image), size * 2)));
    }
}

void FormList::setTabelWidgetWidth()
{
    QHeaderView *header = headerTableWidget->horizontalHeader();
    // the minimum guards the user's resizing; raising it widens every narrower caption, so the
    // list's own sizing must not raise it
    const bool recorded =
        std::all_of(std::begin(captionWidths), std::end(captionWidths), [](int w) { return w; });
    if (recorded && !captionsByCode) {
        for (int column = 0; column < captionCount; ++column) {
            if (header->sectionSize(column) != captionWidths[column]) {
                header->setMinimumSectionSize(captionMinimumWidth(gLanguage, column));
                break;
            }
        }
    }
    for (int column = 0; column < captionCount; ++column)
        captionWidths[column] = header->sectionSize(column);
    fileCaptionWidth = captionWidths[0];
    if (!scrolledToEnd)
        lastCaptionWidth = captionWidths[4];
    const bool scrolled = tableWidget->horizontalScrollBar()->value() != 0;
    tableWidget->setColumnWidth(ListRows::ColName,
                                scrolled ? captionWidths[0] : captionWidths[0] - markColumnWidth);
    for (int column = 1; column < captionCount; ++column)
        tableWidget->setColumnWidth(column + 1, captionWidths[column]);
}

void FormList::setTabelWidgetHeaderDoubleClick(int index)
{
    const int minimum = captionMinimumWidth(gLanguage, index);
    QHeaderView *header = headerTableWidget->horizontalHeader();
    header->setMinimumSectionSize(minimum);
    header->resizeSection(index, minimum);
}

void FormList::setScrollBarValue()
{
    // the list scrolls by whole columns; caption column 0 stands above list columns 0 and 1
    const QScrollBar *bar = tableWidget->horizontalScrollBar();
    const int value = bar->value();
    headerTableWidget->horizontalScrollBar()->setValue(qMax(value - 1, 0));
    tableWidget->setColumnWidth(ListRows::ColName,
                                value != 0 ? fileCaptionWidth : fileCaptionWidth - markColumnWidth);
    QHeaderView *header = headerTableWidget->horizontalHeader();
    captionsByCode = true;
    if (value == bar->maximum()) {
        scrolledToEnd = true; // set first: the resize must not record the widened width
        header->resizeSection(4, lastCaptionWidth + 5);
    } else if (scrolledToEnd) {
        scrolledToEnd = false;
        header->resizeSection(4, lastCaptionWidth);
    }
    captionsByCode = false;
}
