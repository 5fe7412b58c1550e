#pragma once
// "Objects list": a sizable tool window that mirrors the main window's
// palette and drives it (its selection and filter go to the main list).
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QWidget>

namespace mw {

class frmLevel;

class frmObjectList : public QWidget {
    Q_OBJECT
public:
    explicit frmObjectList(frmLevel& main);

    // Copies the palette's items (when `itemsChanged`), filter, selection
    // and visibility from the editor.
    void SyncFromEditor(bool itemsChanged);

    QLabel* lblFilter = nullptr;
    QLineEdit* txtFilter = nullptr;
    QListWidget* lstObjects = nullptr;

protected:
    void resizeEvent(QResizeEvent* event) override;  // Form_Resize
    void closeEvent(QCloseEvent* event) override;    // Form_Unload

private:
    frmLevel& main_;
    bool filled_ = false;
};

}  // namespace mw
