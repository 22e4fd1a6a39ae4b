// The graph window: plot surface, the 22 axis label fields, the layout rule on resize and the live
// record's redraws.
#include "plot/Formgrafik.h"

#include "platform/NumberText.h"
#include "platform/PlotSurface.h"
#include "platform/Twips.h"
#include "plot/Kurven.h"
#include "process/ChargeSession.h"

#include <QLineEdit>
#include <QMdiSubWindow>
#include <QResizeEvent>

namespace {

constexpr double kMinOuterWidth = 6150;
constexpr double kMinOuterHeight = 3700;
constexpr double kFixedPlotWidth = 4845;

QColor labelColor(int field, const QPalette& palette)
{
    if (field <= 5)
        return kVoltageColor;
    if (field <= 10)
        return kCurrentColor;
    if (field <= 17)
        return palette.color(QPalette::WindowText);
    return kCapacityColor;
}

QSizeF labelSize(int field)
{
    if (field <= 5)
        return {495, 285};
    if (field <= 10)
        return {700, 195};
    if (field <= 16)
        return {495, 285};
    if (field == 17)
        return {735, 285};
    return {700, 195};
}

}  // namespace

Formgrafik::Formgrafik(const ChargeSession& session, QWidget* parent)
    : Formgrafik(&session, session.Messreihe, parent)
{
}

Formgrafik::Formgrafik(const Record& record, QWidget* parent)
    : Formgrafik(nullptr, record, parent)
{
}

Formgrafik::Formgrafik(const ChargeSession* session, const Record& record, QWidget* parent)
    : QWidget(parent)
    , session_(session)
    , record_(record)
{
    setObjectName(QStringLiteral("Formgrafik"));
    resize(twipsToPixels(6825), twipsToPixels(3165));

    Picture1 = new PlotSurface(this);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    QFont plotFont = Picture1->font();
    plotFont.setPixelSize(9);
    // The caption's line 1 is erased by printing it again in the background colour; that
    // covers exactly the same pixels only when text is drawn without antialiasing.
    plotFont.setStyleStrategy(QFont::NoAntialias);
    Picture1->setFont(plotFont);
    placeTwips(Picture1, 500, 0, 6825 - 1200, 3165 - 290);

    QFont labelFont = font();
    labelFont.setPixelSize(8);
    for (int field = 1; field <= 22; ++field) {
        auto* label = new QLineEdit(this);
        label->setObjectName(QStringLiteral("Text%1").arg(field));
        label->setReadOnly(true);
        label->setFrame(false);
        label->setFocusPolicy(Qt::NoFocus);
        label->setFont(labelFont);
        label->setTextMargins(0, 0, 0, 0);
        QPalette palette = label->palette();
        palette.setColor(QPalette::Base, Picture1->backColor());
        palette.setColor(QPalette::Text, labelColor(field, palette));
        label->setPalette(palette);
        const QSizeF size = labelSize(field);
        label->resize(twipsToPixels(size.width()), twipsToPixels(size.height()));
        Text[field] = label;
    }
    const char* capacity[] = {"3000mAh", "2400mAh", "1800mAh", "1200mAh", "600mAh"};
    for (int k = 0; k < 5; ++k)
        Text[18 + k]->setText(QLatin1String(capacity[k]));
}

void Formgrafik::Form_Load() { GrafikAufbauen(); }

void Formgrafik::startLabels()
{
    // "60,0V" to "12,0V" and "5,00A" to "1,00A" in German: in the locale form of every other label.
    for (int k = 0; k < 5; ++k) {
        Text[1 + k]->setText(patternText(60 - 12 * k, QStringLiteral("0.0")) + QLatin1Char('V'));
        Text[6 + k]->setText(patternText(5 - k, QStringLiteral("0.00")) + QLatin1Char('A'));
    }
    for (int k = 11; k <= 17; ++k)
        Text[k]->clear();
}

bool Formgrafik::event(QEvent* event)
{
    // Placed into a child window frame: follow its window state.
    if (event->type() == QEvent::ParentChange) {
        if (auto* frame = qobject_cast<QMdiSubWindow*>(parentWidget())) {
            connect(frame, &QMdiSubWindow::windowStateChanged, this,
                    [this](Qt::WindowStates, Qt::WindowStates now) { frameState_ = now; });
        }
    }
    return QWidget::event(event);
}

void Formgrafik::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    Form_Resize();
}

void Formgrafik::Form_Resize()
{
    // Snapping the frame to its minimum size resizes this window again; that pass is skipped.
    if (resizing_)
        return;
    resizing_ = true;

    // The outer size is the child window frame's; a window without one is its own frame.
    QWidget* outer = qobject_cast<QMdiSubWindow*>(parentWidget());
    if (!outer)
        outer = this;
    const QSize border = outer->size() - size();
    QSize outerSize = outer->size();

    // The minimum size holds in the normal state only; maximised, the window fills the client area
    // whatever its size. While the client area resizes a maximised frame, the frame's state reads
    // normal for a moment: the state it last announced counts as well.
    const Qt::WindowStates sized = Qt::WindowMinimized | Qt::WindowMaximized;
    const bool normalState = !(outer->windowState() & sized) && !(frameState_ & sized);
    if (normalState && pixelsToTwips(outerSize.height()) < kMinOuterHeight)
        outerSize.setHeight(twipsToPixels(kMinOuterHeight));
    const double innerHeight = pixelsToTwips(outerSize.height() - border.height());
    const double plotHeight = innerHeight - 290;

    double plotWidth = 0;
    if (normalState && pixelsToTwips(outerSize.width()) < kMinOuterWidth) {
        outerSize.setWidth(twipsToPixels(kMinOuterWidth));
        plotWidth = kFixedPlotWidth;
    } else {
        plotWidth = pixelsToTwips(outerSize.width() - border.width()) - 1200;
    }

    if (outerSize != outer->size()) {
        outer->resize(outerSize);
        // A hidden frame lays out its contents only when shown; the inner size is needed now.
        resize(outerSize - border);
    }
    placeTwips(Picture1, 500, 0, plotWidth, plotHeight);
    redraw();
    resizing_ = false;
}

const Record& Formgrafik::record() const { return record_; }

void Formgrafik::AnsichtZeichnen(const Record& record, float messNr, bool beendet)
{
    if (view.Gesamtansicht)
        GesamtkurveZeichnen(record);
    else if (beendet)
        SeiteZeichnen(record, pageStart(view, view.Seite));
    else
        LaufKurveZeichnen(record, messNr);
}

void Formgrafik::redraw()
{
    GrafikAufbauen();
    if (session_)
        AnsichtZeichnen(record_, session_->MessNr, session_->MessungBeendet != 0);
    else
        AnsichtZeichnen(record_, record_.MessAnzahl + 1, true);
}

void Formgrafik::extendLiveCurve(float messNr) { KurveFortsetzen(record_, messNr); }

void Formgrafik::recordCleared()
{
    view.LetzteSeite = 1;
    view.Seite = 1;
    ZeitachseBeschriften();
    Picture1->Cls();
    GrafikAufbauen();
}
