#include "shell/frmPatch.h"

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "editing/share_dialogs.h"
#include "shell/frmLevel.h"

namespace mw {

frmPatch::frmPatch(frmLevel& main) : QDialog(&main), main_(main) {
    setWindowTitle(QStringLiteral("Create patch"));
    setModal(true);
    setFont(ControlFont());
    auto* column = new QVBoxLayout(this);
    lblNote = new QLabel(QString::fromLatin1(kPatchLayoutNote), this);
    lblNote->setWordWrap(true);
    lblUnsaved = new QLabel(this);
    lblUnsaved->setWordWrap(true);
    QPalette red = lblUnsaved->palette();
    red.setColor(QPalette::WindowText, QColor(192, 0, 0));
    lblUnsaved->setPalette(red);
    column->addWidget(lblNote);
    column->addWidget(lblUnsaved);

    auto* originalLabel = new QLabel(QStringLiteral("The &original (the unchanged ROM):"), this);
    column->addWidget(originalLabel);
    auto* row = new QHBoxLayout;
    txtOriginal = new QLineEdit(this);
    cmdBrowse = new QPushButton(QStringLiteral("&Browse..."), this);
    cmdBrowse->setAutoDefault(false);
    row->addWidget(txtOriginal, 1);
    row->addWidget(cmdBrowse);
    column->addLayout(row);
    originalLabel->setBuddy(txtOriginal);

    auto* formats = new QGroupBox(QStringLiteral("Format"), this);
    auto* formatRow = new QHBoxLayout(formats);
    optBps = new QRadioButton(QStringLiteral("&BPS (checked when applied)"), formats);
    optIps = new QRadioButton(QStringLiteral("&IPS"), formats);
    optBps->setChecked(true);
    formatRow->addWidget(optBps);
    formatRow->addWidget(optIps);
    formatRow->addStretch(1);
    column->addWidget(formats);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Cancel, this);
    cmdCreate = buttons->addButton(QStringLiteral("&Create..."), QDialogButtonBox::AcceptRole);
    cmdCreate->setDefault(true);
    column->addWidget(buttons);
    resize(480, sizeHint().height());

    connect(cmdBrowse, &QPushButton::clicked, this, [this] {
        const QString chosen = QFileDialog::getOpenFileName(this, QStringLiteral("The original ROM"), txtOriginal->text(),
                                                            QStringLiteral("ROMs (*.smc *.sfc);;All files (*)"));
        if (!chosen.isEmpty()) txtOriginal->setText(chosen);
    });
    connect(buttons, &QDialogButtonBox::accepted, this, [this] { cmdCreate_Click(); });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

void frmPatch::showModal() {
    const LevelEditor& ed = main_.editor();
    if (txtOriginal->text().isEmpty() || !QFileInfo::exists(txtOriginal->text()))
        txtOriginal->setText(QString::fromStdString(OfferedOriginal(ed.rom)));
    const std::string unsaved = UnsavedNote(ed);
    lblUnsaved->setText(QString::fromStdString(unsaved));
    lblUnsaved->setVisible(!unsaved.empty());
    exec();
}

void frmPatch::cmdCreate_Click() {
    LevelEditor& ed = main_.editor();
    const PatchFormat format = optIps->isChecked() ? PatchFormat::Ips : PatchFormat::Bps;
    const QString ext = optIps->isChecked() ? QStringLiteral("ips") : QStringLiteral("bps");
    const QFileInfo rom(QString::fromStdString(ed.rom.path()));
    const QString offered = rom.absolutePath() + QLatin1Char('/') + rom.completeBaseName() + QLatin1Char('.') + ext;
    const QString out = QFileDialog::getSaveFileName(this, QStringLiteral("Write the patch to"), offered,
                                                     QStringLiteral("%1 patches (*.%2)").arg(ext.toUpper(), ext));
    if (out.isEmpty()) return;
    if (CreatePatchFile(ed.rom, format, txtOriginal->text().toStdString(), out.toStdString(), ed.prompter))
        accept();
}

}  // namespace mw
