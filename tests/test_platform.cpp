// The platform layer: port order, the plot surface's clipping, line marks and device identities.
#include "TestSupport.h"

#include "platform/NumberText.h"
#include "platform/PlotSurface.h"
#include "platform/PortNames.h"

#include <QSerialPort>
#include <QtTest>

#include <memory>

using namespace Qt::StringLiterals;

class TestPlatform : public QObject {
    Q_OBJECT

private slots:
    // COM order: USB and ACM adapters, other devices, ttyS*; by trailing number, then by name.
    void portOrder()
    {
        QCOMPARE(serialDeviceOrder({"/dev/ttyS10", "/dev/ttyS2", "/dev/rfcomm0", "/dev/ttyUSB0",
                                    "/dev/ttyACM1", "/dev/ttyACM0", "/dev/ttyS1"})
                     .join(u' '),
                 u"/dev/ttyACM0 /dev/ttyUSB0 /dev/ttyACM1 /dev/rfcomm0 /dev/ttyS1 /dev/ttyS2 /dev/ttyS10"_s);
    }

    // Number forms (C locale): shortest, with a blank before non-negatives, and fixed patterns with
    // their zeros filled, rounded, a pattern ending in its point, and no minus for a value rounded to 0.
    void numberTexts()
    {
        QLocale::setDefault(QLocale::c());
        QCOMPARE(QStringList({plainText(12.46), blankText(0), blankText(-3), localeText(7.2f, 7),
                              patternText(5, u"00."_s), patternText(3.14159, u"0.00"_s),
                              patternText(12.345, u"000.0"_s), patternText(-0.04, u"0.0"_s),
                              patternText(-2.5, u"0"_s)})
                     .join(u'|'),
                 u"12.46| 0|-3|7.2|05|3.14|012.3|0.0|-3"_s);
    }

    // On 40 x 30 pixels of 15 twips: lines far beyond the edges are clipped to them (row 10: 40 pixels,
    // column 1: 29 more), one wholly outside leaves no mark, a steep segment fills each column it
    // crosses from where it enters to where it leaves (x 33.5, y 0.5 to x 30.5, y 9.5 pixels:
    // 2 + 4 + 4 + 3 pixels), points are set up to the edges only (2 of 5: the first and last column).
    void linesAndPointsClip()
    {
        QTest::failOnWarning(QRegularExpression("."));  // nothing is painted outside the image
        PlotSurface surface;
        surface.resize(40, 30);
        surface.Cls();
        for (const QLineF& line : {QLineF(-3000, 150, 9000, 150), QLineF(15, -900, 15, 900),
                                   QLineF(-600, 0, -15, 450), QLineF(502.5, 7.5, 457.5, 142.5)})
            surface.Line(line.x1(), line.y1(), line.x2(), line.y2(), Qt::red);
        for (const QPointF& point :
             {QPointF(0, 0), QPointF(599, 0), QPointF(600, 0), QPointF(-1, 0), QPointF(150, 450)})
            surface.PSet(point.x(), point.y(), Qt::red);
        QCOMPARE(countColor(surface.image(), Qt::red), 40 + 29 + 13 + 2);
    }

    // A doubled 0xFF is one character, 0xFF 0 0 a break, 0xFF 0 c a character with a line error
    // (dropped), a lone 0xFF stays; wherever the stream is cut into two reads, the next completes it.
    void lineMarks()
    {
        const QByteArray stream = "A\377\377B\377C\377\0\0D\377\0007E\377\0\0"_ba;
        for (int cut = 0; cut <= stream.size(); ++cut) {
            QByteArray pending;
            const LineRead first = unmarkLine(pending, stream.left(cut)),
                           second = unmarkLine(pending, stream.mid(cut));
            QCOMPARE(first.data + second.data + pending + QByteArray::number(first.breaks + second.breaks),
                     "A\377B\377CDE2"_ba);
        }
    }

    // The hardware port on a pseudo-terminal named by LADOMAT_COM1.
    void hardwarePort()
    {
        auto line = std::make_unique<PseudoTerminal>();
        HardwareSerialPort port;
        QSignalSpy events(&port, &SerialPort::onComm);
        qputenv("LADOMAT_COM1", line->path.toLocal8Bit());
        QVERIFY(port.setPortOpen(true));
        // The line marks breaks and keeps all 8 bits: it doubles a character 0xFF, which still comes
        // out once, even before a 0 (unmarked, 0xFF 0 would be read as a line error); no event.
        QVERIFY(line->write("A\377\0B"_ba));
        QByteArray read;
        QTRY_VERIFY((read += port.input().toLatin1()).size() >= 4);
        QVERIFY(read == "A\377\0B"_ba && events.count() == 0);

        // Characters are stamped as they come, not when read: ten, then later 32 more, read at once,
        // arrived in two runs on either side of the moment between.
        port.setRThreshold(10);
        QVERIFY(line->write("0123456789"));
        QTRY_COMPARE(events.count(), 1);  // taken in, not read
        port.setRThreshold(42);
        const int64_t between = port.clockMs();
        QVERIFY(line->write(QByteArray(32, 'x')));
        QTRY_COMPARE(events.count(), 2);
        QCOMPARE(port.input().size(), 42);
        QStringList runs;  // where the two runs start, and any run stamped on the wrong side of the moment
        for (const Arrival& arrival : port.arrivals()) {
            const bool rightSide = arrival.at < 10 ? arrival.ms <= between : arrival.ms >= between;
            if (arrival.at == 0 || arrival.at == 10 || !rightSide)
                runs << QString::number(arrival.at) + (rightSide ? "" : " on the wrong side");
        }
        QCOMPARE(runs.join(u", "), u"0, 10"_s);

        // An error that is no loss of the line (a wait for data that timed out) leaves the port open.
        QVERIFY(!port.findChild<QSerialPort*>()->waitForReadyRead(1));
        QVERIFY(port.portOpen() && !port.awaitingDevice());

        // A device that goes away under the open port is waited for; when it is back, the port takes
        // it, told by the change in its device folder.
        line.reset();
        QTRY_VERIFY(port.awaitingDevice() && !port.portOpen());
        PseudoTerminal back;
        qputenv("LADOMAT_COM1", back.path.toLocal8Bit());
        QTRY_VERIFY(port.portOpen());
        qunsetenv("LADOMAT_COM1");
        QVERIFY(back.write("0123"_ba));
        read.clear();
        QTRY_VERIFY((read += port.input().toLatin1()).size() >= 4);
        QCOMPARE(read, "0123"_ba);
    }

    // After the adapter was unplugged only the same device is taken (any device when none was known);
    // a stranger leaves the port closed, waiting for the run's own device, which the once-a-second
    // check then takes.
    void onlyTheSameDeviceIsReopened()
    {
        const DeviceIdentity adapter{0x0403, 0x6001, "A9X2"}, stranger{0x0403, 0x6001, "B000"};
        MemorySerialPort port;
        QStringList seen;
        const auto back = [&](const DeviceIdentity& identity) {
            port.unplug();
            port.setIdentity(identity);
            port.replug();
            port.retryLostDevice();
            seen << (port.portOpen() ? "taken" : port.awaitingDevice() ? "waiting" : "closed");
        };
        QVERIFY(port.setPortOpen(true));  // no identity known
        back(stranger);
        port.setIdentity(adapter);
        QVERIFY(port.setPortOpen(true));
        back(stranger);
        back(adapter);
        QCOMPARE(seen.join(u' '), u"taken waiting taken"_s);
    }
};

QTEST_MAIN(TestPlatform)
#include "test_platform.moc"
