// The hardware serial port on QSerialPort and the in-memory port for tests.
#include "platform/SerialPort.h"

#include "platform/PortNames.h"

#include <QFileInfo>
#include <QSerialPort>
#include <QSignalBlocker>
#include <QTimer>

#include <chrono>

using namespace std::chrono_literals;

SerialPort::SerialPort(QObject* parent)
    : QObject(parent)
    , retry_(new QTimer(this))
{
    retry_->setInterval(1s);
    connect(retry_, &QTimer::timeout, this, &SerialPort::retryLostDevice);
}

bool SerialPort::setPortOpen(bool open)
{
    // The program holds the port closed (a dialog, the port window): nothing reopens it meanwhile.
    retry_->stop();
    const bool done = changeOpen(open);
    if (open && done)
        awaitingDevice_ = false;
    else if (open && awaitingDevice_)
        retry_->start();
    return done;
}

void SerialPort::deviceLost()
{
    changeOpen(false);
    awaitingDevice_ = true;
    retry_->start();
}

void SerialPort::retryLostDevice()
{
    if (!awaitingDevice_ || !changeOpen(true))
        return;
    awaitingDevice_ = false;
    retry_->stop();
    input();
}

namespace {

// A device that vanishes under the open port (an adapter unplugged, the far end of a pseudo-
// terminal closed) makes reading fail with a resource error, or report a hang-up as a read error
// over and over: either way the line is gone until it is opened anew.
bool isLoss(QSerialPort::SerialPortError error)
{
    return error == QSerialPort::ResourceError || error == QSerialPort::ReadError;
}

}  // namespace

#include <cstdio>

HardwareSerialPort::HardwareSerialPort(QObject* parent)
    : SerialPort(parent)
    , port_(new QSerialPort(this))
{
    connect(port_, &QSerialPort::readyRead, this, &HardwareSerialPort::checkThreshold);
    connect(port_, &QSerialPort::errorOccurred, this, [this](QSerialPort::SerialPortError error) {
        if (isLoss(error) && port_->isOpen())
            deviceLost();
    });
}

QString HardwareSerialPort::deviceName() const { return deviceForComPort(commPort()); }

bool HardwareSerialPort::changeOpen(bool open)
{
    if (!open) {
        if (port_->isOpen())
            port_->close();
        return true;
    }
    if (port_->isOpen())
        return true;
    const QString device = deviceName();
    if (device.isEmpty())
        return false;
    port_->setPortName(device);
    if (!port_->open(QIODevice::ReadOnly)) {
        // A device the user may not read counts as missing; say once how to get access.
        const bool denied = port_->error() == QSerialPort::PermissionError && !QFileInfo(device).isReadable();
        if (denied && !permissionHinted_) {
            permissionHinted_ = true;
            std::fprintf(stderr,
                         "Ladomat Link: keine Berechtigung für %s – Benutzer in die Gruppe dialout "
                         "aufnehmen (sudo adduser $USER dialout) und neu anmelden.\n",
                         qUtf8Printable(device));
        }
        return false;
    }
    // The line settings are fixed at 9600 baud, no parity, 8 data bits, 1 stop bit.
    port_->setBaudRate(QSerialPort::Baud9600);
    port_->setParity(QSerialPort::NoParity);
    port_->setDataBits(QSerialPort::Data8);
    port_->setStopBits(QSerialPort::OneStop);
    port_->setFlowControl(QSerialPort::NoFlowControl);
    return true;
}

bool HardwareSerialPort::portOpen() const { return port_->isOpen(); }

QString HardwareSerialPort::input()
{
    if (!port_->isOpen())
        return {};
    {
        // Also what the system holds but has not announced yet (right after opening, everything);
        // its announcement must not start a second read inside this one.
        const QSignalBlocker quiet(port_);
        port_->waitForReadyRead(0);
    }
    const QString text = QString::fromLatin1(port_->readAll());
    if (isLoss(port_->error()))
        deviceLost();
    port_->clearError();
    return text;
}

void HardwareSerialPort::checkThreshold()
{
    if (threshold_ > 0 && port_->bytesAvailable() >= threshold_)
        raise(comEvReceive);
}

bool MemorySerialPort::changeOpen(bool open)
{
    if (!open) {
        open_ = false;
        return true;
    }
    if (open_)
        return true;  // as the hardware port: opening an open port changes nothing
    tried_.push_back(commPort());
    open_ = available_.count(commPort()) > 0;
    if (open_) {
        buffer_ += waitingOnOpen_;
        waitingOnOpen_.clear();
    }
    return open_;
}

QString MemorySerialPort::input()
{
    if (!open_)
        return {};
    const QString text = QString::fromLatin1(buffer_);
    buffer_.clear();
    return text;
}

void MemorySerialPort::receive(const QByteArray& bytes)
{
    if (!open_)
        return;
    buffer_ += bytes;
    if (threshold_ > 0 && buffer_.size() >= threshold_)
        raise(comEvReceive);
}

void MemorySerialPort::unplug()
{
    available_.erase(commPort());
    if (open_) {
        buffer_.clear();
        deviceLost();
    }
}

void MemorySerialPort::replug() { available_.insert(commPort()); }
