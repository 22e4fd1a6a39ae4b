// The serial port the program listens on: the operations and event codes of the charger link.
#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

#include <cstdint>
#include <map>
#include <set>
#include <utility>
#include <vector>

class QFileSystemWatcher;
class QSerialPort;
class QTimer;

// Communication event codes reported by commEvent().
enum CommEvent : int {
    comEvReceive = 2,
    comEventBreak = 1001,
    comEventFrame = 1004,
    comEventOverrun = 1006,
    comEventRxOver = 1008,
    comEventTxFull = 1010,
    comEventDCB = 1011,
};

// Who a device is, as far as the system reports it: USB vendor and product (-1 when not reported)
// and serial number (empty when not reported). Built-in ports and pseudo-terminals report nothing.
struct DeviceIdentity {
    int vendor = -1;
    int product = -1;
    QString serialNumber;
    bool operator==(const DeviceIdentity&) const = default;
    bool known() const { return vendor >= 0 || product >= 0 || !serialNumber.isEmpty(); }
    QString text() const;  // "USB 0403:6001 Nr. A9X2" for hints
};

// Whether the device now under the port's name may be taken for the one held before: the same
// identity, or no identity known before (then any device under that name is taken, as always).
bool sameDevice(const DeviceIdentity& before, const DeviceIdentity& now);

// A read from a line whose driver marks what it saw besides characters: 0xFF 0xFF is one 0xFF
// character, 0xFF 0x00 0x00 a break, 0xFF 0x00 c a character c received with a line error
// (dropped, as line errors are ignored). A mark cut off at the end of `raw` waits in `pending`
// for the next read.
struct LineRead {
    QByteArray data;
    int breaks = 0;
};
LineRead unmarkLine(QByteArray& pending, const QByteArray& raw);

// When characters came: those of a read from position `at` on arrived at `ms` (milliseconds).
struct Arrival {
    qsizetype at = 0;
    int64_t ms = 0;
    bool operator==(const Arrival&) const = default;
};

class SerialPort : public QObject {
    Q_OBJECT
public:
    explicit SerialPort(QObject* parent = nullptr);

    void setRThreshold(int threshold) { threshold_ = threshold; }
    int rThreshold() const { return threshold_; }
    void setCommPort(int number) { commPort_ = number; }  // 1 to 4 for COM1 to COM4
    int commPort() const { return commPort_; }

    // Opens or closes the port; returns false when opening fails (the port then stays closed).
    // While the device is away, closing pauses the waiting for it and a failed opening resumes it.
    bool setPortOpen(bool open);
    virtual bool portOpen() const = 0;
    // Opens the port again after the program held it closed (an export dialog). A device that went
    // away meanwhile, or another device under its name, is waited for as after any loss; false then.
    bool reopen();
    // True from the loss of the open device until the port is open again.
    bool awaitingDevice() const { return awaitingDevice_; }
    // One attempt to reopen the lost device, as the wait for it makes it; deviceBack() tells of
    // success.
    void retryLostDevice();
    // Reads every waiting character (one byte each) and empties the receive buffer.
    virtual QString input() = 0;
    // When the characters that the last input() returned arrived, in order, the first at 0; measured
    // as they came in, not when they were read.
    const std::vector<Arrival>& arrivals() const { return read_; }
    // The clock of the arrivals: milliseconds of a steady clock.
    virtual int64_t clockMs() const;
    int commEvent() const { return commEvent_; }
    // The device behind the port number: its path, or "COMn" where the port has none of its own.
    virtual QString deviceName() const;

signals:
    // The communication event: commEvent() tells which.
    void onComm();
    // The lost device is open again: what waits is stale, what comes is fresh.
    void deviceBack();

protected:
    virtual bool changeOpen(bool open) = 0;
    // The identity of the device that the port number names now.
    virtual DeviceIdentity deviceIdentity() const = 0;
    void raise(int code)
    {
        commEvent_ = code;
        emit onComm();
    }
    // The open device went away (adapter unplugged): close, then wait for its return.
    void deviceLost();
    // Characters from position `at` of those waiting on arrived just now.
    void arrived(qsizetype at) { waiting_.push_back({at, clockMs()}); }
    // The waiting characters were read (their arrivals become arrivals()), or nothing was.
    void waitingRead(bool read) { read_ = read ? std::exchange(waiting_, {}) : std::vector<Arrival>(); }
    // The waiting characters were thrown away.
    void waitingDropped() { waiting_.clear(); }
    // Starts or stops waiting for the lost device to come back; by default it is looked for once a
    // second, each time through retryLostDevice().
    virtual void awaitDevice(bool on);

    int threshold_ = 0;

private:
    bool openHeldDevice();

    int commPort_ = 1;
    int commEvent_ = 0;
    bool awaitingDevice_ = false;
    DeviceIdentity held_;  // of the device last opened
    bool strangerHinted_ = false;
    QTimer* retry_;
    std::vector<Arrival> waiting_;  // of the characters waiting
    std::vector<Arrival> read_;  // of the characters last read
};

// Backed by QSerialPort on the device that COM n maps to.
class HardwareSerialPort : public SerialPort {
    Q_OBJECT
public:
    explicit HardwareSerialPort(QObject* parent = nullptr);

    bool portOpen() const override;
    QString input() override;
    QString deviceName() const override;

protected:
    bool changeOpen(bool open) override;
    DeviceIdentity deviceIdentity() const override;
    void awaitDevice(bool on) override;

private:
    // Moves what the system holds into received_, without the line's marks; the number of breaks.
    int take();
    void onReadyRead();
    void markLineConditions();
    void hintAtLock(const QString& device);

    QSerialPort* port_;
    QString openedDevice_;  // the path last opened
    // Where the system has device folders, their changes tell when to look for the lost device.
    QFileSystemWatcher* deviceFolders_ = nullptr;
    QTimer* settle_;  // a burst of changes (a device node, its links, its rights) gives one look
    QByteArray received_;
    QByteArray pending_;
    bool marked_ = false;  // the driver marks breaks in the data
    bool permissionHinted_ = false;
    bool lockHinted_ = false;
};

// Feeds bytes from memory: tests put characters in and raise events by hand.
class MemorySerialPort : public SerialPort {
    Q_OBJECT
public:
    using SerialPort::SerialPort;

    // Port numbers that can be opened (all four by default).
    void setAvailablePorts(std::set<int> ports) { available_ = std::move(ports); }
    // Characters that wait in the device and arrive in the buffer when the port opens.
    void setWaitingOnOpen(const QByteArray& bytes) { waitingOnOpen_ = bytes; }
    bool portOpen() const override { return open_; }
    QString input() override;
    // The port's clock stands still until the test lets time pass.
    int64_t clockMs() const override { return clockMs_; }
    void letTimePass(int64_t ms) { clockMs_ += ms; }

    // Takes the device away under the open port, as an unplugged adapter, and brings it back.
    void unplug();
    void replug();
    // Which device stands behind the current port number (none known by default).
    void setIdentity(const DeviceIdentity& identity) { identities_[commPort()] = identity; }
    // Appends characters to the receive buffer and raises the receive event once the threshold is met.
    void receive(const QByteArray& bytes);
    // Raises any event code (1001 break, errors, unknown codes).
    void raiseEvent(int code) { raise(code); }
    const QByteArray& waiting() const { return buffer_; }
    // Every port number tried, in order, for fall-through checks.
    const std::vector<int>& triedPorts() const { return tried_; }

protected:
    bool changeOpen(bool open) override;
    DeviceIdentity deviceIdentity() const override;

private:
    std::set<int> available_{1, 2, 3, 4};
    std::map<int, DeviceIdentity> identities_;
    bool open_ = false;
    QByteArray buffer_;
    QByteArray waitingOnOpen_;
    std::vector<int> tried_;
    int64_t clockMs_ = 0;
};
