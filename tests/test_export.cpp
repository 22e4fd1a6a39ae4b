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
#include <unistd.h>

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
        TestApp app;
        for (const int status : {1, 2, 2})
            app.send(frame(status, 11000, 500, 7));
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir("Grafik01.BMP"));  // a folder where the bitmap should go
        const QString missing = dir.filePath("fehlt/Kurve01.TXT"), folder = dir.filePath("Grafik01.BMP");
        m_maketext_Click();  // no answer: cancelled
        app.dialogs.answers = {missing, folder};
        m_maketext_Click();
        m_grafsave_Click();
        const auto failed = [](const QString& path) {
            return QPair<QString, QString>("Die Datei " + QDir::toNativeSeparators(path) +
                                               " konnte nicht geschrieben werden !",
                                           "Ladomat Link");
        };
        QCOMPARE(app.dialogs.messages, (QList{failed(missing), failed(folder)}));
        // The record stays, nothing is left behind, and frames are decoded again.
        QVERIFY(V->MessAnzahl == 3 && V->KurveU[2] == 11000 && V->KurveQ[2] == 7);
        QCOMPARE(entries(dir), QStringList{"Grafik01.BMP"});
        QVERIFY(QFileInfo(folder).isDir() && app.port->portOpen());
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

    void readOnlyFolderAndFullDisk()
    {
        // A folder that may not be written (root, who may write anywhere, acts as nobody meanwhile)
        // and a file system that takes only 4 KiB (a file size limit, which needs no mount): a
        // message each time, record and log untouched, no file at all left, the port open again.
        TestApp app;
        app.send(frame(1, 5000));
        for (int k = 0; k < 500; ++k)
            app.send(frame(2, 10000 + k, 500, k));
        app.send(frame(8, 13000));
        const auto state = [] {
            QByteArray bytes = QByteArray::number(V->MessNr) + ' ' + QByteArray::number(V->MessAnzahl) + ' ' +
                QByteArray::number(forms.protokoll->model->rowCount());
            for (float* curve : {V->KurveU.get(), V->KurveI.get(), V->KurveQ.get()})
                bytes.append(reinterpret_cast<const char*>(curve), 503 * sizeof(float));
            return bytes;
        };
        const QByteArray before = state();
        QTemporaryDir dir;
        const QString readOnly = dir.filePath("nur-lesen"), full = dir.filePath("voll");
        QVERIFY(QDir(dir.path()).mkdir("nur-lesen") && QDir(dir.path()).mkdir("voll"));
        QVERIFY(QFile::setPermissions(dir.path(),
                                      QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                          QFile::ReadOther | QFile::ExeOther));
        QVERIFY(QFile::setPermissions(
            readOnly, QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther));
        const bool root = geteuid() == 0;
        QVERIFY(!root || seteuid(65534) == 0);
        app.dialogs.answers = {readOnly + "/Kurve01.TXT", readOnly + "/Grafik01.BMP"};
        m_maketext_Click();
        m_grafsave_Click();
        QVERIFY(!root || seteuid(0) == 0);

        rlimit limit;
        QVERIFY(getrlimit(RLIMIT_FSIZE, &limit) == 0);
        const rlimit small{4096, limit.rlim_max};
        std::signal(SIGXFSZ, SIG_IGN);  // a write past the limit fails instead of ending the program
        QVERIFY(setrlimit(RLIMIT_FSIZE, &small) == 0);
        app.dialogs.answers = {full + "/Kurve01.TXT", full + "/Grafik01.BMP"};
        m_maketext_Click();
        m_grafsave_Click();
        QVERIFY(setrlimit(RLIMIT_FSIZE, &limit) == 0);

        QStringList expected;
        for (const QString& folder : {readOnly, full})
            for (const char* name : {"/Kurve01.TXT", "/Grafik01.BMP"})
                expected << "Die Datei " + QDir::toNativeSeparators(folder + name) +
                        " konnte nicht geschrieben werden !";
        QStringList shown;
        for (const auto& [text, title] : app.dialogs.messages)
            shown << text;
        QCOMPARE(shown.join("\n"), expected.join("\n"));
        QVERIFY(state() == before);
        const auto nothingIn = [](const QString& folder) {
            return QDir(folder).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
        };
        QVERIFY(nothingIn(readOnly) && nothingIn(full));
        QVERIFY(app.port->portOpen());
        app.send(frame(8, 13100));
        QCOMPARE(V->UAus, 13100);
    }
};

QTEST_MAIN(TestExport)
#include "test_export.moc"
