#include "replacequestion.h"

#include "appglobals.h"
#include "dialoglook.h"
#include "framelesshelper.h"
#include "skin.h"
#include "ui_replacequestion.h"

#include <QDir>
#include <QFontMetrics>

namespace {

constexpr int pathLineCount = 2; // the label holds them and the question's two lines

// rows of the language table's "Notices" section
constexpr int replaceText = 8;
constexpr int questionText = 9;

// text in lines of at most widthPx, each as long as fits, ended after its last "/" when that keeps
// it at least half full; a single character that does not fit gets a line of its own.
QStringList breakLines(const QString &text, const QFontMetrics &metrics, int widthPx)
{
    QStringList lines;
    QString rest = text;
    while (!rest.isEmpty()) {
        int n = rest.size();
        while (n > 1 && metrics.horizontalAdvance(rest.left(n)) > widthPx)
            --n;
        if (n < rest.size()) {
            const int slash = rest.lastIndexOf(QLatin1Char('/'), n - 1);
            if (slash >= 0 && metrics.horizontalAdvance(rest.left(slash + 1)) >= widthPx / 2)
                n = slash + 1;
        }
        lines << rest.left(n);
        rest = rest.mid(n);
    }
    return lines;
}

} // namespace

ReplaceQuestion::ReplaceQuestion(QWidget *parent)
    : QDialog(parent), ui(std::make_unique<Ui::ReplaceQuestion>())
{
    ui->setupUi(this);
    setFixedSize(size());
    setWindowFlag(Qt::FramelessWindowHint);
    setWindowModality(Qt::WindowModal);
    FramelessHelper::install(this);
    connect(ui->replace_btn_ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(ui->replace_btn_cancel, &QPushButton::clicked, this, &QDialog::reject);
}

ReplaceQuestion::~ReplaceQuestion() = default;

void ReplaceQuestion::ask(const QString &path)
{
    path_ = path;
    applyStyle();
    applyLanguage();
    const QStringList lines =
        pathLines(QDir::toNativeSeparators(path), QFontMetrics(ui->replace_tv->font()),
                  ui->replace_tv->width(), pathLineCount);
    ui->replace_tv->setText(lines.join(QLatin1Char('\n')) + QLatin1Char('\n') +
                            formatMultilineText(gLangNotices.value(questionText)));
    // Return answers Cancel unless the user clicks Replace
    ui->replace_btn_cancel->setDefault(true);
    show();
    raise();
    activateWindow();
}

void ReplaceQuestion::done(int result)
{
    QDialog::done(result);
    if (QWidget *below = parentWidget())
        below->activateWindow();
}

QStringList ReplaceQuestion::pathLines(const QString &path, const QFontMetrics &metrics,
                                       int widthPx, int maxLines)
{
    QStringList lines = breakLines(path, metrics, widthPx);
    // less and less of the middle until the rest fits
    for (int budget = widthPx * maxLines; lines.size() > maxLines && budget > 0;
         budget -= widthPx / 8)
        lines = breakLines(metrics.elidedText(path, Qt::ElideMiddle, budget), metrics, widthPx);
    return lines;
}

void ReplaceQuestion::applyLanguage()
{
    DialogLook::setFonts({ui->la_title}, DialogLook::titlePixelSize, true);
    DialogLook::setFonts({ui->replace_btn_ok, ui->replace_btn_cancel}, DialogLook::buttonPixelSize,
                         true);
    DialogLook::setFonts({ui->replace_tv}, DialogLook::messagePixelSize, false);
    ui->la_title->setText(gLangExitEditMode.value(1));
    ui->replace_btn_ok->setText(gLangNotices.value(replaceText));
    ui->replace_btn_cancel->setText(gLangEditDialog.value(11));
}

void ReplaceQuestion::applyStyle()
{
    DialogLook::setBlackWindow(this);
    ui->frame->setStyleSheet(
        DialogLook::backgroundSheet(QStringLiteral("frame"), QStringLiteral("bg_title02.svg")));
    ui->f_replace->setStyleSheet(
        DialogLook::backgroundSheet(QStringLiteral("f_replace"), QStringLiteral("bg_body02.svg")));
    ui->la_title->setStyleSheet(DialogLook::titleSheet());
    ui->replace_tv->setStyleSheet(DialogLook::whiteLabelSheet());
    const QString buttons = DialogLook::pageButtonSheet();
    ui->replace_btn_ok->setStyleSheet(buttons);
    ui->replace_btn_cancel->setStyleSheet(buttons);
}
