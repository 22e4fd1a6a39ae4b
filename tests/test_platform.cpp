// The platform layer: number texts, the plot surface's line drawing and clipping, port names and
// their order.
#include "TestSupport.h"

#include "platform/NumberText.h"
#include "platform/PlotSurface.h"
#include "platform/PortNames.h"

#include <QtTest>

class TestPlatform : public QObject {
    Q_OBJECT

private slots:
    void init() { QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); }
    void cleanup() { QLocale::setDefault(QLocale::c()); }

    // Shortest forms with "." whatever the locale and one leading blank for 0 and above, never an
    // exponent; the locale's separator (7 significant digits for single-precision values); fixed
    // patterns with at least their integer digits, rounded to their decimals.
    void numberTexts()
    {
        QCOMPARE(blankText(0), " 0");
        QCOMPARE(blankText(-3), "-3");
        QCOMPARE(blankText(17.001), " 17.001");
        QCOMPARE(plainText(2000000), "2000000");
        QCOMPARE(localeText(7.2), "7,2");
        QCOMPARE(localeText(6 * 1.2f, 7), "7,2");
        QCOMPARE(patternText(15.04, "000.0"), "015,0");
        QCOMPARE(patternText(1234.56, "000.0"), "1234,6");
        QCOMPARE(patternText(0.1, "0.00"), "0,10");
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

    // LADOMAT_COMn names the device for COM n; otherwise it is the n-th serial device of the system.
    void comPortsFromEnvironment()
    {
        qputenv("LADOMAT_COM3", "/dev/pts/77");
        QCOMPARE(deviceForComPort(3), QStringLiteral("/dev/pts/77"));
        qunsetenv("LADOMAT_COM3");
        QCOMPARE(deviceForComPort(3), systemSerialDevices().value(2));  // empty when there is none
    }

    // COM order: USB and ACM adapters, other devices, ttyS*; by trailing number, then by name.
    void serialDeviceOrder_data()
    {
        QTest::addColumn<QStringList>("devices");
        QTest::addColumn<QStringList>("ordered");
        QTest::newRow("adapters first")
            << QStringList{"/dev/ttyS0", "/dev/ttyUSB0"} << QStringList{"/dev/ttyUSB0", "/dev/ttyS0"};
        QTest::newRow("numbers, not names") << QStringList{"/dev/ttyS10", "/dev/ttyS2", "/dev/ttyS1"}
                                            << QStringList{"/dev/ttyS1", "/dev/ttyS2", "/dev/ttyS10"};
        QTest::newRow("USB and ACM by number") << QStringList{"/dev/ttyACM1", "/dev/ttyUSB0", "/dev/ttyACM0"}
                                               << QStringList{"/dev/ttyACM0", "/dev/ttyUSB0", "/dev/ttyACM1"};
        QTest::newRow("others between") << QStringList{"/dev/ttyS0", "/dev/rfcomm0", "/dev/ttyUSB1"}
                                        << QStringList{"/dev/ttyUSB1", "/dev/rfcomm0", "/dev/ttyS0"};
    }
    void serialDeviceOrder()
    {
        QFETCH(QStringList, devices);
        QTEST(::serialDeviceOrder(devices), "ordered");
    }
};

QTEST_MAIN(TestPlatform)
#include "test_platform.moc"
