// The serial port the program listens on: the operations and event codes of the charger link.
#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

#include <set>
#include <vector>

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

class SerialPort : public QObject {
    Q_OBJECT
public:
    explicit SerialPort(QObject* parent = nullptr);

    void setSettings(const QString& settings) { settings_ = settings; }  // "9600,N,8,1"
    QString settings() const { return settings_; }
    void setRThreshold(int threshold) { threshold_ = threshold; }
    int rThreshold() const { return threshold_; }
    void setCommPort(int number) { commPort_ = number; }  // 1 to 4 for COM1 to COM4
    int commPort() const { return commPort_; }

    // Opens or closes the port; returns false when opening fails (the port then stays closed).
    // While the device is away, closing pauses the waiting for it and a failed opening resumes it.
    bool setPortOpen(bool open);
    virtual bool portOpen() const = 0;
    // True from the loss of the open device until the port is open again.
    bool awaitingDevice() const { return awaitingDevice_; }
    // One attempt to reopen the lost device, as the once-a-second check makes it; after success
    // the waiting characters are read away so that decoding starts on fresh ones.
    void retryLostDevice();
    // Reads every waiting character (one byte each) and empties the receive buffer.
    virtual QString input() = 0;
    int commEvent() const { return commEvent_; }

signals:
    // The communication event: commEvent() tells which.
    void onComm();

protected:
    virtual bool changeOpen(bool open) = 0;
    void raise(int code)
    {
        commEvent_ = code;
        emit onComm();
    }
    // The open device went away (adapter unplugged): close, then check once a second for its return.
    void deviceLost();

    int threshold_ = 0;

private:
    QString settings_;
    int commPort_ = 1;
    int commEvent_ = 0;
    bool awaitingDevice_ = false;
    QTimer* retry_;
};

// Backed by QSerialPort on the device that COM n maps to.
class HardwareSerialPort : public SerialPort {
    Q_OBJECT
public:
    explicit HardwareSerialPort(QObject* parent = nullptr);

    bool portOpen() const override;
    QString input() override;
    QString deviceName() const;

protected:
    bool changeOpen(bool open) override;

private:
    void checkThreshold();

    QSerialPort* port_;
    bool permissionHinted_ = false;
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

    // Takes the device away under the open port, as an unplugged adapter, and brings it back.
    void unplug();
    void replug();
    // Appends characters to the receive buffer and raises the receive event once the threshold is met.
    void receive(const QByteArray& bytes);
    // Raises any event code (1001 break, errors, unknown codes).
    void raiseEvent(int code) { raise(code); }
    const QByteArray& waiting() const { return buffer_; }
    // Every port number tried, in order, for fall-through checks.
    const std::vector<int>& triedPorts() const { return tried_; }

protected:
    bool changeOpen(bool open) override;

private:
    std::set<int> available_{1, 2, 3, 4};
    bool open_ = false;
    QByteArray buffer_;
    QByteArray waitingOnOpen_;
    std::vector<int> tried_;
};
