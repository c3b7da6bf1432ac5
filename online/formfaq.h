// The instruction window: the manual of the current language as one tall picture with three
// section buttons that jump to its sections and follow the reader while scrolling.
#pragma once

#include "sharedtypes.h"

#include <QWidget>

#include <memory>

class QGraphicsPixmapItem;

namespace Ui {
class FormFAQ;
}

class FormFAQ : public QWidget
{
    Q_OBJECT
public:
    explicit FormFAQ(QWidget *parent = nullptr);
    ~FormFAQ() override;

    // Fonts and texts of the current language (gLangFAQ, gLanguage).
    void setLanguageFont();
    // The style index is accepted; every style has the default brand's images.
    void setStyle(int style);

    // Section rows of the picture shown (section 1 is row 0).
    int sectionOffset(int section) const;
    // Section button 1..3 drawn in the active colour.
    int highlightedSection() const { return highlighted; }
    // The picture file the window shows (a missing one falls back to the English picture).
    QString imagePath() const { return imagePath_; }

public slots:
    void changeLang(Zq_Language lang);
    void onWindowZoom();

signals:
    void cloesd();

protected:
    void resizeEvent(QResizeEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private slots:
    void onLight_1();
    void onLight_2();
    void onLight_3();
    void onVerticalScrollEvent(int value);
    void onClose();

private:
    void adjustLayout(int width, int height);
    void highlightSection(int section);
    void highlightSection1() { highlightSection(1); }
    void highlightSection2() { highlightSection(2); }
    void highlightSection3() { highlightSection(3); }

    std::unique_ptr<Ui::FormFAQ> ui;
    QGraphicsPixmapItem *picture = nullptr; // owned by the scene once added
    int offsets[3] = {0, 0, 0};
    int highlighted = 1;
    QString activeColour = QStringLiteral("#ffffff");
    QString inactiveColour = QStringLiteral("#727171");
    QString imagePath_;
};
