// The hardware serial port on QSerialPort and the in-memory port for tests.
#include "platform/SerialPort.h"

#include "platform/PortNames.h"

#include <QFileInfo>
#include <QSerialPort>

#include <cstdio>

HardwareSerialPort::HardwareSerialPort(QObject* parent)
    : SerialPort(parent)
    , port_(new QSerialPort(this))
{
    connect(port_, &QSerialPort::readyRead, this, &HardwareSerialPort::checkThreshold);
}

QString HardwareSerialPort::deviceName() const
{
    return deviceForComPort(commPort());
}

bool HardwareSerialPort::setPortOpen(bool open)
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
            std::fprintf(stderr, "Ladomat Link: keine Berechtigung für %s – Benutzer in die Gruppe dialout "
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

bool HardwareSerialPort::portOpen() const
{
    return port_->isOpen();
}

QString HardwareSerialPort::input()
{
    if (!port_->isOpen())
        return {};
    return QString::fromLatin1(port_->readAll());
}

void HardwareSerialPort::checkThreshold()
{
    if (threshold_ > 0 && port_->bytesAvailable() >= threshold_)
        raise(comEvReceive);
}

bool MemorySerialPort::setPortOpen(bool open)
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
