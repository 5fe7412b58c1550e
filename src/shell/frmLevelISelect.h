#pragma once
// "Select Level" by index: the levels of LevelList.dat and the index box.
#include "shell/level_chooser_dialog.h"

namespace mw {

class frmLevelISelect : public LevelChooserDialog {
    Q_OBJECT
public:
    explicit frmLevelISelect(frmLevel& main);  // shown by mnuFileLevelIndex_Click

    LevelIndexChooser chooser;
    QLineEdit* txtIndex = nullptr;
};

}  // namespace mw
