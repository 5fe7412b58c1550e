#include "shell/frmLevelSelect.h"

#include <QLabel>

#include "shell/frmLevel.h"

namespace mw {

frmLevelSelect::frmLevelSelect(frmLevel& main) : LevelChooserDialog(main, chooser, 297, 385, 240) {
    auto* offsetLabel = new QLabel(QStringLiteral("&Offset"), this);
    Place(offsetLabel, 8, 259, 81, 17);
    txtOffset = new QLineEdit(this);
    Place(txtOffset, 96, 256, 97, 19);
    offsetLabel->setBuddy(txtOffset);
    auto* spriteLabel = new QLabel(QStringLiteral("&Sprite Offset"), this);
    Place(spriteLabel, 8, 283, 81, 17);
    txtSpriteOffset = new QLineEdit(this);
    Place(txtSpriteOffset, 96, 280, 97, 19);
    spriteLabel->setBuddy(txtSpriteOffset);
    auto* warning = new QLabel(QString::fromLatin1(kLevelOffsetWarning), this);
    Place(warning, 8, 306, 281, 34);
    warning->setWordWrap(true);
    warning->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    ConnectValueBox(txtOffset, txtSpriteOffset);
}

}  // namespace mw
