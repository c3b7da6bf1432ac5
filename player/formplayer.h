// The player area: its background and the camera previews laid out on it.
#pragma once

#include <QWidget>

#include <memory>

namespace Ui {
class FormPlayer;
}

class FormPlayer : public QWidget
{
    Q_OBJECT
public:
    explicit FormPlayer(QWidget *parent = nullptr);
    ~FormPlayer() override;

    // Lays the previews side by side, main camera first; the layout takes ownership.
    void setPreviews(QWidget *mainPreview, QWidget *secondPreview);
    // Background of mode 1 (edit) or otherwise (play).
    void setPlayerBackImage(int mode);
    // Skin image name of the background of mode.
    static QString backImageName(int mode);

private:
    std::unique_ptr<Ui::FormPlayer> ui;
};
