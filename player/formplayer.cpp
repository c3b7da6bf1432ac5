#include "formplayer.h"

#include "skin.h"
#include "ui_formplayer.h"

FormPlayer::FormPlayer(QWidget *parent) : QWidget(parent), ui(std::make_unique<Ui::FormPlayer>())
{
    ui->setupUi(this);
    setPlayerBackImage(0);
}

FormPlayer::~FormPlayer() = default;

void FormPlayer::setPreviews(QWidget *mainPreview, QWidget *secondPreview)
{
    ui->previewLayout->addWidget(mainPreview);
    ui->previewLayout->addWidget(secondPreview);
}

QString FormPlayer::backImageName(int mode)
{
    return mode == 1 ? QStringLiteral("player_back_edit") : QStringLiteral("player_back_play");
}

void FormPlayer::setPlayerBackImage(int mode)
{
    // The colour shows while the image is missing or loading.
    ui->framePlayerBack->setStyleSheet(
        QStringLiteral("#framePlayerBack{background-color:#000000;border-image:url(%1);}")
            .arg(skinImage(backImageName(mode))));
}
