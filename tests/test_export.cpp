// The curve text file and the graph bitmap: dialog, file contents, port handling, failures.
#include "TestSupport.h"

#include "export/export.h"
#include "platform/PlotSurface.h"
#include "shell/Forms.h"
#include "shell/MDIForm1.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

namespace {

using ladomat::sim::Reading;

Reading frame(int status, int mv, int tenthMa = 0, int mah = 0)
{
    return {.outputMv = mv, .currentTenthMa = tenthMa, .capacityMah = mah, .status = status};
}

QByteArray contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(unreadable)");
}

QStringList fields(const SaveFileRequest& r)
{
    return {r.title, r.filter, r.initialFolder, r.proposedName, r.defaultExtension};
}

// Answers through the test app's dialogs, noting the port's state while the dialog is open and
// sending a frame meanwhile, which must be lost.
struct DialogProbe : DialogBackend {
    explicit DialogProbe(TestApp& app) : app(app) { setDialogBackend(this); }
    ~DialogProbe() override { setDialogBackend(&app.dialogs); }
    void messageBox(const QString& text, const QString& title) override { app.dialogs.messageBox(text, title); }
    QString saveFile(const SaveFileRequest& request) override
    {
        portOpenInDialog << app.port->portOpen();
        app.send(frame(8, 9999));
        return app.dialogs.saveFile(request);
    }
    TestApp& app;
    QList<bool> portOpenInDialog;
};

const QString kTitle = QStringLiteral("Ladomat Link");

}  // namespace

class TestExport : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); }

    void curveFileAndPort()
    {
        // Three recorded samples, then the end frame stored in the slot after them: four lines.
        TestApp app;
        DialogProbe probe(app);
        app.send(frame(1, 5000));
        app.send(frame(2, 12460, 12345, 0));
        app.send(frame(2, 12470, 12340, 1));
        app.send(frame(2, 12480, 12335, 2));
        app.send(frame(8, 13000, 0, 3));
        QCOMPARE(V->MessAnzahl, 4.0f);
        V->KurveQ[3] = 2.5f;  // "." whatever the locale, no trailing zeros

        QTemporaryDir dir;
        const QString path = dir.filePath("Kurve01.TXT");
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly) && old.write(QByteArray(500, 'x')) == 500);
        old.close();
        app.port->setWaitingOnOpen("\x02" "0100");  // half a frame waiting when the port reopens
        app.dialogs.answers = {path};
        m_maketext_Click();

        QCOMPARE(contents(path), QByteArray("1,12460,12345,0\r\n2,12470,12340,1\r\n3,12480,12335,2.5\r\n"
                                            "4,13000,0,3\r\n"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"Kurve01.TXT"});
        QCOMPARE(fields(app.dialogs.requests.value(0)),
                 (QStringList{"Textdatei speichern", "Grafiken (*.txt)|*.txt", "C:\\", "Kurve01.TXT", ".TXT"}));
        QCOMPARE(probe.portOpenInDialog, QList<bool>{false});
        QVERIFY(app.port->portOpen() && app.port->waiting().isEmpty() && app.dialogs.messages.isEmpty());
        app.send(frame(8, 13100));
        QCOMPARE(V->UAus, 13100);
    }

    void bitmapEqualsPlot()
    {
        TestApp app;
        DialogProbe probe(app);
        QTemporaryDir dir;
        const auto saved = [&](const QString& name) {
            app.dialogs.answers = {dir.filePath(name)};
            m_grafsave_Click();
            return QImage(dir.filePath(name), "BMP").convertToFormat(QImage::Format_RGB32);
        };
        const QImage startup = forms.grafik->Picture1->image().convertToFormat(QImage::Format_RGB32);
        QCOMPARE(saved("Grafik01.BMP"), startup);
        // Curves and caption drawn since are in the next bitmap.
        for (const int status : {1, 2, 2, 2})
            app.send(frame(status, 30000, 20000, 1000));
        const QImage drawn = forms.grafik->Picture1->image().convertToFormat(QImage::Format_RGB32);
        QVERIFY(drawn != startup);
        QCOMPARE(saved("Grafik01.BMP"), drawn);

        QCOMPARE(fields(app.dialogs.requests.value(0)),
                 (QStringList{"Ladekurve speichern", "Grafiken (*.bmp)|*.bmp", "C:\\", "Grafik01.BMP", ".bmp"}));
        QCOMPARE(probe.portOpenInDialog, (QList<bool>{false, false}));
        QVERIFY(app.port->portOpen() && app.dialogs.messages.isEmpty());
    }

    void cancelAndNamesWithoutExtension()
    {
        TestApp app;
        QTemporaryDir dir;
        m_maketext_Click();  // no answers: cancelled
        m_grafsave_Click();
        QCOMPARE(app.dialogs.requests.size(), 2);
        QVERIFY(QDir(dir.path()).isEmpty());
        QVERIFY(app.port->portOpen());
        app.send(frame(1, 8123));
        QCOMPARE(V->UAus, 8123);

        // Before any sample the record is empty and so is the file.
        app.dialogs.answers = {dir.filePath("Test"), dir.filePath("Bild")};
        m_maketext_Click();
        m_grafsave_Click();
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), (QStringList{"Bild.bmp", "Test.TXT"}));
        QCOMPARE(contents(dir.filePath("Test.TXT")), QByteArray());
        QVERIFY(!QImage(dir.filePath("Bild.bmp"), "BMP").isNull());
    }

    void failures()
    {
        TestApp app;
        for (const int status : {1, 2, 2})
            app.send(frame(status, 11000, 500, 7));
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir("Grafik01.BMP"));  // a folder where the bitmap should go
        const QString missing = dir.filePath("fehlt/Kurve01.TXT");
        const QString folder = dir.filePath("Grafik01.BMP");
        app.dialogs.answers = {missing, folder};
        m_maketext_Click();
        m_grafsave_Click();
        QCOMPARE(app.dialogs.messages,
                 (QList<QPair<QString, QString>>{
                     {"Die Datei " + QDir::toNativeSeparators(missing) + " konnte nicht geschrieben werden !", kTitle},
                     {"Die Datei " + QDir::toNativeSeparators(folder) + " konnte nicht geschrieben werden !", kTitle}}));
        // The record stays, nothing is left behind, and frames are decoded again.
        QVERIFY(V->MessAnzahl == 3 && V->KurveU[2] == 11000 && V->KurveQ[2] == 7);
        QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList{"Grafik01.BMP"});
        QVERIFY(QFileInfo(folder).isDir() && app.port->portOpen());
        app.send(frame(2, 11500));
        QCOMPARE(V->UAus, 11500);

        // The port cannot be reopened.
        app.dialogs.messages.clear();
        app.port->setAvailablePorts({});
        m_grafsave_Click();
        QCOMPARE(app.dialogs.messages,
                 (QList<QPair<QString, QString>>{
                     {"COM1 konnte nicht wieder geöffnet werden ! Bitte unter Einstellungen / Port einen Port wählen.",
                      kTitle}}));
        QVERIFY(!app.port->portOpen());
    }
};

QTEST_MAIN(TestExport)
#include "test_export.moc"
