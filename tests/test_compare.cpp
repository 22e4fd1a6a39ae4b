// Records compared on one plot: round scales, the reduced curves against one line per sample on
// both axes across, colours and legend per record, scales that fit them all, refused files and
// the PNG.
#include "TestSupport.h"

#include "export/export.h"
#include "platform/NumberText.h"
#include "platform/PlotSurface.h"
#include "process/RecordFacts.h"
#include "records/CompareWindow.h"
#include "records/RecordFile.h"
#include "testkit/PerSample.h"

#include <QComboBox>
#include <QFileInfo>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include <cmath>

using namespace Qt::StringLiterals;

namespace {

// A record of `samples` seconds in one of four shapes, whole numbers as the charger sends them:
// "charge" (a NiMH charge at 1.8 A), "noisy" (voltage and current under heavy noise, capacity
// jittering back and forth), "cycle" (a charge, then a discharge counting its capacity from 0
// again) and "flat" (7.2 V, 1 A, 0 mAh).
Record makeRecord(const QString& shape, int samples)
{
    Record record;
    for (int n = 1; n <= samples; ++n) {
        float u = 7200, i = 10000, q = 0;
        const float t = static_cast<float>(n) / samples;
        if (shape == u"charge") {
            const ladomat::sim::Reading r = ladomat::sim::chargeSecond(n - 1, samples, 18000);
            u = r.outputMv, i = r.currentTenthMa, q = r.capacityMah;
        } else if (shape == u"noisy") {
            u = 7000 + 1500 * std::cos(n * 78.233f);
            i = 12000 + 8000 * std::sin(n * 12.9898f);
            q = 1500 * t + 40 * std::sin(n * 3.7f);
        } else if (shape == u"cycle") {
            const bool charging = t <= 0.5f;
            u = charging ? 7000 + 2000 * t : 8000 - 2500 * t;
            i = charging ? 18000 : 9000;
            q = charging ? 2400 * t : 1800 * (t - 0.5f);
        }
        record.KurveU[n] = std::round(u), record.KurveI[n] = std::round(i);
        record.KurveQ[n] = std::max(0.0f, std::round(q));
    }
    record.MessAnzahl = samples;
    return record;
}

// "charge:3600 noisy:500" -> the records.
std::vector<Record> makeRecords(const QString& list)
{
    std::vector<Record> records;
    for (const QString& item : list.split(u' '))
        records.push_back(makeRecord(item.section(u':', 0, 0), item.section(u':', 1).toInt()));
    return records;
}

std::vector<const Record*> pointers(const std::vector<Record>& records)
{
    std::vector<const Record*> all;
    for (const Record& record : records)
        all.push_back(&record);
    return all;
}

QString scaleText(const AxisScale& scale)
{
    return QStringLiteral("%1x%2").arg(scale.step).arg(scale.divisions);
}

// The comparison window opened, laid out as on the screen.
CompareWindow* comparisonIn(const TestApp& app)
{
    app.mdi->show();
    QCoreApplication::processEvents();
    return app.mdi->mdiArea->findChild<CompareWindow*>();
}

// The texts of the window's visible labels whose names start with `prefix`, in number order.
QString labelTexts(const CompareWindow* window, const QString& prefix, int count)
{
    QStringList texts;
    for (int k = 0; k < count; ++k) {
        const auto* label = window->findChild<QLabel*>(prefix + QString::number(k));
        if (label && label->isVisibleTo(window))
            texts << label->text();
    }
    return texts.join(u' ');
}

}  // namespace

class TestCompare : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); }

    // The smallest step of 1, 2 or 5 times a power of ten that covers the largest value in at most
    // eight steps; in time, whole minutes, hours or days.
    void roundScales_data()
    {
        QTest::addColumn<bool>("time");
        QTest::addColumn<double>("largest");
        QTest::addColumn<QString>("scale");  // step x divisions
        QTest::newRow("12.6 V") << false << 12.6 << "2x7";
        QTest::newRow("8 V on a step") << false << 8.0 << "1x8";
        QTest::newRow("8.4 V") << false << 8.4 << "2x5";
        QTest::newRow("0.5 A") << false << 0.5 << "0.1x5";
        QTest::newRow("2000 mAh") << false << 2000.0 << "500x4";
        QTest::newRow("nothing above 0") << false << 0.0 << "0.2x5";
        QTest::newRow("a single second") << true << 0.0 << "60x1";
        QTest::newRow("two hours") << true << 7200.0 << "900x8";
        QTest::newRow("two hours and a second") << true << 7201.0 << "1200x7";
        QTest::newRow("a full store") << true << 1999999.0 << "432000x5";
    }
    void roundScales()
    {
        QFETCH(bool, time);
        QFETCH(double, largest);
        QTEST(scaleText(time ? timeScale(largest) : roundScale(largest)), "scale");
    }

    // Each record's curve reduced per pixel column gives the picture of one line per sample, for
    // records of different lengths and shapes, every quantity, across time and across capacity
    // (where a cycle's capacity starts again from 0 and noise moves it back and forth).
    void equalsPerSampleDrawing_data()
    {
        QTest::addColumn<QString>("records");
        QTest::addColumn<int>("quantity");
        QTest::addColumn<int>("across");
        QTest::addColumn<QSize>("size");
        const auto row = [](const char* name, const char* records, Quantity quantity, Across across,
                            QSize size = {600, 400}) {
            QTest::newRow(name) << records << int(quantity) << int(across) << size;
        };
        row("time: three lengths, voltage", "charge:3600 noisy:1500 cycle:7000", Quantity::voltage,
            Across::time);
        row("time: six, current", "charge:100 noisy:5000 cycle:9000 flat:1 charge:20000 noisy:30",
            Quantity::current, Across::time, {451, 233});
        row("time: capacity", "cycle:4000 charge:4000", Quantity::capacity, Across::time);
        row("time: one sample each", "flat:1 charge:1", Quantity::voltage, Across::time);
        row("capacity: voltage", "charge:3600 noisy:5000 cycle:7000", Quantity::voltage, Across::capacity);
        row("capacity: long noisy current", "noisy:200000 cycle:150000", Quantity::current, Across::capacity,
            {451, 233});
        row("capacity: capacity", "cycle:3000 noisy:800 charge:2000", Quantity::capacity, Across::capacity);
    }
    void equalsPerSampleDrawing()
    {
        QFETCH(QString, records);
        QFETCH(int, quantity);
        QFETCH(int, across);
        QFETCH(QSize, size);
        const std::vector<Record> compared = makeRecords(records);
        const CompareView view{Quantity(quantity), Across(across)};
        PlotSurface plot;
        plot.resize(size);
        const CompareAxes axes = drawComparison(&plot, pointers(compared), view);
        const QImage reduced = plot.image().copy();
        drawCompareGrid(&plot, axes);
        drawGroupsPerSample(&plot, compareGroups(pointers(compared), view, axes, plot.ScaleWidth()));
        // The record drawn last lies over the others.
        QVERIFY(countColor(plot.image(), kComparePalette[compared.size() - 1]) > 0);
        QCOMPARE(reduced, plot.image());
    }

    // Each record in its colour of the palette, on the plot and beside its legend text: the file
    // name, the battery's name from the record's facts, and the date recorded (without facts, the
    // file's date).
    void coloursAndLegends()
    {
        QTemporaryDir dir;
        TestApp app;
        QStringList paths;
        const QStringList shapes{"charge:3000", "cycle:5000", "noisy:2000"};
        for (const QString& shape : shapes) {
            paths << dir.filePath(shape.section(u':', 0, 0) + ".TXT");
            QVERIFY(writeCurveFile(paths.last(), makeRecords(shape).front()));
        }
        RecordFacts facts;
        facts.start = QDateTime(QDate(2026, 3, 14), QTime(9, 30));
        facts.notes = {"Akku 1", "1700", "6", "7,2"};
        QVERIFY(write(factsPath(paths[1]), factsJson(facts)));
        facts.notes[0] = "?";  // the start text: no name given
        QVERIFY(write(factsPath(paths[2]), factsJson(facts)));

        app.mdi->openComparison(paths);
        const CompareWindow* window = comparisonIn(app);
        QVERIFY(window);
        const QString today = dateText(QFileInfo(paths[0]).lastModified().date());
        QCOMPARE(labelTexts(window, "legend", 7),
                 "charge.TXT, " + today + " cycle.TXT – Akku 1, 14.03.26 noisy.TXT, 14.03.26");
        // Each record's last point, where no later record lies over it, shows in its colour: at its
        // second across, at its voltage up the plot, on axes read from their last labels.
        const QImage plot = window->plot->image();
        const std::vector<Record> records = makeRecords(shapes.join(u' '));
        const QString lastTime = labelTexts(window, "across", 9).section(u' ', -1);
        const double seconds =
            lastTime.section(u':', 0, 0).toInt() * 3600 + lastTime.section(u':', 1).toInt() * 60;
        const double millivolts =
            QLocale().toDouble(labelTexts(window, "value", 9).section(u' ', -2, -2)) * 1000;
        for (int r = 0; r < 3; ++r) {
            const QImage swatch =
                window->findChild<QLabel*>("swatch" + QString::number(r + 1))->pixmap().toImage();
            QCOMPARE(swatch.pixelColor(swatch.rect().center()), kComparePalette[r]);
            const int n = records[r].count();
            const QPoint last(std::floor(plot.width() * (n - 1) / seconds),
                              std::floor(plot.height() * (1 - records[r].KurveU[n] / millivolts)));
            QVERIFY2(countColor(plot.copy(QRect(last - QPoint(1, 1), QSize(3, 3))), kComparePalette[r]) > 0,
                     qPrintable(QString::number(r)));
        }
        QCOMPARE(countColor(plot, kComparePalette[3]), 0);
        QVERIFY(app.dialogs.messages.isEmpty());
    }

    // The scales take in every record: here a charge of 2 hours at 1.8 A (3600 mAh, its voltage
    // peaking between 8 and 10 V) and a cycle of 4 hours (8 V at its middle, 6.75 V at its end,
    // 1200 mAh at most). The highest value and the farthest point set the labels, and the curves
    // reach the highest value's height and the far right without leaving the plot.
    void scalesFitAllRecords_data()
    {
        QTest::addColumn<QString>("records");
        QTest::addColumn<int>("quantity");
        QTest::addColumn<int>("across");
        QTest::addColumn<QString>("values");
        QTest::addColumn<QString>("acrossLabels");
        const QString both = "charge:7200 cycle:14400";
        const QString hours = "00:00 00:30 01:00 01:30 02:00 02:30 03:00 03:30 04:00";
        const QString mAh = "0 mAh 500 mAh 1000 mAh 1500 mAh 2000 mAh 2500 mAh 3000 mAh 3500 mAh 4000 mAh";
        QTest::newRow("voltage across time")
            << both << int(Quantity::voltage) << int(Across::time) << "0 V 2 V 4 V 6 V 8 V 10 V" << hours;
        QTest::newRow("current across capacity") << both << int(Quantity::current) << int(Across::capacity)
                                                 << "0,0 A 0,5 A 1,0 A 1,5 A 2,0 A" << mAh;
        QTest::newRow("capacity across time")
            << both << int(Quantity::capacity) << int(Across::time) << mAh << hours;
        QTest::newRow("voltage peaking mid-record")
            << "cycle:14400 cycle:3600" << int(Quantity::voltage) << int(Across::capacity)
            << "0 V 1 V 2 V 3 V 4 V 5 V 6 V 7 V 8 V"
            << "0 mAh 200 mAh 400 mAh 600 mAh 800 mAh 1000 mAh 1200 mAh";
        QTest::newRow("a second past four hours")
            << "cycle:100 cycle:14402" << int(Quantity::voltage) << int(Across::time)
            << "0 V 1 V 2 V 3 V 4 V 5 V 6 V 7 V 8 V"
            << "00:00 01:00 02:00 03:00 04:00 05:00";
    }
    void scalesFitAllRecords()
    {
        QFETCH(QString, records);
        QFETCH(int, quantity);
        QFETCH(int, across);
        QTemporaryDir dir;
        TestApp app;
        const std::vector<Record> compared = makeRecords(records);
        QStringList paths;
        for (const Record& record : compared) {
            paths << dir.filePath(QStringLiteral("%1.TXT").arg(paths.size() + 1));
            QVERIFY(writeCurveFile(paths.last(), record));
        }
        app.mdi->openComparison(paths);
        CompareWindow* window = comparisonIn(app);
        QVERIFY(window);
        window->quantityBox->setCurrentIndex(quantity);
        window->acrossBox->setCurrentIndex(across);
        QTEST(labelTexts(window, "value", 9), "values");
        QTEST(labelTexts(window, "across", 9), "acrossLabels");

        const QImage& plot = window->plot->image();
        int top = plot.height(), right = -1;
        for (const QColor& color : {kComparePalette[0], kComparePalette[1]}) {
            for (int x = 0; x < plot.width(); ++x) {
                for (int y = 0; y < plot.height(); ++y) {
                    if (plot.pixelColor(x, y) == color)
                        top = std::min(top, y), right = std::max(right, x);
                }
            }
        }
        // The largest value against the top label, the farthest point against the last one.
        const double factor[] = {1000, 10000, 1};  // sample values per V, A, mAh
        double highest = 0, farthest = 0;
        for (const Record& record : compared) {
            const float* values = quantity == int(Quantity::voltage) ? record.KurveU.get()
                : quantity == int(Quantity::current)                 ? record.KurveI.get()
                                                                     : record.KurveQ.get();
            highest = std::max<double>(highest, *std::max_element(values + 1, values + 1 + record.count()));
            farthest = std::max<double>(
                farthest,
                across == int(Across::time)
                    ? record.count() - 1
                    : *std::max_element(&record.KurveQ[1], &record.KurveQ[record.count()] + 1));
        }
        const QString last =
            labelTexts(window, "across", 9).section(u' ', across == int(Across::time) ? -1 : -2);
        highest /=
            factor[quantity] * QLocale().toDouble(labelTexts(window, "value", 9).section(u' ', -2, -2));
        farthest /= across == int(Across::time)
            ? last.section(u':', 0, 0).toInt() * 3600 + last.section(u':', 1).toInt() * 60
            : QLocale().toDouble(last.section(u' ', 0, 0));
        QCOMPARE(top, static_cast<int>(std::floor(plot.height() * (1 - highest))));
        QCOMPARE(right, std::min(plot.width() - 1, static_cast<int>(std::floor(plot.width() * farthest))));
    }

    // Files that cannot be read are said with the message opening them gives; the rest are compared
    // while at least two are left. Past six, the rest are left out and said so.
    void refusedFiles_data()
    {
        QTest::addColumn<QString>("files");  // g: a curve file, b: no curve file
        QTest::addColumn<int>("compared");
        QTest::addColumn<QString>(
            "messages");  // r: the refusal opening shows, m: fewer than two, s: past six
        QTest::newRow("one refused of three") << "g b g" << 2 << "r";
        QTest::newRow("two refused of three") << "b g b" << 0 << "r r m";
        QTest::newRow("one file") << "g" << 0 << "m";
        QTest::newRow("seven, one refused") << "g g g b g g g g" << 6 << "r s";
    }
    void refusedFiles()
    {
        QFETCH(QString, files);
        QFETCH(int, compared);
        QTemporaryDir dir;
        TestApp app;
        QStringList paths;
        for (const QString& kind : files.split(u' ')) {
            paths << dir.filePath(QStringLiteral("%1.TXT").arg(paths.size() + 1));
            QVERIFY(write(paths.last(), kind == u"g" ? "1,7000,10000,0\r\n2,7100,10000,1\r\n" : "hallo\r\n"));
        }
        app.mdi->openComparison(paths);
        const CompareWindow* window = comparisonIn(app);
        QCOMPARE(window ? labelTexts(window, "legend", 8).count(u"TXT") : 0, compared);

        const QList<QPair<QString, QString>> said = app.dialogs.messages;
        // What opening each refused file says.
        for (qsizetype n = 0; n < paths.size(); ++n) {
            if (files.split(u' ')[n] == u"b")
                app.mdi->openRecordWindow(paths[n]);
        }
        QStringList refusals;
        for (qsizetype n = said.size(); n < app.dialogs.messages.size(); ++n)
            refusals << app.dialogs.messages[n].first;
        QStringList kinds;
        for (const auto& [text, title] : said) {
            QCOMPARE(title, "Ladomat Link");
            kinds << (refusals.contains(text)                                                 ? "r"
                          : text.startsWith(u"Zum Vergleichen braucht es mindestens zwei")    ? "m"
                          : text.startsWith(u"Es lassen sich höchstens sechs Aufzeichnungen") ? "s"
                                                                                              : text);
        }
        QTEST(kinds.join(u' '), "messages");
    }

    // "Als PNG speichern" writes the picture with its labels and legend as a PNG where the dialog
    // says; cancelled, nothing is written; a folder that cannot be written is said.
    void png_data()
    {
        QTest::addColumn<QString>("answer");  // %1: the temporary folder
        QTest::addColumn<bool>("written");
        QTest::addColumn<QString>("message");
        QTest::newRow("written") << "%1/Vergleich01.png" << true << "";
        QTest::newRow("cancelled") << "" << false << "";
        QTest::newRow("no such folder")
            << "%1/fehlt/Vergleich01.png" << false
            << "Die Datei %1/fehlt/Vergleich01.png konnte nicht geschrieben werden !";
    }
    void png()
    {
        QFETCH(QString, answer);
        QFETCH(bool, written);
        QFETCH(QString, message);
        QTemporaryDir dir;
        TestApp app;
        QStringList paths{dir.filePath("a.TXT"), dir.filePath("b.TXT")};
        QVERIFY(writeCurveFile(paths[0], makeRecord("charge", 3000)));
        QVERIFY(writeCurveFile(paths[1], makeRecord("cycle", 3000)));
        app.mdi->openComparison(paths);
        CompareWindow* window = comparisonIn(app);
        QVERIFY(window);
        QCOMPARE(window->saveButton->text(), "Als PNG speichern");
        const QString path = answer.isEmpty() ? QString() : answer.arg(dir.path());
        if (!path.isEmpty())
            app.dialogs.answers << path;
        window->saveButton->click();

        QCOMPARE(QFileInfo::exists(path), written);
        QCOMPARE(app.dialogs.messages.value(0).first, message.isEmpty() ? "" : message.arg(dir.path()));
        if (!written)
            return;
        QCOMPARE(contents(path).left(8), "\x89PNG\r\n\x1a\n"_ba);
        const QImage saved(path);
        QCOMPARE(saved.size(), window->picture().size());
        QVERIFY(countColor(saved, kComparePalette[0]) > 50 && countColor(saved, kComparePalette[1]) > 50);
    }
};

QTEST_MAIN(TestCompare)
#include "test_compare.moc"
