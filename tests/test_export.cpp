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

QStringList entries(const QTemporaryDir& dir)
{
    return QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
}

// Answers through the app's dialogs, noting each request's settings and whether the port is open
// meanwhile; a frame sent while the dialog is open must be lost.
struct DialogProbe : DialogBackend {
    explicit DialogProbe(TestApp& app)
        : app(app)
    {
        setDialogBackend(this);
    }
    ~DialogProbe() override { setDialogBackend(&app.dialogs); }
    void messageBox(const QString& text, const QString& title) override
    {
        app.dialogs.messageBox(text, title);
    }
    QString saveFile(const SaveFileRequest& r) override
    {
        seen << QStringList{r.title, r.filter, r.initialFolder, r.proposedName, r.defaultExtension}.join(
                    u'|') +
                (app.port->portOpen() ? " port open" : "");
        app.send(frame(8, 9999));
        return app.dialogs.saveFile(r);
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
        // replacing what the file held. Half a frame waiting at the reopened port is discarded.
        TestApp app;
        DialogProbe probe(app);
        for (const auto& f : {frame(1, 5000), frame(2, 12460, 12345, 0), frame(2, 12470, 12340, 1),
                              frame(2, 12480, 12335, 2), frame(8, 13000, 0, 3)})
            app.send(f);
        V->KurveQ[3] = 2.5f;  // "." whatever the locale
        QTemporaryDir dir;
        QFile old(dir.filePath("Kurve01.TXT"));
        QVERIFY(old.open(QIODevice::WriteOnly) && old.write(QByteArray(500, 'x')) == 500);
        old.close();
        app.port->setWaitingOnOpen("\x02"
                                   "0100");
        app.dialogs.answers = {old.fileName(), dir.filePath("Test")};
        app.mdi->m_maketext->trigger();  // enabled: the record has ended
        QCOMPARE(contents(old.fileName()),
                 "1,12460,12345,0\r\n2,12470,12340,1\r\n3,12480,12335,2.5\r\n4,13000,0,3\r\n");
        QVERIFY(app.port->portOpen() && app.port->waiting().isEmpty() && app.dialogs.messages.isEmpty());
        app.send(frame(8, 13100));
        QCOMPARE(V->UAus, 13100);
        // A name typed without extension gets ".TXT".
        m_maketext_Click();
        QCOMPARE(entries(dir), (QStringList{"Kurve01.TXT", "Test.TXT"}));
        QCOMPARE(probe.seen, (QStringList{kText, kText}));
    }

    void curveFileEqualsStreamLines()
    {
        // 100,000 samples of the charger's whole numbers and some halves, written across many
        // buffer fills: the same bytes as a stream writing the values line by line.
        TestApp app;
        std::mt19937 random(3);
        std::uniform_int_distribution<int> word(0, 65535);
        std::ostringstream lines;
        constexpr int kCount = 100000;
        for (int n = 1; n <= kCount; ++n) {
            V->KurveU[n] = static_cast<float>(word(random));
            V->KurveI[n] = static_cast<float>(word(random));
            V->KurveQ[n] = static_cast<float>(word(random)) / (n % 7 == 0 ? 2 : 1);
            lines << n << ',' << V->KurveU[n] << ',' << V->KurveI[n] << ',' << V->KurveQ[n] << "\r\n";
        }
        V->MessAnzahl = kCount;
        QTemporaryDir dir;
        QVERIFY(writeCurveFile(dir.filePath("Kurve01.TXT")));
        QCOMPARE(contents(dir.filePath("Kurve01.TXT")), QByteArray::fromStdString(lines.str()));
    }

    void bitmapEqualsPlot()
    {
        // Right after start-up and after curves and caption are drawn, the bitmap is the plot image.
        TestApp app;
        DialogProbe probe(app);
        QTemporaryDir dir;
        const auto plotAndSaved = [&] {
            app.dialogs.answers = {dir.filePath("Bild")};
            m_grafsave_Click();
            return std::pair(forms.grafik->Picture1->image().convertToFormat(QImage::Format_RGB32),
                             QImage(dir.filePath("Bild.bmp"), "BMP").convertToFormat(QImage::Format_RGB32));
        };
        const auto [startup, first] = plotAndSaved();
        QCOMPARE(first, startup);
        for (const int status : {1, 2, 2, 2})
            app.send(frame(status, 30000, 20000, 1000));
        const auto [drawn, second] = plotAndSaved();
        QVERIFY(drawn != startup);
        QCOMPARE(second, drawn);
        QCOMPARE(probe.seen, (QStringList{kBitmap, kBitmap}));
        QVERIFY(app.port->portOpen() && app.dialogs.messages.isEmpty());
    }

    void cancelAndFailures()
    {
        // Cancelled, a missing folder, a folder where the bitmap should go, and a file system that
        // takes only 4 KiB (a file size limit, which needs no mount): a message for each failure,
        // record and log untouched, nothing left behind, the port open and frames decoded again.
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
        m_maketext_Click();  // no answer: cancelled
        app.dialogs.answers = paths.mid(0, 2);
        m_maketext_Click();
        m_grafsave_Click();
        rlimit limit;
        QVERIFY(getrlimit(RLIMIT_FSIZE, &limit) == 0);
        const rlimit small{4096, limit.rlim_max};
        std::signal(SIGXFSZ, SIG_IGN);  // a write past the limit fails instead of ending the program
        QVERIFY(setrlimit(RLIMIT_FSIZE, &small) == 0);
        app.dialogs.answers = paths.mid(2);
        m_maketext_Click();
        m_grafsave_Click();
        QVERIFY(setrlimit(RLIMIT_FSIZE, &limit) == 0);

        QList<QPair<QString, QString>> expected;
        for (const QString& path : paths)
            expected.append(
                {"Die Datei " + QDir::toNativeSeparators(path) + " konnte nicht geschrieben werden !",
                 "Ladomat Link"});
        QCOMPARE(app.dialogs.messages, expected);
        QVERIFY(state() == before);
        QCOMPARE(entries(dir), (QStringList{"Grafik01.BMP", "voll"}));
        QVERIFY(QDir(dir.filePath("voll")).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot));
        QVERIFY(QFileInfo(paths[1]).isDir() && app.port->portOpen());
        app.send(frame(2, 11500));
        QCOMPARE(V->UAus, 11500);

        // The device goes away while the dialog is open: no message, and the run goes on by itself
        // once it is back.
        app.dialogs.messages.clear();
        app.port->setAvailablePorts({});
        m_grafsave_Click();
        QVERIFY(app.dialogs.messages.isEmpty() && !app.port->portOpen());
        app.port->replug();
        QTRY_VERIFY(app.port->portOpen());
        app.send(frame(2, 11600));
        QVERIFY(V->UAus == 11600 && app.dialogs.messages.isEmpty());
    }
};

QTEST_MAIN(TestExport)
#include "test_export.moc"
