// The curve text file and the graph bitmap: dialog, file contents, port handling, failures.
#include "TestSupport.h"

#include "export/export.h"
#include "platform/PlotSurface.h"
#include "process/Formprotokoll.h"
#include "process/Forms.h"
#include "shell/MDIForm1.h"

#include <QAction>
#include <QDir>
#include <QtTest>

#include <sys/resource.h>

#include <csignal>
#include <random>
#include <sstream>

namespace {

ladomat::sim::Reading frame(int status, int mv, int tenthMa = 0, int mah = 0)
{
    return {.outputMv = mv, .currentTenthMa = tenthMa, .capacityMah = mah, .status = status};
}

QByteArray contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(unreadable)");
}

// Answers save dialogs from its queue, noting each request's settings and whether the port is open
// meanwhile; a frame sent while the dialog is open must be lost.
struct DialogProbe : RecordingDialogs {
    explicit DialogProbe(TestApp& app)
        : app(app)
    {
    }
    QString saveFile(const SaveFileRequest& r) override
    {
        const QStringList settings{r.title, r.filter, r.initialFolder, r.proposedName, r.defaultExtension};
        seen << settings.join(u'|') + (app.port->portOpen() ? " port open" : "");
        app.send(frame(8, 9999));
        return RecordingDialogs::saveFile(r);
    }
    TestApp& app;
    QStringList seen;
};

const QString kText = "Textdatei speichern|Grafiken (*.txt)|*.txt|C:\\|Kurve01.TXT|.TXT";
const QString kBitmap = "Ladekurve speichern|Grafiken (*.bmp)|*.bmp|C:\\|Grafik01.BMP|.bmp";

}  // namespace

class TestExport : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); }

    void curveFile()
    {
        // Three recorded samples, then the end frame stored in the slot after them: four lines,
        // replacing what the file held. Half a frame waiting at the reopened port is discarded; a
        // name typed without extension gets ".TXT". Then 100,000 samples of the charger's whole
        // numbers and some halves, written across many buffer fills: the same bytes as a stream
        // writing the values line by line.
        TestApp app;
        DialogProbe probe(app);
        for (const auto& f : {frame(1, 5000), frame(2, 12460, 12345, 0), frame(2, 12470, 12340, 1),
                              frame(2, 12480, 12335, 2), frame(8, 13000, 0, 3)})
            app.send(f);
        V->KurveQ[3] = 2.5f;  // "." whatever the locale
        QTemporaryDir dir;
        const QString old = dir.filePath("Kurve01.TXT");
        QFile file(old);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(QByteArray(500, 'x')) == 500);
        file.close();
        app.port->setWaitingOnOpen("\x02"
                                   "0100");
        probe.answers = {old, dir.filePath("Test")};
        app.mdi->m_maketext->trigger();  // enabled: the record has ended
        QCOMPARE(contents(old), "1,12460,12345,0\r\n2,12470,12340,1\r\n3,12480,12335,2.5\r\n4,13000,0,3\r\n");
        QVERIFY(app.port->portOpen() && app.port->waiting().isEmpty() && probe.messages.isEmpty());
        app.send(frame(8, 13100));
        QCOMPARE(V->UAus, 13100);
        m_maketext_Click();
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), (QStringList{"Kurve01.TXT", "Test.TXT"}));
        QCOMPARE(probe.seen, (QStringList{kText, kText}));

        std::mt19937 random(3);
        std::uniform_int_distribution<int> word(0, 65535);
        std::ostringstream lines;
        for (int n = 1; n <= 100000; ++n) {
            V->KurveU[n] = static_cast<float>(word(random));
            V->KurveI[n] = static_cast<float>(word(random));
            V->KurveQ[n] = static_cast<float>(word(random)) / (n % 7 == 0 ? 2 : 1);
            lines << n << ',' << V->KurveU[n] << ',' << V->KurveI[n] << ',' << V->KurveQ[n] << "\r\n";
        }
        V->MessAnzahl = 100000;
        QVERIFY(writeCurveFile(old));
        QCOMPARE(contents(old), QByteArray::fromStdString(lines.str()));
    }

    void bitmapEqualsPlot()
    {
        // Right after start-up and after curves and caption are drawn, the bitmap is the plot image.
        TestApp app;
        DialogProbe probe(app);
        QTemporaryDir dir;
        QList<QImage> images;
        for (int k = 0; k < 2; ++k, app.send(frame(1, 30000)), app.send(frame(2, 30000, 20000, 1000))) {
            probe.answers = {dir.filePath("Bild")};
            m_grafsave_Click();
            images << forms.grafik->Picture1->image().convertToFormat(QImage::Format_RGB32)
                   << QImage(dir.filePath("Bild.bmp"), "BMP").convertToFormat(QImage::Format_RGB32);
        }
        QVERIFY(images[0] != images[2]);
        QCOMPARE(QList({images[1], images[3]}), QList({images[0], images[2]}));
        QCOMPARE(probe.seen, (QStringList{kBitmap, kBitmap}));
        QVERIFY(app.port->portOpen() && probe.messages.isEmpty());
    }

    void cancelAndFailures()
    {
        // Cancelled, a missing folder, a folder where the bitmap should go, and a file system that
        // takes only 4 KiB (a file size limit, which needs no mount): a message for each failure,
        // record and log untouched, nothing left behind, the port open and frames decoded again.
        // The device going away while the dialog is open: no message, the run goes on once back.
        TestApp app;
        app.send(frame(1, 5000));
        for (int k = 0; k < 500; ++k)
            app.send(frame(2, 10000 + k, 500, k));
        const auto state = [] {
            QByteArray bytes = QByteArray::number(V->MessNr) + ' ' + QByteArray::number(V->MessAnzahl) + ' ' +
                QByteArray::number(forms.protokoll->model->rowCount());
            for (float* curve : {V->KurveU.get(), V->KurveI.get(), V->KurveQ.get()})
                bytes.append(reinterpret_cast<const char*>(curve), 503 * sizeof(float));
            return bytes;
        };
        const QByteArray before = state();
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir("Grafik01.BMP") && QDir(dir.path()).mkdir("voll"));
        const QStringList paths{dir.filePath("fehlt/Kurve01.TXT"), dir.filePath("Grafik01.BMP"),
                                dir.filePath("voll/Kurve01.TXT"), dir.filePath("voll/Grafik01.BMP")};
        QStringList expected;
        for (const QString& path : paths)
            expected << "Die Datei " + QDir::toNativeSeparators(path) +
                    " konnte nicht geschrieben werden !|Ladomat Link";
        m_maketext_Click();  // no answer: cancelled
        app.dialogs.answers = paths;
        m_maketext_Click();
        m_grafsave_Click();
        rlimit limit;
        QVERIFY(getrlimit(RLIMIT_FSIZE, &limit) == 0);
        const rlimit small{4096, limit.rlim_max};
        std::signal(SIGXFSZ, SIG_IGN);  // a write past the limit fails instead of ending the program
        QVERIFY(setrlimit(RLIMIT_FSIZE, &small) == 0);
        m_maketext_Click();
        m_grafsave_Click();
        QVERIFY(setrlimit(RLIMIT_FSIZE, &limit) == 0);
        app.port->setAvailablePorts({});
        m_grafsave_Click();
        QVERIFY(!app.port->portOpen());
        QStringList messages;
        for (const auto& [text, title] : app.dialogs.messages)
            messages << text + '|' + title;
        QCOMPARE(messages, expected);
        QVERIFY(state() == before);
        QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 (QStringList{"Grafik01.BMP", "voll"}));
        QVERIFY(QDir(dir.filePath("voll")).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot));
        app.port->replug();
        QTRY_VERIFY(app.port->portOpen());
        app.send(frame(2, 11600));
        QVERIFY(V->UAus == 11600 && app.dialogs.messages.size() == 4);
    }
};

QTEST_MAIN(TestExport)
#include "test_export.moc"
