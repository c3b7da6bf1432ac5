// The question before an export writes over an existing file: it names the file and offers
// Replace and Cancel. Cancel is the default button and Escape cancels too. Frameless, in the
// shared dialog's look; modal over the window below it (the output page), which in turn is modal
// over the application.
#pragma once

#include <QDialog>
#include <QString>

#include <memory>

class QFontMetrics;

namespace Ui {
class ReplaceQuestion;
}

class ReplaceQuestion : public QDialog
{
    Q_OBJECT
public:
    explicit ReplaceQuestion(QWidget *parent = nullptr);
    ~ReplaceQuestion() override;

    // Shows the question about path in the current language and look. accepted() is Replace,
    // rejected() Cancel, Escape or closing.
    void ask(const QString &path);
    QString path() const { return path_; }

    // path in at most maxLines lines of at most widthPx in metrics, broken after a "/" in the
    // line's second half where there is one and anywhere else where not. A longer path loses
    // characters in its middle, shown as an ellipsis.
    static QStringList pathLines(const QString &path, const QFontMetrics &metrics, int widthPx,
                                 int maxLines);

protected:
    // Hands the keyboard back to the window below once answered.
    void done(int result) override;

private:
    void applyLanguage();
    void applyStyle();

    std::unique_ptr<Ui::ReplaceQuestion> ui;
    QString path_;
};
