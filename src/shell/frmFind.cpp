#include "shell/frmFind.h"

#include <QGridLayout>
#include <QHeaderView>

#include "shell/frmLevel.h"

namespace mw {

frmFind::frmFind(frmLevel& main) : QDialog(&main), main_(main) {
    setWindowTitle(QStringLiteral("Find in all levels"));
    setFont(ControlFont());
    auto* grid = new QGridLayout(this);
    cboKind = new QComboBox(this);
    // In the order of FindQuery::Kind.
    cboKind->addItems({QStringLiteral("Object ID"), QStringLiteral("Extended object ID"), QStringLiteral("Sprite ID"),
                       QStringLiteral("Name contains")});
    txtFind = new QLineEdit(this);
    txtFind->setPlaceholderText(QStringLiteral("ID in hexadecimal, or a piece of a name"));
    cmdFind = new QPushButton(QStringLiteral("&Find"), this);
    cmdFind->setDefault(true);
    lstHits = new QTreeWidget(this);
    lstHits->setHeaderLabels({QStringLiteral("Level"), QStringLiteral("Entry"), QStringLiteral("Position"),
                              QStringLiteral("Name")});
    lstHits->setRootIsDecorated(false);
    lstHits->setUniformRowHeights(true);
    lstHits->header()->setStretchLastSection(true);
    for (int c = 0; c < 3; ++c) lstHits->setColumnWidth(c, 60);
    lblCount = new QLabel(QStringLiteral("Double-click a row to go to the entry."), this);
    grid->addWidget(cboKind, 0, 0);
    grid->addWidget(txtFind, 0, 1);
    grid->addWidget(cmdFind, 0, 2);
    grid->addWidget(lstHits, 1, 0, 1, 3);
    grid->addWidget(lblCount, 2, 0, 1, 3);
    grid->setColumnStretch(1, 1);
    resize(460, 360);

    connect(cmdFind, &QPushButton::clicked, this, [this] { cmdFind_Click(); });
    connect(lstHits, &QTreeWidget::itemActivated, this,
            [this](QTreeWidgetItem* item, int) { lstHits_DoubleClick(lstHits->indexOfTopLevelItem(item)); });
}

void frmFind::showFind() {
    show();
    raise();
    activateWindow();
    txtFind->setFocus();
    txtFind->selectAll();
}

void frmFind::cmdFind_Click() {
    model.kind = static_cast<FindQuery::Kind>(cboKind->currentIndex());
    model.txtFind = txtFind->text().toStdString();
    if (!model.cmdFind_Click(main_.editor(), main_.editor().prompter)) return;
    cboKind->setCurrentIndex(static_cast<int>(model.kind));  // a name typed under an ID searches by name
    lstHits->clear();
    QList<QTreeWidgetItem*> rows;
    rows.reserve(static_cast<qsizetype>(model.hits.size()));
    for (const FindHit& hit : model.hits) {
        QStringList texts;
        for (const std::string& t : FindDialog::RowTexts(hit)) texts << QString::fromStdString(t);
        rows << new QTreeWidgetItem(texts);
    }
    lstHits->addTopLevelItems(rows);
    lblCount->setText(model.hits.empty() ? QStringLiteral("Nothing found.")
                                         : QStringLiteral("%1 found; double-click a row to go to the entry.")
                                               .arg(model.hits.size()));
}

void frmFind::lstHits_DoubleClick(int row) {
    if (model.GoTo(main_.editor(), row)) main_.Level->setFocus();
    main_.SyncFromEditor();
}

}  // namespace mw
