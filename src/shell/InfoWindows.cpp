// The information windows: the cable pin-out drawn by the program, about and contact texts.
#include "shell/InfoWindows.h"

#include "shell/shell.h"

#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QPainter>
#include <QVBoxLayout>

namespace {

constexpr int kTextWidth = 330;  // pixels; the texts wrap at this width

QLabel* picture(QWidget* parent)
{
    auto* label = new QLabel(parent);
    label->setObjectName(QStringLiteral("Image1"));
    label->setPixmap(programIcon().pixmap(QSize(48, 48), label->devicePixelRatioF()));
    return label;
}

QLabel* text(QWidget* parent, const QString& caption, bool bold = false)
{
    auto* label = new QLabel(caption, parent);
    label->setWordWrap(true);
    if (bold) {
        QFont font = label->font();
        font.setBold(true);
        label->setFont(font);
    }
    return label;
}

// Fixes the window at the width its texts wrap to and the height they then need.
void fixSize(QWidget* form, QLayout* layout)
{
    const int width = kTextWidth + layout->contentsMargins().left() + layout->contentsMargins().right();
    form->setFixedSize(width, layout->totalHeightForWidth(width));
}

}  // namespace

Formkabel::Formkabel(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("Formkabel"));
    setFixedSize(360, 260);
}

void Formkabel::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(rect(), Qt::white);
    const QColor ink(30, 30, 30);
    const QColor wire(0, 0, 160);
    painter.setPen(QPen(ink, 1.5));

    // Wiring: the charger's data output to the computer's receive line, ground to ground.
    // The program only listens, so these two wires are all the cable needs.
    const QRectF charger(15, 25, 115, 75), computer(230, 25, 115, 75);
    painter.drawRect(charger);
    painter.drawRect(computer);
    painter.drawText(charger.adjusted(0, -20, 0, 0).topLeft() + QPointF(0, 14), QStringLiteral("Ladegerät"));
    painter.drawText(computer.adjusted(0, -20, 0, 0).topLeft() + QPointF(0, 14),
                     QStringLiteral("PC, COM-Port"));
    const qreal rows[] = {50, 80};
    const QString chargerPins[] = {QStringLiteral("Daten (TxD)"), QStringLiteral("Masse (GND)")};
    const QString computerPins[] = {QStringLiteral("Pin 2 (RxD)"), QStringLiteral("Pin 5 (GND)")};
    for (int k = 0; k < 2; ++k) {
        painter.setPen(QPen(ink, 1.5));
        painter.drawText(QRectF(charger.left() + 6, rows[k] - 8, charger.width() - 12, 16),
                         Qt::AlignRight | Qt::AlignVCenter, chargerPins[k]);
        painter.drawText(QRectF(computer.left() + 6, rows[k] - 8, computer.width() - 12, 16),
                         Qt::AlignLeft | Qt::AlignVCenter, computerPins[k]);
        painter.setPen(QPen(wire, 2));
        painter.drawLine(QPointF(charger.right(), rows[k]), QPointF(computer.left(), rows[k]));
        painter.setBrush(wire);
        painter.drawEllipse(QPointF(charger.right(), rows[k]), 3, 3);
        painter.drawEllipse(QPointF(computer.left(), rows[k]), 3, 3);
        painter.setBrush(Qt::NoBrush);
    }
    // The data flows one way only: from the charger to the computer.
    painter.setBrush(wire);
    painter.drawPolygon(QPolygonF({QPointF(185, 50), QPointF(175, 45), QPointF(175, 55)}));
    painter.setBrush(Qt::NoBrush);

    // The computer's 9-pin D-sub plug seen from its pin side: pins 1 to 5 above, 6 to 9 below;
    // the two pins in use are filled.
    const qreal top = 130, bottom = 190, centre = width() / 2.0;
    painter.setPen(QPen(ink, 1.5));
    painter.drawPolygon(QPolygonF({QPointF(centre - 80, top), QPointF(centre + 80, top),
                                   QPointF(centre + 66, bottom), QPointF(centre - 66, bottom)}));
    for (int pin = 1; pin <= 9; ++pin) {
        const bool upper = pin <= 5;
        const QPointF at(upper ? centre + (pin - 3) * 28 : centre + (pin - 7.5) * 28,
                         upper ? top + 17 : bottom - 17);
        const bool used = pin == 2 || pin == 5;
        painter.setPen(QPen(used ? wire : ink, 1.5));
        painter.setBrush(used ? wire : QColor(Qt::white));
        painter.drawEllipse(at, 6, 6);
        painter.setBrush(Qt::NoBrush);
        painter.setPen(ink);
        const QRectF number(at.x() - 10, upper ? top - 16 : bottom + 2, 20, 14);
        painter.drawText(number, Qt::AlignCenter, QString::number(pin));
    }
    painter.drawText(QRectF(0, bottom + 18, width(), 40), Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap,
                     QStringLiteral("9-poliger Sub-D-Stecker am PC, Blick auf die Stifte.\n"
                                    "Pin 2 = Empfang (RxD), Pin 5 = Masse (GND)."));
}

Forminfo::Forminfo(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("Forminfo"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(picture(this));
    QLabel* title = text(this, QStringLiteral("Ladomat Link V2.0"), true);
    QFont large = title->font();
    large.setPixelSize(16);
    title->setFont(large);
    layout->addWidget(title);
    layout->addWidget(text(this, QStringLiteral("Ein Programm des Projekts Ladomat Link.")));
    layout->addWidget(
        text(this,
             QStringLiteral("Das Programm liest die seriellen Daten des Ladegeräts ein und zeigt "
                            "sie laufend an. Die Daten werden sowohl als Text als auch in einer "
                            "Grafik aufbereitet und können somit ausgewertet werden.")));
    auto* separator = new QFrame(this);
    separator->setFrameShape(QFrame::HLine);
    layout->addWidget(separator);
    layout->addWidget(text(this, QStringLiteral("Hinweis :"), true));
    layout->addWidget(text(this,
                           QStringLiteral("Für evtl. auftretende Probleme bzw. Defekte an Hard- und Software "
                                          "überneheme ich keinerlei Haftung ! Die Benutzung dieser Software "
                                          "erfolgt auf eigene Gefahr !!!!!")));
    fixSize(this, layout);
}

Formkontakt::Formkontakt(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("Formkontakt"));
    auto* layout = new QGridLayout(this);
    layout->addWidget(picture(this), 0, 0, 1, 2);
    layout->addWidget(text(this, QStringLiteral("Kontakt "), true), 1, 0, 1, 2);
    layout->addWidget(text(this, QStringLiteral("Telefon :")), 2, 0);
    layout->addWidget(text(this, QStringLiteral("keine Angabe")), 2, 1);
    layout->addWidget(text(this, QStringLiteral("E-Mail : ")), 3, 0);
    layout->addWidget(text(this, QStringLiteral("keine Angabe")), 3, 1);
    layout->addWidget(text(this, QStringLiteral("Hinweis :"), true), 4, 0, 1, 2);
    layout->addWidget(
        text(this,
             QStringLiteral("Fragen und Fehlermeldungen nimmt das Projekt Ladomat Link entgegen; "
                            "wie es zu erreichen ist, steht in seiner Datei README.md.")),
        5, 0, 1, 2);
    layout->setColumnStretch(1, 1);
    fixSize(this, layout);
}
