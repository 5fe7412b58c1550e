#include "shell/frmAbout.h"

#include <QCloseEvent>
#include <QPainter>

#include "shell/frmLevel.h"

namespace mw {

QPixmap MarlwickIcon() {
    QPixmap pm(32, 32);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setPen(Qt::black);
    p.setBrush(QColor(96, 176, 96));
    p.drawRect(2, 14, 27, 15);
    p.setBrush(QColor(216, 160, 64));
    p.drawRect(6, 4, 11, 11);
    p.setBrush(QColor(96, 144, 224));
    p.drawRect(19, 6, 9, 9);
    p.setPen(QPen(Qt::black, 2));
    p.drawLine(29, 14, 29, 29);
    p.drawLine(2, 29, 29, 29);
    p.setPen(QColor(255, 0, 0));
    p.setBrush(Qt::NoBrush);
    p.drawRect(6, 4, 11, 11);
    return pm;
}

frmAbout::frmAbout(frmLevel& main) : QDialog(&main), main_(main) {
    setWindowTitle(QString::fromLatin1(kAboutCaption));
    setModal(true);
    QFont tahoma = ControlFont();
    setFont(tahoma);
    setFixedSize(424, 440);

    imgIconGoesHere = new QLabel(this);
    Place(imgIconGoesHere, 12, 12, 32, 32);
    imgIconGoesHere->setPixmap(MarlwickIcon());

    lblTitle = new QLabel(QString::fromLatin1(kAboutTitle), this);
    QFont bold = tahoma;
    bold.setBold(true);
    bold.setPixelSize(13);
    lblTitle->setFont(bold);
    Place(lblTitle, 56, 12, 356, 17);
    lblByline = new QLabel(QString::fromLatin1(kAboutByline), this);
    Place(lblByline, 56, 30, 356, 17);

    lblAbout = new QLabel(this);
    Place(lblAbout, 12, 52, 400, 340);
    lblAbout->setWordWrap(true);
    lblAbout->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblAbout->setTextFormat(Qt::PlainText);

    cmdCancel = MakeButton(this, QStringLiteral("&Cancel"), 232, 404, 81, 25);
    cmdOK = new QPushButton(QStringLiteral("&Alright"), this);
    Place(cmdOK, 320, 404, 89, 25);
    cmdOK->setDefault(true);
    connect(cmdOK, &QPushButton::clicked, this, [this] { cmdOK_Click(); });
    connect(cmdCancel, &QPushButton::clicked, this, [this] { cmdCancel_Click(); });
}

void frmAbout::prepare() {
    model.Show();
    lblAbout->setText(QString::fromStdString(model.lblAbout));
}

void frmAbout::showModal() {
    prepare();
    exec();
}

void frmAbout::cmdOK_Click() {
    model.cmdOK_Click();
    done(QDialog::Accepted);
}

void frmAbout::cmdCancel_Click() { model.cmdCancel_Click(main_.editor().prompter); }

void frmAbout::reject() { cmdCancel_Click(); }

void frmAbout::closeEvent(QCloseEvent* event) {
    model.cmdOK_Click();
    done(QDialog::Rejected);
    event->accept();
}

}  // namespace mw
