// The main window: it builds the session, the port, the link reader and the windows and
// connects them; start-up, menus, the frame chain and docking.
#include "shell/MDIForm1.h"

#include "export/Formakku.h"
#include "export/export.h"
#include "link/Formdatenformat.h"
#include "link/Formtext.h"
#include "link/LinkReader.h"
#include "platform/Dialogs.h"
#include "platform/NumberText.h"
#include "platform/PlotSurface.h"
#include "platform/SerialPort.h"
#include "platform/Twips.h"
#include "plot/Formgrafik.h"
#include "plot/Formsetgraf.h"
#include "process/ChargeSession.h"
#include "process/Formprotokoll.h"
#include "process/Journal.h"
#include "records/CompareWindow.h"
#include "records/RecordBook.h"
#include "records/RecordFile.h"
#include "records/RecordWindow.h"
#include "records/SavedRecord.h"
#include "shell/Formeinstell.h"
#include "shell/InfoWindows.h"
#include "shell/shell.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QStatusBar>
#include <QTimer>
#include <QUrl>

#include <algorithm>
#include <chrono>

using namespace std::chrono_literals;

namespace {

// How long the status bar shows a journal's failure over the charger's hints.
constexpr auto kJournalFailureShown = 60s;

}  // namespace

MDIForm1::MDIForm1(SerialPort* port, QWidget* parent, const QStringList& recordFiles)
    : QMainWindow(parent)
    , recordFiles_(recordFiles)
{
    setObjectName(QStringLiteral("MDIForm1"));
    setWindowTitle(QStringLiteral("Ladomat Link V2.01"));
    mdiArea = new QMdiArea(this);
    mdiArea->setObjectName(QStringLiteral("mdiArea"));
    setCentralWidget(mdiArea);
    // Created after the area that will hold the windows, so that it outlives them: children go in
    // the order they came, and the graph window still redraws from it while the area is taken down.
    session = new ChargeSession(this);

    StatusBar1 = new QLabel(this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    statusBar()->addWidget(StatusBar1, 1);
    statusBar()->setSizeGripEnabled(false);

    MSComm1 = port ? port : new HardwareSerialPort;
    MSComm1->setParent(this);
    MSComm1->setObjectName(QStringLiteral("MSComm1"));
    reader = new LinkReader(MSComm1, this);
    connect(MSComm1, &SerialPort::onComm, this, &MDIForm1::MSComm1_OnComm);
    // A device back after a loss sends afresh: nothing held before joins what it sends.
    connect(MSComm1, &SerialPort::deviceBack, reader, &LinkReader::readAwayInput);
    connect(reader, &LinkReader::frameReceived, this, &MDIForm1::frameChain);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(1000ms);
    connect(Timer1, &QTimer::timeout, session, &ChargeSession::Timer1_Timer);
    Timer2 = new QTimer(this);
    Timer2->setObjectName(QStringLiteral("Timer2"));
    Timer2->setInterval(1000ms);
    connect(Timer2, &QTimer::timeout, session, &ChargeSession::Timer2_Timer);

    createMenus();
    setWindowIcon(programIcon());

    // The windows exist before any of them is opened, so that one window's load or resize
    // handling can already rely on the others.
    text = new Formtext;
    grafik = new Formgrafik(*session);
    setgraf = new Formsetgraf(grafik);
    akku = new Formakku;
    protokoll = new Formprotokoll(session->chargeLog);
    datenformat = new Formdatenformat;
    connect(reader, &LinkReader::pieceGivenUp, datenformat, &Formdatenformat::showPiece);
    connect(grafik, &Formgrafik::livePageShown, text,
            [this](float P) { text->Text10->setText(plainText(P)); });
    connectSession();

    // Inner size 12615 x 8475 twips: the client area between menu bar and status bar.
    resize(twipsToPixels(12615),
           twipsToPixels(8475) + menuBar()->sizeHint().height() + statusBar()->sizeHint().height());
    mdiArea->viewport()->installEventFilter(this);

    MDIForm_Load();
    // Without a port there is no link to watch: no link alarm until a port is chosen.
    if (!ended_ && MSComm1->portOpen())
        startTimers();
    // Opened once the main window is in view, so that a refusal shows in front of it.
    if (!ended_ && !recordFiles_.isEmpty()) {
        QTimer::singleShot(0, this, [this] {
            for (const QString& path : std::as_const(recordFiles_))
                openRecordWindow(path);
        });
    }
    setAcceptDrops(true);
}

MDIForm1::~MDIForm1() = default;

// What the session says, each window shows; each locks its own controls.
void MDIForm1::connectSession()
{
    connect(session, &ChargeSession::modeNamed, text->Text7, &QLineEdit::setText);
    connect(session, &ChargeSession::statusNamed, text->Text6, &QLineEdit::setText);
    connect(session, &ChargeSession::statusHint, StatusBar1, &QLabel::setText);
    connect(session, &ChargeSession::message, akku->Text7, &MessageField::setText);
    connect(session, &ChargeSession::controlsLocked, setgraf, &Formsetgraf::setControlsLocked);
    connect(session, &ChargeSession::controlsLocked, this, [this](bool locked) {
        m_grafsave->setEnabled(!locked);
        m_maketext->setEnabled(!locked);
    });
    connect(session, &ChargeSession::recordEnded, setgraf, &Formsetgraf::recordEnded);
    // A record that ended joins an open record book once its journal file is final.
    connect(
        session, &ChargeSession::recordEnded, this,
        [this] {
            if (auto* book = mdiArea->findChild<RecordBook*>())
                book->refresh(journalWriting());
        },
        Qt::QueuedConnection);
    connect(session, &ChargeSession::recordCleared, grafik, &Formgrafik::recordCleared);
    connect(session, &ChargeSession::curveExtended, grafik, &Formgrafik::extendLiveCurve);
    // A dead link: whatever waits at the port is thrown away, then the alarm shows.
    connect(session, &ChargeSession::linkSilent, MSComm1, &SerialPort::input);
    connect(session, &ChargeSession::linkSilent, akku, &Formakku::showLinkAlarm);
    // The frame chain sets the status bar's text at every frame: a message of the bar itself
    // stands over it for a while.
    connect(session, &ChargeSession::journalFailed, statusBar(), [this](const QString& text) {
        statusBar()->showMessage(text, std::chrono::milliseconds(kJournalFailureShown).count());
    });
    // The battery notes as they stand, for the facts of the journal's records.
    session->notes = akku->notes();
    for (QLineEdit* note : {akku->Text1, akku->Text2, akku->Text3, akku->Text4})
        connect(note, &QLineEdit::textChanged, session, [this] { session->notes = akku->notes(); });
}

void MDIForm1::createMenus()
{
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
    m_aufzeichnungen = menuBar()->addMenu(QStringLiteral("Aufzeichnungen"));
    m_aufzeichnungen->setObjectName(QStringLiteral("m_aufzeichnungen"));
    m_oeffnen = action(m_aufzeichnungen, "m_oeffnen", QStringLiteral("Öffnen…"));
    m_buch = action(m_aufzeichnungen, "m_buch", QStringLiteral("Aufzeichnungsbuch…"));
    m_vergleichen = action(m_aufzeichnungen, "m_vergleichen", QStringLiteral("Vergleichen…"));
    connect(m_maketext, &QAction::triggered, this, &MDIForm1::m_maketext_Click);
    connect(m_grafsave, &QAction::triggered, this, &MDIForm1::m_grafsave_Click);
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
    connect(m_oeffnen, &QAction::triggered, this, &MDIForm1::m_oeffnen_Click);
    connect(m_buch, &QAction::triggered, this, &MDIForm1::m_buch_Click);
    connect(m_vergleichen, &QAction::triggered, this, &MDIForm1::m_vergleichen_Click);
}

void MDIForm1::frameChain(const QString& frame)
{
    const QString datensatz = datenformat->DatenEinlesen(frame);
    const Messwerte werte = readingOf(datensatz);
    session->DatenWandeln(datensatz, werte);
    text->WerteAnzeigen(session->reading, session->MessNr);
    session->AblaufAuswerten();
    grafik->KopfzeilenSchreiben(akku->notes());
}

void MDIForm1::MSComm1_OnComm()
{
    switch (MSComm1->commEvent()) {
    case comEvReceive:
        reader->FramesEmpfangen();
        break;
    case comEventBreak:
        StatusBar1->setText(QStringLiteral("Scheiße !!"));
        break;
    default:  // line errors and unknown codes are ignored
        break;
    }
}

void MDIForm1::readAwayInput()
{
    datenformat->Text1->setText(reader->readAwayInput());
    session->device = MSComm1->deviceName();  // a port just opened: the frames come from its device
}

void MDIForm1::withPortClosed(const std::function<void()>& save)
{
    MSComm1->setPortOpen(false);  // no frames while the dialog is open
    // A failure is reported while the port is still closed, so that no frame is handled under
    // the message.
    save();
    // A device that went away meanwhile is waited for as after any loss: the run goes on once it
    // is back.
    MSComm1->reopen();
    reader->readAwayInput();
}

void MDIForm1::m_maketext_Click()
{
    withPortClosed([this] { saveCurveText(session->Messreihe); });
}

void MDIForm1::m_grafsave_Click()
{
    withPortClosed([this] { saveGraphBitmap(*grafik->Picture1); });
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
    for (const QUrl& url : urls) {
        if (url.isLocalFile())
            openRecordWindow(url.toLocalFile());
    }
}

RecordWindow* MDIForm1::openRecordWindow(const QString& path)
{
    RecordFile file = readRecordFile(path);
    if (!file.record) {
        showMessageBox(file.message, QStringLiteral("Ladomat Link"));
        return nullptr;
    }
    auto* window = new RecordWindow(std::move(*file.record), readFacts(path).value_or(RecordFacts{}), path);
    QMdiSubWindow* frame = addChild(window, window->windowTitle(), FrameButtons::all);
    // Cascaded from the top left corner, each a step further in.
    placeInClientArea(frame, 24 * ((mdiArea->findChildren<RecordWindow*>().size() - 1) % 8));
    frame->show();
    mdiArea->setActiveSubWindow(frame);
    // A damaged tail: the record is open behind the message that says what was dropped.
    if (!file.message.isEmpty())
        showMessageBox(file.message, QStringLiteral("Ladomat Link"));
    return window;
}

QStringList MDIForm1::askRecordFiles(const QString& title)
{
    QDir().mkpath(journalFolder());
    return askOpenFileNames(
        {.title = title, .filter = QStringLiteral("Kurvendateien (*.txt)|*.txt"), .folder = journalFolder()});
}

void MDIForm1::m_oeffnen_Click()
{
    for (const QString& path : askRecordFiles(QStringLiteral("Aufzeichnung öffnen")))
        openRecordWindow(path);
}

void MDIForm1::m_vergleichen_Click()
{
    const QStringList paths = askRecordFiles(QStringLiteral("Aufzeichnungen vergleichen"));
    if (!paths.isEmpty())
        openComparison(paths);
}

QString MDIForm1::journalWriting() const { return session->journal ? session->journal->path() : QString(); }

void MDIForm1::m_buch_Click()
{
    auto* book = mdiArea->findChild<RecordBook*>();
    if (book) {
        book->refresh(journalWriting());
    } else {
        book = new RecordBook(journalFolder(), journalWriting());
        connect(book, &RecordBook::openRequested, this, &MDIForm1::openRecordWindow);
        connect(book, &RecordBook::compareRequested, this, &MDIForm1::openComparison);
        book->resize(twipsToPixels(9000), twipsToPixels(5000));
        placeInClientArea(addChild(book, QStringLiteral("Aufzeichnungsbuch"), FrameButtons::all), 0);
    }
    frameOf(book)->show();
    mdiArea->setActiveSubWindow(frameOf(book));
}

void MDIForm1::offerUnfinishedRecord(const QString& folder)
{
    const QString path = askToOpenUnfinished(folder);
    if (!path.isEmpty())
        openRecordWindow(path);
}

void MDIForm1::openComparison(const QStringList& paths)
{
    CompareWindow* window = comparisonOf(paths);
    if (!window)
        return;
    QMdiSubWindow* frame = addChild(window, QStringLiteral("Vergleich"), FrameButtons::close);
    frame->setAttribute(Qt::WA_DeleteOnClose);
    frame->show();
    // Placed where it would reach past the client area, it starts at the top left instead.
    if (!mdiArea->viewport()->rect().contains(frame->geometry()))
        frame->move(0, 0);
    frame->raise();
}

QMdiSubWindow* MDIForm1::frameOf(QWidget* form) { return qobject_cast<QMdiSubWindow*>(form->parentWidget()); }

QMdiSubWindow* MDIForm1::addChild(QWidget* form, const QString& caption, FrameButtons buttons)
{
    Qt::WindowFlags flags = Qt::SubWindow | Qt::CustomizeWindowHint | Qt::WindowTitleHint;
    const bool closes = buttons == FrameButtons::close || buttons == FrameButtons::all;
    // The frame draws its close box, and offers Close, only with the system menu.
    if (closes)
        flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    if (buttons == FrameButtons::minMax || buttons == FrameButtons::all)
        flags |= Qt::WindowMinMaxButtonsHint;
    const QSize inner = form->size();
    QMdiSubWindow* frame = mdiArea->addSubWindow(form, flags);
    frame->setWindowTitle(caption);
    frame->setObjectName(form->objectName() + QStringLiteral("Frame"));
    if (closes) {
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

void MDIForm1::placeInClientArea(QMdiSubWindow* frame, int offset)
{
    // The client area has its size only once shown; before, the size it is created with counts.
    const QSize area =
        mdiArea->isVisible() ? mdiArea->viewport()->size() : QSize(twipsToPixels(12615), twipsToPixels(8475));
    frame->resize(frame->size().boundedTo(area));
    frame->move(std::max(0, std::min(offset, area.width() - frame->width())),
                std::max(0, std::min(offset, area.height() - frame->height())));
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

    if (!PortOeffnen(*MSComm1)) {
        if (!recordFiles_.isEmpty()) {
            // The program stays for the record windows of the files given.
            StatusBar1->setText(QStringLiteral("Kein COM Port – nur Ansicht"));
        } else {
            // The windows opened so far stay in view behind the message until the program ends.
            show();
            showMessageBox(
                QStringLiteral("Kein COM Port konnte geöffnet werden ! Das Programm wird beendet !"),
                QStringLiteral("Ladomat Link"));
            beenden();
            return;
        }
    }
    reader->forgetCharger();
    readAwayInput();

    grafik->startLabels();

    grafik->ZeitachseBeschriften();
    setgraf->Text1->setText(blankText(grafik->view.LetzteSeite));
    grafik->GrafikAufbauen();
    session->BedienungSperren();
}

void MDIForm1::MDIForm_Resize()
{
    const QSize inner = mdiArea->viewport()->size();
    QMdiSubWindow* setgrafFrame = frameOf(setgraf);
    setgrafFrame->move(inner.width() - setgrafFrame->width(), 0);
    QMdiSubWindow* akkuFrame = frameOf(akku);
    akkuFrame->move(inner.width() - akkuFrame->width(), inner.height() - akkuFrame->height());
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
    auto* window = new Formeinstell(MSComm1);
    connect(window, &Formeinstell::closed, m_port, [this] { m_port->setEnabled(true); });
    connect(window, &Formeinstell::portChosen, this, [this](bool anotherPort) {
        startTimers();  // not running yet when the program started as a viewer
        if (anotherPort)
            reader->forgetCharger();  // another charger may send another envelope
        readAwayInput();
    });
    connect(window, &Formeinstell::portReopened, this, &MDIForm1::readAwayInput);
    addChild(window, QStringLiteral("Port - Einstellungen"), FrameButtons::close)->show();
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

void MDIForm1::m_text_Click() { toggle(m_text, QStringLiteral("Text"), {text}); }

void MDIForm1::m_grafik_Click() { toggle(m_grafik, QStringLiteral("Grafik"), {grafik, setgraf}); }

void MDIForm1::m_protokoll_Click() { toggle(m_protokoll, QStringLiteral("Protokoll"), {protokoll}); }

void MDIForm1::m_akku_Click() { toggle(m_akku, QStringLiteral("Akku / Infos"), {akku}); }

void MDIForm1::m_serdaten_Click() { toggle(m_serdaten, QStringLiteral("Ser. Datenformat"), {datenformat}); }

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

void MDIForm1::beenden()
{
    session->finishJournal(RecordEnd::programEnd);  // the record ends with the program
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
    session->finishJournal(RecordEnd::programEnd);
    ended_ = true;
    event->accept();
}
