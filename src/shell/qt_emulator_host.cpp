#include "shell/qt_emulator_host.h"

#include <QInputDialog>
#include <QProcess>
#include <QSettings>

namespace mw {

namespace {
const QString kCommandKey = QStringLiteral("emulator/command");
}

std::string QtEmulatorHost::storedCommand() { return QSettings().value(kCommandKey).toString().toStdString(); }

void QtEmulatorHost::storeCommand(const std::string& command) {
    QSettings().setValue(kCommandKey, QString::fromStdString(command));
}

std::optional<std::string> QtEmulatorHost::askText(const std::string& title, const std::string& label,
                                                   const std::string& initial) {
    QInputDialog box(parent_);
    box.setWindowTitle(QString::fromStdString(title));
    box.setLabelText(QString::fromStdString(label));
    box.setTextValue(QString::fromStdString(initial));
    box.resize(520, box.sizeHint().height());
    if (box.exec() != QDialog::Accepted) return std::nullopt;
    return box.textValue().toStdString();
}

bool QtEmulatorHost::startDetached(const std::string& program, const std::vector<std::string>& arguments,
                                   std::string& error) {
    QProcess process;
    process.setProgram(QString::fromStdString(program));
    QStringList args;
    for (const std::string& a : arguments) args << QString::fromStdString(a);
    process.setArguments(args);
    process.setStandardInputFile(QProcess::nullDevice());
    if (process.startDetached()) return true;
    error = process.errorString().toStdString();
    return false;
}

}  // namespace mw
