#include "shell/frmLevelISelect.h"

#include <QLabel>

#include "shell/frmLevel.h"

namespace mw {

frmLevelISelect::frmLevelISelect(frmLevel& main) : LevelChooserDialog(main, chooser, 297, 337, 256) {
    auto* label = new QLabel(QStringLiteral("&Index"), this);
    Place(label, 8, 275, 41, 17);
    txtIndex = new QLineEdit(this);
    Place(txtIndex, 56, 272, 89, 19);
    label->setBuddy(txtIndex);
    ConnectValueBox(txtIndex);
}

}  // namespace mw
