// Shared test fixtures.
#include "TestSupport.h"

#include "platform/PlotSurface.h"

#include <QApplication>
#include <QFile>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include <fcntl.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

void RecordingDialogs::messageBox(const QString& text, const QString& title)
{
    messages.append({text, title});
    QStringList windows;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (const auto* mdi = qobject_cast<MDIForm1*>(window); mdi && mdi->isVisible()) {
            windows << mdi->windowTitle();
            for (const QMdiSubWindow* frame : mdi->mdiArea->subWindowList())
                if (frame->isVisible())
                    windows << frame->windowTitle();
        }
    }
    windowsBehind << windows;
}

TestApp::TestApp(std::set<int> availablePorts, const QByteArray& waitingAtStart)
    : port(new MemorySerialPort)
{
    port->setAvailablePorts(std::move(availablePorts));
    port->setWaitingOnOpen(waitingAtStart);
    mdi = std::make_unique<MDIForm1>(port);
    mdi->Timer1->stop();
    mdi->Timer2->stop();
}

PseudoTerminal::PseudoTerminal()
{
    master = posix_openpt(O_RDWR | O_NOCTTY);
    if (master >= 0 && grantpt(master) == 0 && unlockpt(master) == 0)
        path = QString::fromLocal8Bit(ptsname(master));
    slave = ::open(qPrintable(path), O_RDWR | O_NOCTTY);
    termios raw;
    if (slave >= 0 && tcgetattr(slave, &raw) == 0) {
        cfmakeraw(&raw);
        tcsetattr(slave, TCSANOW, &raw);
    }
}

bool PseudoTerminal::write(const QByteArray& bytes)
{
    return ::write(master, bytes.data(), bytes.size()) == bytes.size();
}

PseudoTerminal::~PseudoTerminal()
{
    ::close(slave);
    ::close(master);
}

PlotWindows::PlotWindows(QSize inner)
{
    grafik.resize(inner);
    grafik.Form_Resize();
}

const QImage& PlotWindows::image() const { return grafik.Picture1->image(); }

QString controlStates(const MDIForm1& mdi)
{
    const Formsetgraf* s = mdi.setgraf;
    QString states;
    for (const QObject* control : QObjectList{s->Command1, s->Command2, s->Command3, s->Option1, s->Option2,
                                              s->Option3, s->Option4, mdi.m_grafsave, mdi.m_maketext})
        states += control->property("enabled").toBool() ? u'1' : u'0';
    return states;
}

QByteArray contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(unreadable)");
}

bool write(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

int countColor(const QImage& image, const QColor& color, int row)
{
    int count = 0;
    for (int y = row < 0 ? 0 : row; y <= (row < 0 ? image.height() - 1 : row); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += image.pixelColor(x, y).rgb() == color.rgb();
    return count;
}

QList<int> columnsWithColor(const QImage& image, const QColor& color)
{
    QList<int> columns;
    for (int x = 0; x < image.width(); ++x)
        if (countColor(image.copy(x, 0, 1, image.height()), color) > 0)
            columns << x;
    return columns;
}
