// marlwick [ROM]: the level editor. A ROM path on the command line takes the
// place of the file dialog at start-up; the definition files are read from
// the directory that holds the executable, else from the installed data folder.
#include <QApplication>
#include <optional>
#include <string>

#include "definitions/definition_tables.h"
#include "shell/frmAbout.h"
#include "shell/frmLevel.h"
#include "shell/qt_prompter.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    // Window size, zoom, options and the emulator command are kept under these names.
    QApplication::setOrganizationName(QStringLiteral("Marlwick"));
    QApplication::setApplicationName(QStringLiteral("Marlwick"));
    QApplication::setFont(mw::ControlFont());
    QApplication::setWindowIcon(mw::MarlwickIcon());

    // Qt has taken its own options out of the arguments by now.
    const QStringList args = QCoreApplication::arguments();
    std::optional<std::string> romPath;
    if (args.size() > 1) romPath = args.at(1).toStdString();

    mw::QtPrompter prompter;
    mw::frmLevel window(prompter);
    if (!window.Form_Load(mw::FindDefinitionsFolder(QCoreApplication::applicationDirPath().toStdString()), romPath))
        return window.editor().exitStatus;
    prompter.setParent(&window);
    window.show();
    return app.exec();
}
