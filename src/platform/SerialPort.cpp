// The hardware serial port on QSerialPort and the in-memory port for tests.
#include "platform/SerialPort.h"

#include "platform/PortNames.h"

#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QSerialPort>
#include <QSerialPortInfo>
#include <QSignalBlocker>
#include <QTimer>

#include <chrono>
#include <cstdio>

#ifdef Q_OS_UNIX
#include <termios.h>
#endif

using namespace std::chrono_literals;

QString DeviceIdentity::text() const
{
    QStringList parts;
    if (vendor >= 0 || product >= 0)
        parts << QStringLiteral("USB %1:%2")
                     .arg(vendor, 4, 16, QLatin1Char('0'))
                     .arg(product, 4, 16, QLatin1Char('0'));
    if (!serialNumber.isEmpty())
        parts << QStringLiteral("Nr. ") + serialNumber;
    return parts.isEmpty() ? QStringLiteral("ohne Kennung") : parts.join(u' ');
}

bool sameDevice(const DeviceIdentity& before, const DeviceIdentity& now)
{
    return !before.known() || before == now;
}

LineRead unmarkLine(QByteArray& pending, const QByteArray& raw)
{
    const QByteArray bytes = pending + raw;
    pending.clear();
    LineRead read;
    read.data.reserve(bytes.size());
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (bytes[i] != '\xff') {
            read.data += bytes[i];
            continue;
        }
        const qsizetype rest = bytes.size() - i;
        if (rest >= 2 && bytes[i + 1] == '\xff') {
            read.data += '\xff';
            ++i;
        } else if (rest >= 3 && bytes[i + 1] == '\0') {
            read.breaks += bytes[i + 2] == '\0';
            i += 2;
        } else if (rest >= 2 && bytes[i + 1] != '\0') {
            read.data += bytes[i];  // not a mark: the driver sent the 0xFF alone
        } else {
            pending = bytes.mid(i);
            break;
        }
    }
    return read;
}

SerialPort::SerialPort(QObject* parent)
    : QObject(parent)
    , retry_(new QTimer(this))
{
    retry_->setInterval(1s);
    connect(retry_, &QTimer::timeout, this, &SerialPort::retryLostDevice);
}

void SerialPort::awaitDevice(bool on)
{
    if (on)
        retry_->start();
    else
        retry_->stop();
}

bool SerialPort::setPortOpen(bool open)
{
    // The program holds the port closed (a dialog, the port window): nothing reopens it meanwhile.
    awaitDevice(false);
    const bool done = changeOpen(open);
    if (open && done) {
        awaitingDevice_ = false;
        held_ = deviceIdentity();
        strangerHinted_ = false;
    } else if (open && awaitingDevice_) {
        awaitDevice(true);
    }
    return done;
}

bool SerialPort::reopen()
{
    awaitDevice(false);
    awaitingDevice_ = !openHeldDevice();
    if (awaitingDevice_)
        awaitDevice(true);
    return !awaitingDevice_;
}

bool SerialPort::openHeldDevice()
{
    const DeviceIdentity now = deviceIdentity();
    if (sameDevice(held_, now))
        return changeOpen(true);
    // Another adapter under the name: the run's device may come back, so keep waiting for it.
    if (now.known() && !strangerHinted_) {
        strangerHinted_ = true;
        std::fprintf(stderr,
                     "Ladomat Link: an COM%d steckt ein anderes Gerät (%s) als zuvor (%s) – es wird "
                     "nicht übernommen; das bisherige Gerät anstecken oder unter Einstellungen / Port "
                     "einen Port wählen.\n",
                     commPort_, qUtf8Printable(now.text()), qUtf8Printable(held_.text()));
    }
    return false;
}

void SerialPort::deviceLost()
{
    changeOpen(false);
    awaitingDevice_ = true;
    awaitDevice(true);
}

void SerialPort::retryLostDevice()
{
    if (!awaitingDevice_ || !openHeldDevice())
        return;
    awaitingDevice_ = false;
    awaitDevice(false);
    emit deviceBack();
}

QString SerialPort::deviceName() const { return QStringLiteral("COM%1").arg(commPort_); }

int64_t SerialPort::clockMs() const
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
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

HardwareSerialPort::HardwareSerialPort(QObject* parent)
    : SerialPort(parent)
    , port_(new QSerialPort(this))
    , settle_(new QTimer(this))
{
    settle_->setSingleShot(true);
    settle_->setInterval(200ms);
    connect(settle_, &QTimer::timeout, this, [this] {
        retryLostDevice();
        // Folders that appeared meanwhile (a link folder made with the device) are watched too.
        if (awaitingDevice())
            awaitDevice(true);
    });
#ifdef Q_OS_UNIX
    deviceFolders_ = new QFileSystemWatcher(this);
    connect(deviceFolders_, &QFileSystemWatcher::directoryChanged, settle_, qOverload<>(&QTimer::start));
#endif
    connect(port_, &QSerialPort::readyRead, this, &HardwareSerialPort::onReadyRead);
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
        received_.clear();
        pending_.clear();
        waitingDropped();
        return true;
    }
    if (port_->isOpen())
        return true;
    const QString device = deviceName();
    if (device.isEmpty())
        return false;
    port_->setPortName(device);
    openedDevice_ = device;
    if (!port_->open(QIODevice::ReadOnly)) {
        // A device the user may not read counts as missing; say once how to get access.
        const bool denied = port_->error() == QSerialPort::PermissionError && !QFileInfo(device).isReadable();
        if (denied && !permissionHinted_) {
            permissionHinted_ = true;
            std::fprintf(stderr,
                         "Ladomat Link: keine Berechtigung für %s – Benutzer in die Gruppe dialout "
                         "aufnehmen (sudo adduser $USER dialout) und neu anmelden.\n",
                         qUtf8Printable(device));
        } else if (!denied && !lockHinted_) {
            hintAtLock(device);
        }
        return false;
    }
    // The line settings are fixed at 9600 baud, no parity, 8 data bits, 1 stop bit.
    port_->setBaudRate(QSerialPort::Baud9600);
    port_->setParity(QSerialPort::NoParity);
    port_->setDataBits(QSerialPort::Data8);
    port_->setStopBits(QSerialPort::OneStop);
    port_->setFlowControl(QSerialPort::NoFlowControl);
    markLineConditions();
    return true;
}

void HardwareSerialPort::awaitDevice(bool on)
{
#ifdef Q_OS_UNIX
    // Looking for the device means listing every serial device the system has, thousands of system
    // calls; the device folders say when anything there changes, so the look is made only then.
    // /dev gets every new device node, and the folder of the device's own path (/dev/pts, the links
    // under /dev/serial) is watched as far as it exists. Where the system cannot notify, Qt looks
    // at the folders once a second, which costs a few calls.
    settle_->stop();
    if (!deviceFolders_->directories().isEmpty())
        deviceFolders_->removePaths(deviceFolders_->directories());
    if (!on)
        return;
    QString folder = QFileInfo(openedDevice_).absolutePath();
    while (folder != QLatin1String("/") && !QFileInfo(folder).isDir())
        folder = QFileInfo(folder).absolutePath();
    deviceFolders_->addPath(QStringLiteral("/dev"));
    if (folder != QLatin1String("/") && folder != QLatin1String("/dev"))
        deviceFolders_->addPath(folder);
#else
    SerialPort::awaitDevice(on);
#endif
}

void HardwareSerialPort::hintAtLock(const QString& device)
{
    // A lock file left by a run that was killed, or held by another user's program, blocks the
    // device though it may be read: name it, as nothing on screen can.
    const QString lock = lockFileForDevice(device);
    if (lock.isEmpty())
        return;
    lockHinted_ = true;
    QFile file(lock);
    const QString pid =
        file.open(QIODevice::ReadOnly) ? QString::fromLatin1(file.readLine()).trimmed() : QString();
    std::fprintf(stderr,
                 "Ladomat Link: %s ist durch die Sperrdatei %s belegt (Prozess %s) – läuft dieser nicht "
                 "mehr, die Sperrdatei löschen (sudo rm %s).\n",
                 qUtf8Printable(device), qUtf8Printable(lock),
                 qUtf8Printable(pid.isEmpty() ? QStringLiteral("?") : pid), qUtf8Printable(lock));
}

void HardwareSerialPort::markLineConditions()
{
    marked_ = false;
#ifdef Q_OS_UNIX
    // A break arrives as 0xFF 0x00 0x00 among the characters (and a 0xFF character doubled)
    // instead of as a NUL or a signal, so that it can be told apart from data.
    termios tio;
    const int fd = port_->handle();
    if (tcgetattr(fd, &tio) != 0)
        return;
    tio.c_iflag &= ~(IGNBRK | BRKINT | ISTRIP);
    tio.c_iflag |= PARMRK;
    marked_ = tcsetattr(fd, TCSANOW, &tio) == 0;
#endif
}

DeviceIdentity HardwareSerialPort::deviceIdentity() const
{
    const QString device = deviceName();
    if (device.isEmpty())
        return {};
    const QSerialPortInfo info(device);
    return {info.hasVendorIdentifier() ? info.vendorIdentifier() : -1,
            info.hasProductIdentifier() ? info.productIdentifier() : -1, info.serialNumber()};
}

bool HardwareSerialPort::portOpen() const { return port_->isOpen(); }

int HardwareSerialPort::take()
{
    const QByteArray raw = port_->readAll();
    const LineRead read = marked_ ? unmarkLine(pending_, raw) : LineRead{raw};
    if (!read.data.isEmpty()) {
        arrived(received_.size());
        received_ += read.data;
    }
    return read.breaks;
}

QString HardwareSerialPort::input()
{
    if (!port_->isOpen()) {
        waitingRead(false);
        return {};
    }
    {
        // Also what the system holds but has not announced yet (right after opening, everything);
        // its announcement must not start a second read inside this one.
        const QSignalBlocker quiet(port_);
        port_->waitForReadyRead(0);
    }
    // A break is reported after this read, not inside the handler that is reading.
    if (take() > 0)
        QMetaObject::invokeMethod(
            this, [this] { raise(comEventBreak); }, Qt::QueuedConnection);
    const QString text = QString::fromLatin1(received_);
    received_.clear();
    waitingRead(true);
    if (isLoss(port_->error()))
        deviceLost();
    port_->clearError();
    return text;
}

void HardwareSerialPort::onReadyRead()
{
    if (take() > 0)
        raise(comEventBreak);
    if (threshold_ > 0 && received_.size() >= threshold_)
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
    if (open_ && !waitingOnOpen_.isEmpty()) {
        arrived(buffer_.size());
        buffer_ += waitingOnOpen_;
        waitingOnOpen_.clear();
    }
    return open_;
}

QString MemorySerialPort::input()
{
    waitingRead(open_);
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
    if (!bytes.isEmpty()) {
        arrived(buffer_.size());
        buffer_ += bytes;
    }
    if (threshold_ > 0 && buffer_.size() >= threshold_)
        raise(comEvReceive);
}

DeviceIdentity MemorySerialPort::deviceIdentity() const
{
    const auto found = identities_.find(commPort());
    return found == identities_.end() ? DeviceIdentity() : found->second;
}

void MemorySerialPort::unplug()
{
    available_.erase(commPort());
    if (open_) {
        buffer_.clear();
        waitingDropped();
        deviceLost();
    }
}

void MemorySerialPort::replug() { available_.insert(commPort()); }
