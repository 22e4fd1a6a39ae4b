// Records compared on one plot: the window's round scales and labels, legend, curves (reduced, against
// one line per sample) and PNG, and refused files.
#include "TestSupport.h"

#include "export/export.h"
#include "platform/NumberText.h"
#include "process/RecordFacts.h"
#include "records/CompareWindow.h"
#include "testkit/PerSample.h"

#include <QComboBox>
#include <QLabel>
#include <QMdiArea>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include <cmath>

namespace {

// "cycle:3600": a record of 3600 seconds in one of four shapes, whole numbers as the charger sends them:
// "charge" (a NiMH charge at 1.8 A), "noisy" (voltage and current under heavy noise, capacity
// jittering back and forth), "cycle" (a charge, then a discharge counting its capacity from 0
// again) and "flat" (7.2 V, 1 A, 0 mAh).
Record makeRecord(const QString& item)
{
    const QString shape = item.section(u':', 0, 0);
    const int samples = item.section(u':', 1, 1).toInt();
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

// Opens "charge:3000 cycle:500:Akku bad" compared, as 1.TXT, 2.TXT, ..: a third part writes facts
// from 14.03.26 naming that battery ("?" the start text: none); "bad" is no curve file.
CompareWindow* openCompared(const TestApp& app, const QTemporaryDir& dir, const QString& list)
{
    QStringList paths;
    for (const QString& item : list.split(u' ')) {
        paths << dir.filePath(QString::number(paths.size() + 1) + ".TXT");
        RecordFacts facts;
        facts.start = QDateTime(QDate(2026, 3, 14), QTime(9, 30));
        facts.notes = {item.section(u':', 2), "1700", "6", "7,2"};
        const bool written = item == u"bad" ? write(paths.last(), "hallo\r\n")
                                            : writeCurveFile(paths.last(), makeRecord(item)) &&
                (facts.notes[0].isEmpty() || write(factsPath(paths.last()), factsJson(facts)));
        if (!written)
            return nullptr;
    }
    app.mdi->openComparison(paths);
    app.mdi->show();
    QCoreApplication::processEvents();
    return app.mdi->mdiArea->findChild<CompareWindow*>();
}

// The texts of the window's visible labels whose names start with `prefix`, in number order.
QString labelTexts(const CompareWindow* window, const QString& prefix)
{
    QStringList texts;
    for (const QLabel* label : window->findChildren<QLabel*>(QRegularExpression('^' + prefix + "\\d$"))) {
        if (label->isVisibleTo(window))
            texts << label->text();
    }
    return texts.join(u' ');
}

}  // namespace

class TestCompare : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); }

    // Files that cannot be read are said with the message opening them gives; the rest are compared
    // while at least two are left, past six left out. The legend: file name, battery, date recorded.
    // The scales take in every record: a charge of 2 hours at 1.8 A (3600 mAh, its voltage peaking
    // between 8 and 10 V), a cycle of 4 hours (8 V at its middle, 6.75 V at its end, 1200 mAh at
    // most). Each record's last point and legend swatch show in its colour; the PNG is the picture.
    void compared_data()
    {
        QTest::addColumn<QString>("records");
        QTest::addColumn<QString>("view");  // U, I or Q across t(ime) or q (capacity)
        QTest::addColumn<QString>("messages");  // r: not a curve file, m: fewer than two, s: past six
        QTest::addColumn<QString>("legend");  // %1: the day the files without facts were written
        QTest::addColumn<QString>("labels");  // up | across
        const auto row = [](const char* name, const char* records, const char* view, const char* messages,
                            const QString& legend, const QString& labels) {
            QTest::newRow(name) << QString(records) << QString(view) << QString(messages) << legend << labels;
        };
        const QString hours = "00:00 00:30 01:00 01:30 02:00 02:30 03:00 03:30 04:00";
        const QString mAh = "0 mAh 500 mAh 1000 mAh 1500 mAh 2000 mAh 2500 mAh 3000 mAh 3500 mAh 4000 mAh";
        const QString eightVolts = "0 V 1 V 2 V 3 V 4 V 5 V 6 V 7 V 8 V | ";
        const QString two = "1.TXT, %1 2.TXT, %1", amps = "0,0 A 0,5 A 1,0 A 1,5 A 2,0 A | ";
        row("voltage across time", "charge:7200:Akku cycle:14400:? noisy:2000", "Ut", "",
            "1.TXT – Akku, 14.03.26 2.TXT, 14.03.26 3.TXT, %1", "0 V 2 V 4 V 6 V 8 V 10 V | " + hours);
        row("current across capacity", "charge:7200 cycle:14400", "Iq", "", two, amps + mAh);
        row("capacity across time", "charge:7200 cycle:14400", "Qt", "", two, mAh + " | " + hours);
        row("voltage peaking mid-record", "cycle:14400 flat:2", "Uq", "", two,
            eightVolts + "0 mAh 200 mAh 400 mAh 600 mAh 800 mAh 1000 mAh 1200 mAh");
        row("a second past four hours", "cycle:100 cycle:14402", "Ut", "", two,
            eightVolts + "00:00 01:00 02:00 03:00 04:00 05:00");
        row("a second each, 7.2 V", "flat:1 cycle:1", "Ut", "", two, eightVolts + "00:00 00:01");
        row("long, noisy, across capacity", "noisy:200000 cycle:150000", "Iq", "", two,
            amps + "0 mAh 200 mAh 400 mAh 600 mAh 800 mAh 1000 mAh 1200 mAh 1400 mAh 1600 mAh");
        row("two refused of three", "bad cycle:600 bad", "Ut", "r r m", "", "");
        row("eight, one refused",
            "cycle:600 bad cycle:1200 cycle:1800 cycle:2400 cycle:3000 cycle:3600 cycle:4200", "Ut", "r s",
            "1.TXT, %1 3.TXT, %1 4.TXT, %1 5.TXT, %1 6.TXT, %1 7.TXT, %1",
            eightVolts + "00:00 00:10 00:20 00:30 00:40 00:50 01:00");
    }
    void compared()
    {
        QFETCH(QString, records);
        QFETCH(QString, view);
        QFETCH(QString, legend);
        QTemporaryDir dir;
        TestApp app;
        CompareWindow* window = openCompared(app, dir, records);
        QStringList kinds;
        for (const auto& [text, title] : app.dialogs.messages) {
            QCOMPARE(title, "Ladomat Link");
            kinds << (text.endsWith(u"ist keine Kurvendatei: Zeile 1 ist fehlerhaft !")    ? "r"
                          : text.startsWith(u"Zum Vergleichen braucht es mindestens zwei") ? "m"
                          : text.startsWith(u"Es lassen sich höchstens sechs")             ? "s"
                                                                                           : text);
        }
        QTEST(kinds.join(u' '), "messages");
        QCOMPARE(window ? labelTexts(window, "legend") : "",
                 legend.arg(dateText(QFileInfo(dir.filePath("1.TXT")).lastModified().date())));
        if (!window)
            return;
        const int quantity = QString("UIQ").indexOf(view[0]);
        const bool time = view[1] == u't';
        window->quantityBox->setCurrentIndex(quantity);
        window->acrossBox->setCurrentIndex(time ? 0 : 1);
        QTEST(labelTexts(window, "value") + " | " + labelTexts(window, "across"), "labels");

        // The axes' ends from their last labels, in sample units: mV, 0.1 mA or mAh; seconds or mAh.
        const double top = QLocale().toDouble(labelTexts(window, "value").section(u' ', -2, -2)) *
            QList{1000, 10000, 1}[quantity];
        const QString last = labelTexts(window, "across").section(u' ', time ? -1 : -2);
        const double end = time ? last.section(u':', 0, 0).toInt() * 3600 + last.section(u':', 1).toInt() * 60
                                : QLocale().toDouble(last.section(u' ', 0, 0));
        const QImage plot = window->plot->image();
        std::vector<Record> compared;
        for (const QString& item : records.split(u' ')) {
            if (item != u"bad" && compared.size() < kMostCompared)
                compared.push_back(makeRecord(item));
        }
        for (size_t r = 0; r < compared.size(); ++r) {
            const QLabel* swatch = window->findChild<QLabel*>("swatch" + QString::number(r + 1));
            QCOMPARE(swatch->pixmap().toImage().pixelColor(14, 3), kComparePalette[r]);
            const Record& record = compared[r];
            const int n = record.count();
            const float value = QList{record.KurveU[n], record.KurveI[n], record.KurveQ[n]}[quantity];
            const QPoint point(
                std::min<int>(plot.width() - 1, plot.width() * (time ? n - 1 : record.KurveQ[n]) / end),
                std::floor(plot.height() * (1 - value / top)));
            QVERIFY2(countColor(plot.copy(QRect(point - QPoint(1, 1), QSize(3, 3))), kComparePalette[r]) > 0,
                     qPrintable(QString::number(r)));
        }
        // The curves reduced per pixel column are the picture of one line per sample.
        std::vector<const Record*> all;
        for (const Record& record : compared)
            all.push_back(&record);
        PlotSurface perSample;
        perSample.resize(plot.size());
        const CompareAxes axes = compareAxes(all, window->view());
        drawCompareGrid(&perSample, axes);
        drawGroupsPerSample(&perSample, compareGroups(all, window->view(), axes, perSample.ScaleWidth()));
        QCOMPARE(plot, perSample.image());

        QCOMPARE(window->saveButton->text(), "Als PNG speichern");
        app.dialogs.answers << dir.filePath("Vergleich01.png");
        window->saveButton->click();
        QCOMPARE(contents(dir.filePath("Vergleich01.png")).left(8), QByteArray("\x89PNG\r\n\x1a\n", 8));
        QCOMPARE(QImage(dir.filePath("Vergleich01.png")).convertToFormat(QImage::Format_RGB32),
                 window->picture().convertToFormat(QImage::Format_RGB32));
    }
};

QTEST_MAIN(TestCompare)
#include "test_compare.moc"
