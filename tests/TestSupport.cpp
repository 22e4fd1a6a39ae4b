// Shared test fixtures.
#include "TestSupport.h"

#include "process/process.h"
#include "shell/MDIForm1.h"

#include <QTimer>

RecordingDialogs::RecordingDialogs()
{
    setDialogBackend(this);
}

RecordingDialogs::~RecordingDialogs()
{
    setDialogBackend(nullptr);
}

void RecordingDialogs::messageBox(const QString& text, const QString& title)
{
    messages.append({text, title});
}

QString RecordingDialogs::saveFile(const SaveFileRequest& request)
{
    requests.append(request);
    return answers.isEmpty() ? QString() : answers.takeFirst();
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

TestApp::~TestApp() = default;

void TestApp::send(const ladomat::sim::Reading& reading)
{
    sendRaw(QByteArray::fromStdString(ladomat::sim::frameLine(reading)));
}

void TestApp::sendRaw(const QByteArray& bytes)
{
    port->receive(bytes);
}

void TestApp::tick()
{
    Timer1_Timer();
    Timer2_Timer();
}

int countColor(const QImage& image, const QColor& color)
{
    int count = 0;
    for (int row = 0; row < image.height(); ++row)
        count += countColorInRow(image, row, color);
    return count;
}

int countColorInColumn(const QImage& image, int column, const QColor& color)
{
    int count = 0;
    for (int row = 0; row < image.height(); ++row)
        count += image.pixelColor(column, row).rgb() == color.rgb();
    return count;
}

int countColorInRow(const QImage& image, int row, const QColor& color)
{
    int count = 0;
    for (int column = 0; column < image.width(); ++column)
        count += image.pixelColor(column, row).rgb() == color.rgb();
    return count;
}
