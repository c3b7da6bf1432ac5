// The About window: the version and year line on one tab; on the other, the parts this build
// contains with their licences and the licence texts.
#pragma once

#include <QWidget>

#include <memory>

class QGridLayout;
class QLabel;
class QScrollArea;

namespace Ui {
class FormAbout;
}

class FormAbout : public QWidget
{
    Q_OBJECT
public:
    explicit FormAbout(QWidget *parent = nullptr);
    ~FormAbout() override;

    // Texts and fonts of the current language (gLangAbout, gLanguage).
    void setAboutText();
    // The style index is accepted; every style has the default brand's images.
    void setStyle(int style);

    QLabel *aboutLabel() const { return aboutLabel_; }
    QLabel *licenceLabel() const { return licenceLabel_; }
    QLabel *noticeLabel() const { return noticeLabel_; }

signals:
    void cloesd();

protected:
    void closeEvent(QCloseEvent *event) override;

private slots:
    void onClose();

private:
    void buildLicenceTab();

    std::unique_ptr<Ui::FormAbout> ui;
    // created without parents; the tab widget takes them with the pages
    QLabel *aboutLabel_ = nullptr;
    QLabel *noticeLabel_ = nullptr;
    QLabel *separatorLabel = nullptr;
    QLabel *licenceLabel_ = nullptr;
    QWidget *licencePage = nullptr;
    QWidget *aboutPage = nullptr;
    QWidget *licenceContent = nullptr;
    QGridLayout *licenceGrid = nullptr;
    QGridLayout *aboutGrid = nullptr;
    QGridLayout *contentGrid = nullptr;
    QScrollArea *scrollArea = nullptr;
};
