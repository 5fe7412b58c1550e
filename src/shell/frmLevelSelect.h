#pragma once
// "Select Level" by file offsets: the levels of LevelOffsets.dat, the header
// offset and the sprite offset boxes.
#include "shell/level_chooser_dialog.h"

namespace mw {

class frmLevelSelect : public LevelChooserDialog {
    Q_OBJECT
public:
    explicit frmLevelSelect(frmLevel& main);  // shown by mnuFileLevel_Click

    LevelOffsetChooser chooser;
    QLineEdit* txtOffset = nullptr;
    QLineEdit* txtSpriteOffset = nullptr;
};

}  // namespace mw
