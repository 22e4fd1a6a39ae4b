// The curve text file and the graph bitmap: file bytes, port handling around the dialog, failures.
#include "TestSupport.h"

#include "export/export.h"
#include "platform/PlotSurface.h"

#include <QtTest>

#include <sys/resource.h>

#include <csignal>

class TestExport : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); }

    void exports()
    {
        // 30,000 samples across several buffer fills: the same bytes as a stream writing them line by
        // line. A missing folder, a file system that takes only 4 KiB (a file size limit): a message each,
        // nothing left behind, the port open again. Cancelled while the device is gone: no message, the
        // port stays closed (as it is while any dialog is open); frames are decoded again once the device
        // is back. A run of three samples and the end frame in the slot after them: four lines, replacing
        // what the file held; the half frame waiting at the reopened port is discarded. A name typed
        // without extension gets the export's own; the bitmap is the plot image.
        TestApp app;
        Record& record = app.session().Messreihe;
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir("voll"));
        const QString old = dir.filePath("Kurve01.TXT");
        QByteArray lines;
        for (int n = 1; n <= 30000; ++n) {
            record.KurveU[n] = n * 7919 % 65536, record.KurveI[n] = n % 7 ? n : n + 0.5f;
            lines += QString::asprintf("%d,%g,%g,0\r\n", n, record.KurveU[n], record.KurveI[n]).toLatin1();
        }
        record.MessAnzahl = 30000;
        QVERIFY(writeCurveFile(old, record));
        QCOMPARE(contents(old), lines);

        rlimit limit;
        QVERIFY(getrlimit(RLIMIT_FSIZE, &limit) == 0);
        std::signal(SIGXFSZ, SIG_IGN);  // a write past the limit fails instead of ending the program
        const struct {
            void (MDIForm1::*save)();
            QString answer;
            rlim_t size;
        } cases[] = {{&MDIForm1::m_grafsave_Click, "fehlt/Grafik01.BMP", limit.rlim_cur},
                     {&MDIForm1::m_maketext_Click, "voll/Kurve01.TXT", 4096},
                     {&MDIForm1::m_grafsave_Click, "voll/Grafik01.BMP", 4096}};
        QStringList expected, shown;
        for (const auto& c : cases) {
            app.dialogs.answers = {dir.filePath(c.answer)};
            const rlimit small{c.size, limit.rlim_max};
            QVERIFY(setrlimit(RLIMIT_FSIZE, &small) == 0);
            (app.mdi.get()->*c.save)();
            QVERIFY(setrlimit(RLIMIT_FSIZE, &limit) == 0 && app.port->portOpen());
            expected << "Die Datei " + QDir::toNativeSeparators(dir.filePath(c.answer)) +
                    " konnte nicht geschrieben werden !|Ladomat Link";
        }
        QVERIFY(QDir(dir.filePath("voll")).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot));
        app.port->setAvailablePorts({});
        app.mdi->m_grafsave_Click();
        QVERIFY(!app.port->portOpen());
        app.port->replug();
        QTRY_VERIFY(app.port->portOpen());

        app.send({.outputMv = 5000, .status = 1});
        for (int k = 0; k < 3; ++k)
            app.send(
                {.outputMv = 12460 + 10 * k, .currentTenthMa = 12345 - 5 * k, .capacityMah = k, .status = 2});
        app.send({.outputMv = 13000, .capacityMah = 3, .status = 8});
        record.KurveQ[3] = 2.5f;  // "." whatever the locale
        app.port->setWaitingOnOpen("\x02"
                                   "0100");
        app.dialogs.answers = {old, dir.filePath("Bild")};
        app.mdi->m_maketext_Click();
        QCOMPARE(contents(old), "1,12460,12345,0\r\n2,12470,12340,1\r\n3,12480,12335,2.5\r\n4,13000,0,3\r\n");
        app.send({.outputMv = 13100, .status = 8});
        QCOMPARE(app.session().reading.UAus, 13100);
        app.mdi->m_grafsave_Click();
        QCOMPARE(QImage(dir.filePath("Bild.bmp"), "BMP").convertToFormat(QImage::Format_RGB32),
                 app.mdi->grafik->Picture1->image().convertToFormat(QImage::Format_RGB32));
        for (const auto& [text, title] : app.dialogs.messages)
            shown << text + '|' + title;
        QCOMPARE(shown, expected);
    }
};

QTEST_MAIN(TestExport)
#include "test_export.moc"
