// The platform layer: number texts, the plot surface's line drawing and clipping, port names and
// their order, line marks and device identities.
#include "TestSupport.h"

#include "platform/NumberText.h"
#include "platform/PlotSurface.h"
#include "platform/PortNames.h"

#include <QtTest>

#include <termios.h>

using namespace Qt::StringLiterals;

namespace {

// "0403:6001:A9X2" (hex vendor and product, serial number); "" for a device without identity.
DeviceIdentity identity(const QString& text)
{
    const QStringList parts = text.split(u':');
    if (parts.size() != 3)
        return {};
    return {parts[0].toInt(nullptr, 16), parts[1].toInt(nullptr, 16), parts[2]};
}

}  // namespace

class TestPlatform : public QObject {
    Q_OBJECT

private slots:
    // Shortest forms with "." whatever the locale and one leading blank for 0 and above; the locale's
    // separator (7 significant digits for single-precision values); fixed patterns with at least
    // their integer digits, rounded to their decimals.
    void numberTexts()
    {
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        QStringList texts;
        texts << blankText(0) << blankText(-3) << blankText(17.001) << plainText(2000000) << localeText(7.2)
              << localeText(6 * 1.2f, 7) << patternText(15.04, "000.0") << patternText(1234.56, "000.0")
              << patternText(0.1, "0.00") << patternText(7.4, "00.");
        QLocale::setDefault(QLocale::c());
        QCOMPARE(
            texts,
            (QStringList{" 0", "-3", " 17.001", "2000000", "7,2", "7,2", "015,0", "1234,6", "0,10", "07"}));
    }

    // On 40 x 30 pixels of 15 twips: a line far beyond the edges is clipped to them, one wholly outside
    // leaves no mark, a diagonal touches each pixel on its way, a steep segment fills each column it
    // crosses from where it enters to where it leaves.
    void linesCoverTheirPixelsAndClip()
    {
        PlotSurface surface;
        surface.resize(40, 30);
        surface.Cls();
        const QImage& image = surface.image();
        const QColor red(255, 0, 0), blue(0, 0, 255), green(0, 128, 0);
        surface.Line(-3000, 150, 9000, 150, red);
        QCOMPARE(countColorInRow(image, 10, red), 40);
        QCOMPARE(countColor(image, red), 40);
        surface.Line(-600, 0, -15, 450, blue);
        surface.Line(0, 460, 600, 900, blue);
        QCOMPARE(countColor(image, blue), 0);
        surface.Line(0, 0, 299, 299, green);
        for (int i = 0; i < 20; ++i)
            QCOMPARE(image.pixelColor(i, i), green);
        // Drawn right to left from x 33.5, y 0.5 to x 30.5, y 9.5 pixels: 3 rows a column. Column 31 spans
        // rows 5 to 8; the four columns together 2 + 4 + 4 + 3 pixels.
        surface.Line(502.5, 7.5, 457.5, 142.5, blue);
        QVERIFY(image.pixelColor(31, 5) == blue && image.pixelColor(31, 8) == blue);
        QCOMPARE(countColor(image, blue), 13);
    }

    // COM order: USB and ACM adapters, other devices, ttyS*; by trailing number, then by name.
    // LADOMAT_COMn names the device for COM n whatever the system has.
    void portNames()
    {
        QCOMPARE(serialDeviceOrder({"/dev/ttyS10", "/dev/ttyS2", "/dev/rfcomm0", "/dev/ttyUSB0",
                                    "/dev/ttyACM1", "/dev/ttyACM0", "/dev/ttyS1"}),
                 (QStringList{"/dev/ttyACM0", "/dev/ttyUSB0", "/dev/ttyACM1", "/dev/rfcomm0", "/dev/ttyS1",
                              "/dev/ttyS2", "/dev/ttyS10"}));
        qputenv("LADOMAT_COM3", "/dev/pts/77");
        QCOMPARE(deviceForComPort(3), QStringLiteral("/dev/pts/77"));
        qunsetenv("LADOMAT_COM3");
    }

    // A doubled 0xFF is one character, 0xFF 0 0 a break, 0xFF 0 c a character with a line error
    // (dropped); a mark cut between two reads is completed by the next.
    void lineMarks_data()
    {
        QTest::addColumn<QByteArrayList>("reads");
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<int>("breaks");
        QTest::newRow("doubled 0xFF") << QByteArrayList{"A\377\377B"_ba} << "A\377B"_ba << 0;
        QTest::newRow("break") << QByteArrayList{"AB\377\0\0CD"_ba} << "ABCD"_ba << 1;
        QTest::newRow("error character") << QByteArrayList{"A\377\0007B"_ba} << "AB"_ba << 0;
        QTest::newRow("break cut after 0xFF") << QByteArrayList{"A\377"_ba, "\0\0B"_ba} << "AB"_ba << 1;
        QTest::newRow("break cut after 0xFF 0") << QByteArrayList{"A\377\0"_ba, "\0B"_ba} << "AB"_ba << 1;
        QTest::newRow("0xFF cut from its double") << QByteArrayList{"A\377"_ba, "\377"_ba} << "A\377"_ba << 0;
        QTest::newRow("two breaks") << QByteArrayList{"\377\0\0\377\0\0"_ba} << QByteArray() << 2;
    }
    void lineMarks()
    {
        QFETCH(QByteArrayList, reads);
        QByteArray pending, data;
        int breaks = 0;
        for (const QByteArray& raw : reads) {
            const LineRead read = unmarkLine(pending, raw);
            data += read.data;
            breaks += read.breaks;
        }
        QTEST(data, "data");
        QTEST(breaks, "breaks");
        QVERIFY(pending.isEmpty());
    }

    // On a pseudo-terminal the hardware port has the line mark breaks: the line then doubles a
    // character 0xFF, which still comes out once and raises no event.
    void hardwarePortMarksBreaks()
    {
        PseudoTerminal line;
        qputenv("LADOMAT_COM1", line.path.toLocal8Bit());
        HardwareSerialPort port;
        QSignalSpy events(&port, &SerialPort::onComm);
        QVERIFY(port.setPortOpen(true));
        qunsetenv("LADOMAT_COM1");
        termios tio;
        QVERIFY(tcgetattr(line.slave, &tio) == 0);
        QCOMPARE(tio.c_iflag & (PARMRK | BRKINT | IGNBRK | ISTRIP), tcflag_t(PARMRK));
        QVERIFY(line.write("A\377B"));
        QByteArray read;
        QTRY_VERIFY((read += port.input().toLatin1()).size() >= 3);
        QCOMPARE(read, "A\377B"_ba);
        QCOMPARE(events.count(), 0);
    }

    // After the adapter was unplugged, and when the port is reopened after a dialog, only the same
    // device is taken (any device when none was known); a stranger leaves the port closed, waiting
    // for the run's own device.
    void onlyTheSameDeviceIsReopened_data()
    {
        QTest::addColumn<QString>("change");  // identity before > identity now
        QTest::addColumn<bool>("taken");
        QTest::newRow("none known") << " > 1a86:7523:" << true;
        QTest::newRow("same adapter") << "0403:6001:A9X2 > 0403:6001:A9X2" << true;
        QTest::newRow("other serial number") << "0403:6001:A9X2 > 0403:6001:B000" << false;
        QTest::newRow("other product") << "0403:6001: > 0403:6015:" << false;
        QTest::newRow("built-in port under the name") << "0403:6001:A9X2 > " << false;
    }
    void onlyTheSameDeviceIsReopened()
    {
        QFETCH(QString, change);
        QFETCH(bool, taken);
        const QString before = change.section(u" > "_s, 0, 0), now = change.section(u" > "_s, 1);
        for (const bool afterDialog : {false, true}) {
            MemorySerialPort port;
            port.setIdentity(identity(before));
            QVERIFY(port.setPortOpen(true));
            if (afterDialog)
                port.setPortOpen(false);
            port.unplug();
            port.setIdentity(identity(now));
            port.replug();
            if (afterDialog)
                port.reopen();
            else
                port.retryLostDevice();
            QCOMPARE(port.portOpen(), taken);
            QCOMPARE(port.awaitingDevice(), !taken);
            port.setIdentity(identity(before));
            port.retryLostDevice();
            QVERIFY(port.portOpen() && !port.awaitingDevice());
        }
    }
};

QTEST_MAIN(TestPlatform)
#include "test_platform.moc"
