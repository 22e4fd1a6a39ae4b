// The main window: menus, status bar, serial port, timers, start-up and docking.
#include "shell/MDIForm1.h"

#include "export/Formakku.h"
#include "export/export.h"
#include "link/Formtext.h"
#include "link/link.h"
#include "plot/Formgrafik.h"
#include "plot/Formsetgraf.h"
#include "plot/plot.h"
#include "platform/Dialogs.h"
#include "platform/NumberText.h"
#include "platform/SerialPort.h"
#include "platform/Twips.h"
#include "process/Formprotokoll.h"
#include "process/Journal.h"
#include "process/Variabelen.h"
#include "process/process.h"
#include "link/Formdatenformat.h"
#include "shell/Formeinstell.h"
#include "process/Forms.h"
#include "shell/InfoWindows.h"
#include "shell/shell.h"

#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QTimer>

#include <algorithm>
#include <chrono>

using namespace std::chrono_literals;

MDIForm1::MDIForm1(SerialPort* port, QWidget* parent, const QString& recordFile)
    : QMainWindow(parent)
    , variabelen_(std::make_unique<Variabelen>())
    , recordFile_(recordFile)
{
    V = variabelen_.get();
    forms = Forms{};
    forms.mdi = this;
    forms.GrafikAufbauen = GrafikAufbauen;
    forms.ZeitachseBeschriften = ZeitachseBeschriften;
    forms.KurveFortsetzen = KurveFortsetzen;
    forms.readAwayInput = readAwayInput;

    setObjectName(QStringLiteral("MDIForm1"));
    setWindowTitle(QStringLiteral("Ladomat Link V2.01"));
    mdiArea = new QMdiArea(this);
    mdiArea->setObjectName(QStringLiteral("mdiArea"));
    setCentralWidget(mdiArea);
    mdiArea->viewport()->installEventFilter(this);

    StatusBar1 = new QLabel(this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    statusBar()->addWidget(StatusBar1, 1);
    statusBar()->setSizeGripEnabled(false);

    MSComm1 = port ? port : new HardwareSerialPort;
    MSComm1->setParent(this);
    MSComm1->setObjectName(QStringLiteral("MSComm1"));
    connect(MSComm1, &SerialPort::onComm, this, [] { MSComm1_OnComm(); });
    // A device back after a loss sends afresh: nothing held before joins what it sends.
    connect(MSComm1, &SerialPort::deviceBack, this, [] { readAwayInput(); });
    forms.MSComm1 = MSComm1;
    forms.StatusBar1 = StatusBar1;

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(1000ms);
    connect(Timer1, &QTimer::timeout, this, [] { Timer1_Timer(); });
    Timer2 = new QTimer(this);
    Timer2->setObjectName(QStringLiteral("Timer2"));
    Timer2->setInterval(1000ms);
    connect(Timer2, &QTimer::timeout, this, [] { Timer2_Timer(); });

    auto action = [](QMenu* menu, const char* name, const QString& caption) {
        QAction* item = menu->addAction(caption);
        item->setObjectName(QLatin1String(name));
        return item;
    };
    m_datei = menuBar()->addMenu(QStringLiteral("Datei"));
    m_datei->setObjectName(QStringLiteral("m_datei"));
    m_maketext = action(m_datei, "m_maketext", QStringLiteral("Textdatei erzeugen"));
    m_datei->addSeparator()->setObjectName(QStringLiteral("jo"));
    m_grafsave = action(m_datei, "m_grafsave", QStringLiteral("Grafik speichern"));
    m_datei->addSeparator()->setObjectName(QStringLiteral("test2"));
    m_ende = action(m_datei, "m_ende", QStringLiteral("Ende"));
    m_einstellungen = menuBar()->addMenu(QStringLiteral("Einstellungen"));
    m_einstellungen->setObjectName(QStringLiteral("m_einstellungen"));
    m_port = action(m_einstellungen, "m_port", QStringLiteral("Port"));
    m_fenster = menuBar()->addMenu(QStringLiteral("Fenster"));
    m_fenster->setObjectName(QStringLiteral("m_fenster"));
    m_text = action(m_fenster, "m_text", QStringLiteral("Text [verbergen]"));
    m_grafik = action(m_fenster, "m_grafik", QStringLiteral("Grafik [verbergen]"));
    m_protokoll = action(m_fenster, "m_protokoll", QStringLiteral("Protokoll [anzeigen]"));
    m_akku = action(m_fenster, "m_akku", QStringLiteral("Akku / Infos [verbergen]"));
    m_info = menuBar()->addMenu(QStringLiteral("Infos"));
    m_info->setObjectName(QStringLiteral("m_info"));
    m_kabel = action(m_info, "m_kabel", QStringLiteral("serielles Kabel"));
    m_serdaten = action(m_info, "m_serdaten", QStringLiteral("ser. Datenformat [anzeigen]"));
    m_info->addSeparator()->setObjectName(QStringLiteral("test"));
    m_author = action(m_info, "m_author", QStringLiteral("Author"));
    m_kontakt = action(m_info, "m_kontakt", QStringLiteral("Kontakt"));
    forms.m_maketext = m_maketext;
    forms.m_grafsave = m_grafsave;
    connect(m_maketext, &QAction::triggered, this, [] { m_maketext_Click(); });
    connect(m_grafsave, &QAction::triggered, this, [] { m_grafsave_Click(); });
    connect(m_ende, &QAction::triggered, this, &MDIForm1::m_ende_Click);
    connect(m_port, &QAction::triggered, this, &MDIForm1::m_port_Click);
    connect(m_text, &QAction::triggered, this, &MDIForm1::m_text_Click);
    connect(m_grafik, &QAction::triggered, this, &MDIForm1::m_grafik_Click);
    connect(m_protokoll, &QAction::triggered, this, &MDIForm1::m_protokoll_Click);
    connect(m_akku, &QAction::triggered, this, &MDIForm1::m_akku_Click);
    connect(m_serdaten, &QAction::triggered, this, &MDIForm1::m_serdaten_Click);
    connect(m_kabel, &QAction::triggered, this, &MDIForm1::m_kabel_Click);
    connect(m_author, &QAction::triggered, this, &MDIForm1::m_author_Click);
    connect(m_kontakt, &QAction::triggered, this, &MDIForm1::m_kontakt_Click);
    setWindowIcon(programIcon());

    // Inner size 12615 x 8475 twips: the client area between menu bar and status bar.
    resize(twipsToPixels(12615),
           twipsToPixels(8475) + menuBar()->sizeHint().height() + statusBar()->sizeHint().height());

    MDIForm_Load();
    if (!ended_ && !viewer_)
        startTimers();
    // Opened once the window is shown and laid out, so that no first resize wipes the caption.
    if (!ended_ && !recordFile_.isEmpty())
        QTimer::singleShot(0, this, [this] { openRecordFile(recordFile_); });
    setAcceptDrops(true);
}

void MDIForm1::becomeViewer()
{
    // Without a port there is no link to watch: no port message, no link alarm.
    viewer_ = true;
    StatusBar1->setText(QStringLiteral("Kein COM Port – nur Ansicht"));
}

void MDIForm1::startTimers()
{
    if (!Timer1->isActive())
        Timer1->start();
    if (!Timer2->isActive())
        Timer2->start();
}

void MDIForm1::dragEnterEvent(QDragEnterEvent* event)
{
    const QList<QUrl> urls = event->mimeData()->urls();
    if (!urls.isEmpty() && urls.first().isLocalFile())
        event->acceptProposedAction();
}

void MDIForm1::dropEvent(QDropEvent* event)
{
    const QList<QUrl> urls = event->mimeData()->urls();
    if (urls.isEmpty() || !urls.first().isLocalFile())
        return;
    event->acceptProposedAction();
    // A run being recorded keeps the store; its record would be cut by the file.
    const bool recordingRun =
        V->MessungBeendet == 0 && V->StatusNr >= 2 && V->StatusNr <= 9 && V->StatusNr != 8;
    if (recordingRun) {
        showMessageBox(QStringLiteral("Während einer Aufzeichnung kann keine Datei geöffnet werden !"),
                       QStringLiteral("Ladomat Link"));
        return;
    }
    openRecordFile(urls.first().toLocalFile());
}

MDIForm1::~MDIForm1()
{
    // The forms go with the MDI area after this; nothing may reach them through the registry then.
    forms = Forms{};
    V = nullptr;
}

QMdiSubWindow* MDIForm1::frameOf(QWidget* form) { return qobject_cast<QMdiSubWindow*>(form->parentWidget()); }

QMdiSubWindow* MDIForm1::addChild(QWidget* form, const QString& caption, FrameButtons buttons)
{
    Qt::WindowFlags flags = Qt::SubWindow | Qt::CustomizeWindowHint | Qt::WindowTitleHint;
    // The frame draws its close box, and offers Close, only with the system menu.
    if (buttons == FrameButtons::close)
        flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    if (buttons == FrameButtons::minMax)
        flags |= Qt::WindowMinMaxButtonsHint;
    const QSize inner = form->size();
    QMdiSubWindow* frame = mdiArea->addSubWindow(form, flags);
    frame->setWindowTitle(caption);
    frame->setObjectName(form->objectName() + QStringLiteral("Frame"));
    if (buttons == FrameButtons::close) {
        // The system menu's last entry is Close; it knows only the platform's own close key (Ctrl+W
        // under X11, Ctrl+F4 under Windows). Both keys close the window everywhere.
        frame->systemMenu()->actions().constLast()->setShortcuts(
            {QKeySequence(Qt::CTRL | Qt::Key_F4), QKeySequence(Qt::CTRL | Qt::Key_W)});
    } else {
        frame->installEventFilter(this);
    }
    frame->resize(inner.grownBy(frame->contentsMargins()));
    return frame;
}

bool MDIForm1::eventFilter(QObject* watched, QEvent* event)
{
    // Docking follows the client area itself: its size settles after the main window's.
    if (watched == mdiArea->viewport()) {
        if (event->type() == QEvent::Resize)
            MDIForm_Resize();
        return QMainWindow::eventFilter(watched, event);
    }
    // Windows without a close box are hidden only through the menu, never closed.
    if (event->type() == QEvent::Close && !ended_) {
        event->ignore();
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

void MDIForm1::MDIForm_Load()
{
    // The forms exist before any of them is opened, so that one form's load or resize
    // handling can already read the others (the graph reads the settings window).
    auto* text = new Formtext;
    auto* grafik = new Formgrafik;
    auto* setgraf = new Formsetgraf;
    auto* akku = new Formakku;
    auto* protokoll = new Formprotokoll;
    auto* datenformat = new Formdatenformat;
    forms.text = text;
    forms.grafik = grafik;
    forms.setgraf = setgraf;
    forms.akku = akku;
    forms.protokoll = protokoll;
    forms.datenformat = datenformat;

    QMdiSubWindow* textFrame = addChild(text, QStringLiteral("Text - Box"), FrameButtons::none);
    textFrame->move(0, 0);
    textFrame->show();

    grafik->resize(twipsToPixels(6825), twipsToPixels(3165));
    QMdiSubWindow* grafikFrame = addChild(grafik, QStringLiteral("Grafik - Box"), FrameButtons::minMax);
    grafikFrame->move(0, textFrame->height());
    grafik->Form_Load();
    grafikFrame->show();

    addChild(setgraf, QStringLiteral("Grafik Einstellungen"), FrameButtons::none)->show();
    QMdiSubWindow* akkuFrame = addChild(akku, QStringLiteral("Akku / Infos"), FrameButtons::none);
    akku->Form_Load();
    akkuFrame->show();

    MDIForm_Resize();

    // The graph takes the room left of the docked windows, below the live values. The client
    // area has its size only once shown, so the size it is created with is used here.
    const QSize inner(twipsToPixels(12615), twipsToPixels(8475));
    const int graphWidth = inner.width() - std::max(frameOf(setgraf)->width(), akkuFrame->width()) - 2;
    const int graphHeight = inner.height() - textFrame->height() - 2;
    if (graphWidth > grafikFrame->width() && graphHeight > grafikFrame->height())
        grafikFrame->resize(graphWidth, graphHeight);

    protokoll->resize(twipsToPixels(4800), twipsToPixels(4000));
    QMdiSubWindow* protokollFrame = addChild(protokoll, QStringLiteral("Lade Protokoll"), FrameButtons::none);
    protokollFrame->move(textFrame->width(), 0);
    protokollFrame->hide();
    QMdiSubWindow* datenformatFrame =
        addChild(datenformat, QStringLiteral("serielles Datenfomat"), FrameButtons::none);
    datenformatFrame->move(textFrame->width() / 2, textFrame->height() / 2);
    datenformatFrame->hide();

    PortOeffnen();
    if (ended_)
        return;
    forgetCharger();
    datenformat->Text1->setText(readAwayInput());

    // "60,0V" to "12,0V" and "5,00A" to "1,00A" in German: in the locale form of every other label.
    for (int k = 0; k < 5; ++k) {
        grafik->Text[1 + k]->setText(patternText(60 - 12 * k, QStringLiteral("0.0")) + QLatin1Char('V'));
        grafik->Text[6 + k]->setText(patternText(5 - k, QStringLiteral("0.00")) + QLatin1Char('A'));
    }
    for (int k = 11; k <= 17; ++k)
        grafik->Text[k]->clear();

    V->setStartValues();

    ZeitachseBeschriften();
    setgraf->Text1->setText(blankText(V->LetzteSeite));
    GrafikAufbauen();
    BedienungSperren();
}

void MDIForm1::MDIForm_Resize()
{
    if (!forms.setgraf || !forms.akku)
        return;
    const QSize inner = mdiArea->viewport()->size();
    QMdiSubWindow* setgraf = frameOf(forms.setgraf);
    setgraf->move(inner.width() - setgraf->width(), 0);
    QMdiSubWindow* akku = frameOf(forms.akku);
    akku->move(inner.width() - akku->width(), inner.height() - akku->height());
}

void MDIForm1::m_ende_Click()
{
    MSComm1->setPortOpen(false);
    beenden();
}

void MDIForm1::m_port_Click()
{
    MSComm1->setPortOpen(false);
    m_port->setEnabled(false);
    addChild(new Formeinstell, QStringLiteral("Port - Einstellungen"), FrameButtons::close)->show();
}

void MDIForm1::toggle(QAction* item, const QString& name, std::initializer_list<QWidget*> windows)
{
    const bool show = frameOf(*windows.begin())->isHidden();
    for (QWidget* form : windows) {
        frameOf(form)->setVisible(show);
        if (show)
            frameOf(form)->raise();
    }
    item->setText(name + (show ? QStringLiteral(" [verbergen]") : QStringLiteral(" [anzeigen]")));
}

void MDIForm1::m_text_Click() { toggle(m_text, QStringLiteral("Text"), {forms.text}); }

void MDIForm1::m_grafik_Click() { toggle(m_grafik, QStringLiteral("Grafik"), {forms.grafik, forms.setgraf}); }

void MDIForm1::m_protokoll_Click() { toggle(m_protokoll, QStringLiteral("Protokoll"), {forms.protokoll}); }

void MDIForm1::m_akku_Click() { toggle(m_akku, QStringLiteral("Akku / Infos"), {forms.akku}); }

void MDIForm1::m_serdaten_Click()
{
    toggle(m_serdaten, QStringLiteral("Ser. Datenformat"), {forms.datenformat});
}

void MDIForm1::m_kabel_Click()
{
    if (!mdiArea->findChild<Formkabel*>())
        addChild(new Formkabel, QStringLiteral("Aufbau des ser. Kabels"), FrameButtons::close)->show();
}

void MDIForm1::m_author_Click()
{
    auto* info = mdiArea->findChild<Forminfo*>();
    QMdiSubWindow* frame =
        info ? frameOf(info) : addChild(new Forminfo, QStringLiteral("Info ..."), FrameButtons::close);
    frame->show();
    frame->raise();
}

void MDIForm1::m_kontakt_Click()
{
    if (!mdiArea->findChild<Formkontakt*>())
        addChild(new Formkontakt, QStringLiteral("Fragen ..."), FrameButtons::close)->show();
}

namespace {

// The record in the store ends with the program: its journal is final.
void finishJournal()
{
    if (V->journal)
        V->journal->finish();
}

}  // namespace

void MDIForm1::beenden()
{
    finishJournal();
    ended_ = true;
    Timer1->stop();
    Timer2->stop();
    hide();
    QCoreApplication::exit(0);
}

void MDIForm1::closeEvent(QCloseEvent* event)
{
    // Closing the frame ends the program as "Ende" does: port closed, nothing asked or saved.
    MSComm1->setPortOpen(false);
    finishJournal();
    ended_ = true;
    event->accept();
}
