// The platform layer: number texts, the plot surface's drawing and clipping, port names, the memory port.
#include "TestSupport.h"

#include "platform/NumberText.h"
#include "platform/PlotSurface.h"
#include "platform/PortNames.h"

#include <QSignalSpy>
#include <QtTest>

class TestPlatform : public QObject {
    Q_OBJECT

private slots:
    void init() { QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); }
    void cleanup() { QLocale::setDefault(QLocale::c()); }

    void numberTexts_data();
    void numberTexts();
    void linesCoverTheirPixelsAndClip();
    void boxOutlineStaysInsideWhenDrawnOneTwipInside();
    void steepSegmentFillsItsColumn();
    void printAndPoint();
    void comPortsFromEnvironment();
    void memoryPortRaisesReceiveAtThreshold();
};

void TestPlatform::numberTexts_data()
{
    QTest::addColumn<QString>("form");
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("expected");
    QTest::newRow("blank volts") << "blank" << 12.46 << " 12.46";
    QTest::newRow("blank whole") << "blank" << 1234.0 << " 1234";
    QTest::newRow("blank zero") << "blank" << 0.0 << " 0";
    QTest::newRow("blank negative") << "blank" << -3.0 << "-3";
    QTest::newRow("blank tenth") << "blank" << 1234.5 << " 1234.5";
    QTest::newRow("blank millivolt") << "blank" << 17.001 << " 17.001";
    QTest::newRow("plain") << "plain" << 720.0 << "720";
    QTest::newRow("plain large") << "plain" << 2000000.0 << "2000000";
    QTest::newRow("locale decimal") << "locale" << 7.2 << "7,2";
    QTest::newRow("locale whole") << "locale" << 12.0 << "12";
    QTest::newRow("locale single precision") << "locale7" << double(6 * 1.2f) << "7,2";
    QTest::newRow("pattern 000.0") << "000.0" << 2.5 << "002,5";
    QTest::newRow("pattern 000.0 rounds") << "000.0" << 15.04 << "015,0";
    QTest::newRow("pattern 000.0 wide") << "000.0" << 1234.56 << "1234,6";
    QTest::newRow("pattern 0.0") << "0.0" << 0.4 << "0,4";
    QTest::newRow("pattern 0.00") << "0.00" << 0.1 << "0,10";
    QTest::newRow("pattern 0") << "0" << 600.0 << "600";
}

void TestPlatform::numberTexts()
{
    QFETCH(QString, form);
    QFETCH(double, value);
    QFETCH(QString, expected);
    QString text;
    if (form == QLatin1String("blank"))
        text = blankText(value);
    else if (form == QLatin1String("plain"))
        text = plainText(value);
    else if (form == QLatin1String("locale"))
        text = localeText(value);
    else if (form == QLatin1String("locale7"))
        text = localeText(value, 7);
    else
        text = patternText(value, form);
    QCOMPARE(text, expected);
}

void TestPlatform::linesCoverTheirPixelsAndClip()
{
    PlotSurface surface;
    surface.resize(40, 30);
    surface.Cls();
    QCOMPARE(surface.ScaleWidth(), 600.0);
    QCOMPARE(surface.ScaleHeight(), 450.0);
    const QColor red(255, 0, 0);
    // A horizontal line across the whole width, and far beyond it: clipped to the 40 columns.
    surface.Line(-3000, 150, 9000, 150, red);
    QCOMPARE(countColorInRow(surface.image(), 10, red), 40);
    QCOMPARE(countColor(surface.image(), red), 40);
    // A line wholly outside leaves no mark.
    const QColor blue(0, 0, 255);
    surface.Line(-600, 0, -15, 450, blue);
    surface.Line(0, 460, 600, 900, blue);
    QCOMPARE(countColor(surface.image(), blue), 0);
    // A diagonal touches every column once at 45 degrees, with both ends.
    const QColor green(0, 128, 0);
    surface.Line(0, 0, 299, 299, green);
    for (int i = 0; i < 20; ++i)
        QCOMPARE(surface.image().pixelColor(i, i), green);
}

void TestPlatform::boxOutlineStaysInsideWhenDrawnOneTwipInside()
{
    PlotSurface surface;
    surface.resize(40, 30);
    surface.Cls();
    const QColor grey(150, 150, 150);
    surface.setForeColor(grey);
    surface.LineBox(0, 0, surface.ScaleWidth() - 15, surface.ScaleHeight() - 5);
    QCOMPARE(countColorInRow(surface.image(), 0, grey), 40);
    QCOMPARE(countColorInRow(surface.image(), 29, grey), 40);
    QCOMPARE(countColorInColumn(surface.image(), 0, grey), 30);
    QCOMPARE(countColorInColumn(surface.image(), 39, grey), 30);
    QCOMPARE(countColor(surface.image(), grey), 2 * 40 + 2 * 28);
}

void TestPlatform::steepSegmentFillsItsColumn()
{
    PlotSurface surface;
    surface.resize(10, 10);
    surface.Cls();
    const QColor red(255, 0, 0);
    surface.Line(20, 15, 25, 120, red);  // both ends in column 1, rows 1 to 8
    QCOMPARE(countColorInColumn(surface.image(), 1, red), 8);
    QCOMPARE(countColor(surface.image(), red), 8);
    const PixelRun run = segmentRunInColumn(0.5, 9.5, 3.5, 0.5, 1);  // a falling line over three columns
    QCOMPARE(run.first, 5);
    QCOMPARE(run.last, 8);
}

void TestPlatform::printAndPoint()
{
    PlotSurface surface;
    surface.resize(200, 60);
    surface.Cls();
    const QColor dark(191, 0, 0);
    surface.PSet(50, 170, QColor(1, 2, 3));
    QCOMPARE(surface.image().pixelColor(3, 11), QColor(1, 2, 3));
    QCOMPARE(surface.CurrentX, 50.0);
    surface.setForeColor(dark);
    surface.Print(QStringLiteral("Akku 1"));
    // Text is smoothed: count what differs from the background, and require the pen colour's core.
    QVERIFY(surface.image().width() * surface.image().height() - countColor(surface.image(), surface.backColor()) > 20);
    QVERIFY(countColor(surface.image(), dark) > 0);
    QVERIFY(surface.CurrentY > 170);
    QCOMPARE(surface.CurrentX, 0.0);
    surface.Cls();
    QCOMPARE(countColor(surface.image(), surface.backColor()), 200 * 60);
}

void TestPlatform::comPortsFromEnvironment()
{
    qputenv("LADOMAT_COM3", "/dev/pts/77");
    QCOMPARE(deviceForComPort(3), QStringLiteral("/dev/pts/77"));
    qunsetenv("LADOMAT_COM3");
    const QStringList devices = systemSerialDevices();
    QCOMPARE(deviceForComPort(3), devices.size() >= 3 ? devices.at(2) : QString());
    // Adapters come before built-in ports.
    const auto firstBuiltIn = std::find_if(devices.begin(), devices.end(),
                                           [](const QString& d) { return d.contains(QLatin1String("ttyS")); });
    for (auto it = firstBuiltIn; it != devices.end(); ++it)
        QVERIFY(!it->contains(QLatin1String("ttyUSB")) && !it->contains(QLatin1String("ttyACM")));
}

void TestPlatform::memoryPortRaisesReceiveAtThreshold()
{
    MemorySerialPort port;
    port.setRThreshold(32);
    QSignalSpy events(&port, &SerialPort::onComm);
    port.receive(QByteArray(10, 'A'));  // closed: nothing arrives
    QVERIFY(port.waiting().isEmpty());
    QVERIFY(port.setPortOpen(true));
    port.receive(QByteArray(31, 'A'));
    QCOMPARE(events.count(), 0);
    port.receive("B");
    QCOMPARE(events.count(), 1);
    QCOMPARE(port.commEvent(), int(comEvReceive));
    QCOMPARE(port.input(), QString(31, QLatin1Char('A')) + QLatin1Char('B'));
    QVERIFY(port.input().isEmpty());
    port.setAvailablePorts({2});
    port.setPortOpen(false);
    QVERIFY(!port.setPortOpen(true));
}

QTEST_MAIN(TestPlatform)
#include "test_platform.moc"
