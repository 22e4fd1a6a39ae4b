// The data-format help window: the live frame over a position ruler and the field table.
#include "link/Formdatenformat.h"

#include "link/LinkReader.h"
#include "platform/FixedFont.h"
#include "platform/Twips.h"

#include <QFrame>
#include <QLabel>
#include <QLineEdit>

namespace {

QLabel* text(QWidget* parent, const QString& caption, double left, double top, double width,
             bool fixed = false)
{
    auto* label = new QLabel(caption, parent);
    if (fixed)
        label->setFont(fixedPitchFont());
    placeTwips(label, left, top, width, 255);
    return label;
}

void line(QWidget* parent, double left, double top, double width, double height)
{
    auto* line = new QFrame(parent);
    line->setFrameShape(width > height ? QFrame::HLine : QFrame::VLine);
    line->setFrameShadow(QFrame::Plain);
    placeTwips(line, left, top, width, height);
}

}  // namespace

Formdatenformat::Formdatenformat(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("Formdatenformat"));
    setFixedSize(twipsToPixels(4710), twipsToPixels(4590));

    text(this, QStringLiteral("serielle Daten :"), 120, 120, 1200);
    Text1 = new QLineEdit(this);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setFont(fixedPitchFont());
    Text1->setStyleSheet(QStringLiteral("QLineEdit { padding: 0px; }"));
    placeTwips(Text1, 1320, 120, 3255, 285);

    text(this, QStringLiteral("Stelle :"), 120, 480, 1200);
    text(this, QStringLiteral("123456789012345678901234567890"), 1365, 480, 3255, true);
    text(this, QStringLiteral("          11111111122222222223"), 1365, 720, 3255, true);

    text(this, QStringLiteral("Stelle(-n) :"), 120, 1080, 900);
    text(this, QStringLiteral("Bedeutung :"), 1080, 1080, 2000);
    const char* rows[][2] = {
        {"1 - 2", "Seriel Number"},     {"3 - 4", "Operating Mode"},   {"5 - 6", "Cycle Number"},
        {"7 - 10", "Input Voltage"},    {"11 - 14", "Output Voltage"}, {"15 - 18", "Output Current"},
        {"19 - 22", "Output Capacity"}, {"23 - 24", "Status"},         {"25 - 26", "Flags (option)"},
        {"27 - 30", "Checksum"},
    };
    double top = 1440;
    for (const auto& row : rows) {
        text(this, QString::fromLatin1(row[0]), 120, top, 800);
        text(this, QString::fromLatin1(row[1]), 1080, top, 2000);
        top += 240;
    }
    text(this, QStringLiteral("Beispiel :"), 120, 4080, 1200);
    text(this, QStringLiteral("Input Voltage = 12,46V = 12460mV = 30ACh = \"3\" \"0\" \"A\" \"C\""), 120,
         4320, 4500);

    line(this, 120, 1320, 4440, 15);
    line(this, 960, 1080, 15, 2760);
    line(this, 120, 3960, 4440, 15);
}

QString Formdatenformat::DatenEinlesen(const QString& frame)
{
    const QString datensatz = shownText(frame);
    Text1->setText(datensatz);
    return datensatz;
}

void Formdatenformat::showPiece(const QString& piece) { Text1->setText(shownText(piece)); }
