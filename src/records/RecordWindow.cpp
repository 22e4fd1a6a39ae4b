// The record window: the graph and its settings beside each other, the exports below the settings.
#include "records/RecordWindow.h"

#include "export/export.h"
#include "platform/NumberText.h"
#include "platform/PlotSurface.h"
#include "platform/Twips.h"
#include "plot/Formsetgraf.h"
#include "records/SavedRecord.h"
#include "records/Summary.h"

#include <QBoxLayout>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>

RecordWindow::RecordWindow(Record record, const RecordFacts& facts, const QString& path, QWidget* parent)
    : QWidget(parent)
    , record_(std::move(record))
    , notes_(facts.notes)
{
    setObjectName(QStringLiteral("RecordWindow"));
    const QDateTime start = recordStart(path, facts);
    date_ = start.date();
    setWindowTitle(QStringLiteral("%1 – %2 %3")
                       .arg(QFileInfo(path).fileName(), dateText(date_),
                            start.time().toString(QStringLiteral("hh:mm"))));

    grafik = new Formgrafik(record_, this);
    // The graph's own smallest size, so that the layout never makes it snap back.
    grafik->setMinimumSize(twipsToPixels(6150), twipsToPixels(3700));
    setgraf = new Formsetgraf(grafik, this);
    summary = new QLabel(this);
    summary->setObjectName(QStringLiteral("summary"));
    summary->setWordWrap(true);
    summary->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    summary->setText(summaryLines(summarize(record_, facts)).join(QLatin1Char('\n')));
    const auto button = [this](const char* name, const QString& text, void (RecordWindow::*save)()) {
        auto* pushButton = new QPushButton(text, this);
        pushButton->setObjectName(QLatin1String(name));
        connect(pushButton, &QPushButton::clicked, this, save);
        return pushButton;
    };
    textButton = button("textButton", QStringLiteral("Textdatei erzeugen"), &RecordWindow::saveCurveText);
    bitmapButton = button("bitmapButton", QStringLiteral("Grafik speichern"), &RecordWindow::saveBitmap);
    pngButton = button("pngButton", QStringLiteral("Als PNG speichern"), &RecordWindow::savePng);
    auto* save = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_S), this, this, &RecordWindow::saveCurveText);
    save->setContext(Qt::WidgetWithChildrenShortcut);

    auto* side = new QVBoxLayout;
    side->addWidget(setgraf);
    side->addWidget(summary, 1);
    for (QPushButton* pushButton : {textButton, bitmapButton, pngButton})
        side->addWidget(pushButton);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 4, 4);
    layout->addWidget(grafik, 1);
    layout->addLayout(side);

    // Starts as the live graph does, on page 1 of the ended record; every view drawn gets the
    // record's own caption, as every frame gives the live graph its caption.
    grafik->startLabels();
    grafik->view.LetzteSeite = pagesFor(record_.MessAnzahl, grafik->view.MinProSeite);
    setgraf->Text1->setText(blankText(grafik->view.Seite));
    connect(grafik, &Formgrafik::viewDrawn, this, [this] { grafik->KopfzeilenSchreiben(notes_, date_); });
    // Laid out and drawn at its first size now: a hidden window gets its resize events only
    // when shown.
    resize(twipsToPixels(11000), twipsToPixels(6600));
    layout->activate();
    grafik->Form_Resize();
}

void RecordWindow::saveCurveText() { ::saveCurveText(record_); }

void RecordWindow::saveBitmap() { saveGraphBitmap(*grafik->Picture1); }

void RecordWindow::savePng() { saveGraphPng(*grafik->Picture1); }
