#include "info/infodialog.h"

#include "platform/picture.h"
#include "platform/picturebutton.h"
#include "platform/twips.h"

#include <QLabel>
#include <QPainter>

InfoDialog::InfoDialog(const QString& objectName, const QString& heading, const QString& background,
                       const QString& labelStyles, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint), m_background(background)
{
    setObjectName(objectName);
    setWindowTitle(heading);
    setModal(true);
    setFixedSize(Twips::size(3420, 3915));
    // The window draws its own background; a style sheet of the window that opens it must not paint over it. Set
    // once, before the labels exist: a second style sheet would not change the fonts they were given.
    setStyleSheet(QStringLiteral("QLabel { background: transparent; }") + labelStyles);

    auto* title = new QLabel(heading, this);
    title->setObjectName(QStringLiteral("Label6"));
    title->setGeometry(Twips::rect(645, 135, 2310, 360));
    title->setStyleSheet(QStringLiteral("color: #f6d27a; font: bold 10pt 'DejaVu Sans';"));

    auto* close = new PictureButton(QStringLiteral("btnFechar"), QStringLiteral("button-close"),
                                    QStringLiteral(" Fechar "), this);
    close->setGeometry(Twips::rect(3000, 150, 315, 315));
    connect(close, &PictureButton::clicked, this, &QDialog::close);
}

void InfoDialog::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    Picture::paint(painter, m_background, rect());
}
