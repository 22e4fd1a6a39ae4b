// The serial port the program listens on: the operations and event codes of the charger link.
#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

#include <set>
#include <vector>

class QSerialPort;

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
    using QObject::QObject;

    void setSettings(const QString& settings) { settings_ = settings; }  // "9600,N,8,1"
    QString settings() const { return settings_; }
    void setRThreshold(int threshold) { threshold_ = threshold; }
    int rThreshold() const { return threshold_; }
    void setCommPort(int number) { commPort_ = number; }  // 1 to 4 for COM1 to COM4
    int commPort() const { return commPort_; }

    // Opens or closes the port; returns false when opening fails (the port then stays closed).
    virtual bool setPortOpen(bool open) = 0;
    virtual bool portOpen() const = 0;
    // Reads every waiting character (one byte each) and empties the receive buffer.
    virtual QString input() = 0;
    int commEvent() const { return commEvent_; }

signals:
    // The communication event: commEvent() tells which.
    void onComm();

protected:
    void raise(int code)
    {
        commEvent_ = code;
        emit onComm();
    }

    int threshold_ = 0;

private:
    QString settings_;
    int commPort_ = 1;
    int commEvent_ = 0;
};

// Backed by QSerialPort on the device that COM n maps to.
class HardwareSerialPort : public SerialPort {
    Q_OBJECT
public:
    explicit HardwareSerialPort(QObject* parent = nullptr);

    bool setPortOpen(bool open) override;
    bool portOpen() const override;
    QString input() override;
    QString deviceName() const;

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
    bool setPortOpen(bool open) override;
    bool portOpen() const override { return open_; }
    QString input() override;

    // Appends characters to the receive buffer and raises the receive event once the threshold is met.
    void receive(const QByteArray& bytes);
    // Raises any event code (1001 break, errors, unknown codes).
    void raiseEvent(int code) { raise(code); }
    const QByteArray& waiting() const { return buffer_; }
    // Every port number tried, in order, for fall-through checks.
    const std::vector<int>& triedPorts() const { return tried_; }

private:
    std::set<int> available_{1, 2, 3, 4};
    bool open_ = false;
    QByteArray buffer_;
    QByteArray waitingOnOpen_;
    std::vector<int> tried_;
};
