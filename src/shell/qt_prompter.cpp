#include "shell/qt_prompter.h"

#include <QApplication>
#include <QFileDialog>
#include <QGridLayout>
#include <QMessageBox>
#include <QSpacerItem>

namespace mw {

namespace {

// A short text makes a narrow box, whose title the window manager then cuts
// ("Mar...ick"); keep the box wide enough for the title beside the title
// bar's icon and buttons.
void FitTitle(QMessageBox& box) {
    QFont titleFont = QApplication::font();
    titleFont.setBold(true);
    titleFont.setStretch(QFont::Unstretched);
    titleFont.setPixelSize(13);
    const int width = QFontMetrics(titleFont).horizontalAdvance(box.windowTitle()) + 130;
    if (auto* grid = qobject_cast<QGridLayout*>(box.layout()))
        grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Minimum), grid->rowCount(), 0, 1,
                      grid->columnCount());
}

}  // namespace

void QtPrompter::message(const std::string& title, const std::string& text) {
    QMessageBox box(QMessageBox::NoIcon, QString::fromStdString(title), QString::fromStdString(text),
                    QMessageBox::Ok, parent_);
    box.setTextFormat(Qt::PlainText);
    FitTitle(box);
    box.exec();
}

bool QtPrompter::askYesNo(const std::string& title, const std::string& text) {
    QMessageBox box(QMessageBox::NoIcon, QString::fromStdString(title), QString::fromStdString(text),
                    QMessageBox::Yes | QMessageBox::No, parent_);
    box.setTextFormat(Qt::PlainText);
    FitTitle(box);
    // The questions ask before something is dropped: Enter keeps it.
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

SaveChoice QtPrompter::askSaveDiscardCancel(const std::string& title, const std::string& text) {
    QMessageBox box(QMessageBox::NoIcon, QString::fromStdString(title), QString::fromStdString(text),
                    QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, parent_);
    box.setTextFormat(Qt::PlainText);
    FitTitle(box);
    // Enter and Escape both leave everything as it is: nothing is written
    // and nothing is dropped.
    box.setDefaultButton(QMessageBox::Cancel);
    box.setEscapeButton(QMessageBox::Cancel);
    switch (box.exec()) {
        case QMessageBox::Save: return SaveChoice::Save;
        case QMessageBox::Discard: return SaveChoice::Discard;
        default: return SaveChoice::Cancel;
    }
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
