#include "shell/qt_prompter.h"

#include <QFileDialog>
#include <QMessageBox>

namespace mw {

void QtPrompter::message(const std::string& title, const std::string& text) {
    QMessageBox box(QMessageBox::NoIcon, QString::fromStdString(title), QString::fromStdString(text),
                    QMessageBox::Ok, parent_);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

bool QtPrompter::askYesNo(const std::string& title, const std::string& text) {
    QMessageBox box(QMessageBox::NoIcon, QString::fromStdString(title), QString::fromStdString(text),
                    QMessageBox::Yes | QMessageBox::No, parent_);
    box.setTextFormat(Qt::PlainText);
    // The questions ask before something is dropped: Enter keeps it.
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

std::optional<std::string> QtPrompter::chooseOpenFile(const std::string& filterName,
                                                      const std::string& pattern) {
    // The filter name already names its pattern ("ROMs (*.smc)"); add it when it does not.
    QString filter = QString::fromStdString(filterName);
    const QString pat = QString::fromStdString(pattern);
    if (!filter.contains(QLatin1Char('(')) && !pat.isEmpty())
        filter += QStringLiteral(" (") + pat + QLatin1Char(')');
    const QString path = QFileDialog::getOpenFileName(parent_, QString(), QString(), filter);
    if (path.isEmpty()) return std::nullopt;
    return path.toStdString();
}

}  // namespace mw
