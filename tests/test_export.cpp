// The curve text file and the graph bitmap: file bytes, port handling around the dialog, failures.
#include "TestSupport.h"

#include "export/export.h"
#include "platform/PlotSurface.h"
#include "shell/shell.h"

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QtTest>

#include <functional>

#include <sys/resource.h>

#include <csignal>

using namespace Qt::StringLiterals;

// Uses the real save dialog of `save` as a user would: types `typed` into its file name field
// (replacing the proposed name) and presses Enter; answers a question with a click on `answer`;
// cancels the dialog with Escape when it is still open after that. Returns the dialog's title,
// labels and buttons, each question's text, then "abgebrochen" if the dialog had to be cancelled.
static QStringList useSaveDialog(const std::function<void()>& save, const QString& typed,
                                 QMessageBox::StandardButton answer)
{
    QStringList seen;
    bool typedIn = false;
    QObject user;  // its pending looks end with it
    std::function<void()> look = [&] {
        // Looks again later, also while the step below waits inside a dialog it opened.
        QTimer::singleShot(10, &user, look);
        QWidget* modal = QApplication::activeModalWidget();
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            seen << box->text();
            QTest::mouseClick(box->button(answer), Qt::LeftButton);
        } else if (auto* dialog = qobject_cast<QFileDialog*>(modal); dialog && !typedIn) {
            typedIn = true;
            seen << dialog->windowTitle();
            for (const char* label : {"lookInLabel", "fileNameLabel", "fileTypeLabel"})
                seen << dialog->findChild<QLabel*>(QLatin1String(label))->text();
            for (const QAbstractButton* button : dialog->findChild<QDialogButtonBox*>()->buttons())
                seen << button->text();
            auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            QTest::keyClick(name, Qt::Key_A, Qt::ControlModifier);
            QTest::keyClicks(name, typed);
            QTest::keyClick(name, Qt::Key_Return);
        } else if (dialog) {
            seen << QStringLiteral("abgebrochen");
            QTest::keyClick(dialog, Qt::Key_Escape);
        }
    };
    QTimer::singleShot(10, &user, look);
    save();
    return seen;
}

class TestExport : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        setUpApplication();
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    }

    void saveNames_data()
    {
        QTest::addColumn<bool>("bitmap");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("written");
        QTest::newRow("Textdatei x") << false << "x" << u"x.TXT"_s;
        QTest::newRow("Textdatei x.") << false << "x." << u"x."_s;
        QTest::newRow("Textdatei x.txt") << false << "x.txt" << u"x.txt"_s;
        QTest::newRow("Textdatei x.csv") << false << "x.csv" << u"x.csv"_s;
        QTest::newRow("Grafik x") << true << "x" << u"x.bmp"_s;
        QTest::newRow("Grafik x.") << true << "x." << u"x."_s;
    }

    void saveNames()
    {
        // Typed into the export's own save dialog (German, though the user's language is not), in a
        // folder without it, a name gives one file, with no question. Typed again over an older file
        // of that name: the question, answered No, leaves the file as it was and the dialog open;
        // answered Yes, the export replaces it.
        QFETCH(bool, bitmap);
        QFETCH(QString, typed);
        QFETCH(QString, written);
        TestApp app;
        app.send({.outputMv = 12460, .status = 2});
        setDialogBackend(nullptr);
        QTemporaryDir home;  // where the dialog opens
        const QByteArray userHome = qgetenv("HOME");
        qputenv("HOME", home.path().toLocal8Bit());
        const auto files = [&home] { return QDir(home.path()).entryList(QDir::Files | QDir::Hidden); };
        const auto save = [&app, bitmap] {
            bitmap ? app.mdi->m_grafsave_Click() : app.mdi->m_maketext_Click();
        };
        QStringList dialog{"Suchen in:", "Datei&name:", "Dateien des Typs:", "S&peichern", "Abbrechen"};
        dialog.prepend(bitmap ? "Ladekurve speichern" : "Textdatei speichern");
        QCOMPARE(useSaveDialog(save, typed, QMessageBox::No), dialog);
        QCOMPARE(files(), QStringList{written});
        const QString path = home.filePath(written);
        const QByteArray exported = contents(path);
        QVERIFY(write(path, "alt"));
        const QString question =
            "Die Datei " + written + " existiert bereits.\nSoll sie überschrieben werden?";
        QCOMPARE(useSaveDialog(save, typed, QMessageBox::No),
                 dialog + QStringList({question, "abgebrochen"}));
        QCOMPARE(contents(path), "alt");
        QCOMPARE(useSaveDialog(save, typed, QMessageBox::Yes), dialog + QStringList{question});
        QCOMPARE(contents(path), exported);
        QCOMPARE(files(), QStringList{written});
        qputenv("HOME", userHome);
    }

    void curveFileBytes()
    {
        // 30,000 samples across several buffer fills: the same bytes as a stream writing them line by line.
        Record record;
        QTemporaryDir dir;
        QByteArray lines;
        for (int n = 1; n <= 30000; ++n) {
            record.KurveU[n] = n * 7919 % 65536, record.KurveI[n] = n % 7 ? n : n + 0.5f;
            lines += QString::asprintf("%d,%g,%g,0\r\n", n, record.KurveU[n], record.KurveI[n]).toLatin1();
        }
        record.MessAnzahl = 30000;
        QVERIFY(writeCurveFile(dir.filePath("Kurve01.TXT"), record));
        QCOMPARE(contents(dir.filePath("Kurve01.TXT")), lines);
    }

    // A missing folder, a file system that takes only 4 KiB (a file size limit): a message, nothing
    // left behind, the port open again.
    void failures_data()
    {
        QTest::addColumn<bool>("bitmap");
        QTest::addColumn<QString>("answer");
        QTest::addColumn<int>("limit");  // bytes a file may grow to; 0: no limit
        QTest::newRow("bitmap, missing folder") << true << "fehlt/Grafik01.BMP" << 0;
        QTest::newRow("text, disk full") << false << "voll/Kurve01.TXT" << 4096;
        QTest::newRow("bitmap, disk full") << true << "voll/Grafik01.BMP" << 4096;
    }
    void failures()
    {
        QFETCH(bool, bitmap);
        QFETCH(QString, answer);
        QFETCH(int, limit);
        TestApp app;
        app.session().Messreihe.MessAnzahl = 30000;
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir("voll"));
        rlimit saved;
        QVERIFY(getrlimit(RLIMIT_FSIZE, &saved) == 0);
        std::signal(SIGXFSZ, SIG_IGN);  // a write past the limit fails instead of ending the program
        const rlimit small{limit ? rlim_t(limit) : saved.rlim_cur, saved.rlim_max};
        app.dialogs.answers = {dir.filePath(answer)};
        QVERIFY(setrlimit(RLIMIT_FSIZE, &small) == 0);
        bitmap ? app.mdi->m_grafsave_Click() : app.mdi->m_maketext_Click();
        QVERIFY(setrlimit(RLIMIT_FSIZE, &saved) == 0);
        QCOMPARE(
            app.dialogs.messages,
            (QList<QPair<QString, QString>>{{"Die Datei " + QDir::toNativeSeparators(dir.filePath(answer)) +
                                                 " konnte nicht geschrieben werden !",
                                             "Ladomat Link"}}));
        QVERIFY(QDir(dir.filePath("voll")).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot));
        QVERIFY(app.port->portOpen());
    }

    void cancelledWhileTheDeviceIsGone()
    {
        // No message, the port stays closed (as it is while any dialog is open); frames are decoded
        // again once the device is back.
        TestApp app;
        app.port->setAvailablePorts({});
        app.mdi->m_grafsave_Click();
        QVERIFY(!app.port->portOpen() && app.dialogs.messages.isEmpty());
        app.port->replug();
        QTRY_VERIFY(app.port->portOpen());
        app.send({.outputMv = 5000, .status = 1});
        QCOMPARE(app.session().reading.UAus, 5000);
    }

    void aRunsExports()
    {
        // A run of three samples and the end frame in the slot after them: four lines, replacing what
        // the file held; the half frame waiting at the reopened port is discarded. The bitmap is the
        // plot image.
        TestApp app;
        QTemporaryDir dir;
        const QString text = dir.filePath("Kurve01.TXT"), bitmap = dir.filePath("Bild.bmp");
        QVERIFY(write(text, "alt"));
        app.send({.outputMv = 5000, .status = 1});
        for (int k = 0; k < 3; ++k)
            app.send(
                {.outputMv = 12460 + 10 * k, .currentTenthMa = 12345 - 5 * k, .capacityMah = k, .status = 2});
        app.send({.outputMv = 13000, .capacityMah = 3, .status = 8});
        app.session().Messreihe.KurveQ[3] = 2.5f;  // "." whatever the locale
        app.port->setWaitingOnOpen("\0020100");
        app.dialogs.answers = {text, bitmap};
        app.mdi->m_maketext_Click();
        QCOMPARE(contents(text),
                 "1,12460,12345,0\r\n2,12470,12340,1\r\n3,12480,12335,2.5\r\n4,13000,0,3\r\n");
        app.send({.outputMv = 13100, .status = 8});
        QCOMPARE(app.session().reading.UAus, 13100);
        app.mdi->m_grafsave_Click();
        QCOMPARE(QImage(bitmap, "BMP").convertToFormat(QImage::Format_RGB32),
                 app.mdi->grafik->Picture1->image().convertToFormat(QImage::Format_RGB32));
        QVERIFY(app.dialogs.messages.isEmpty());
    }
};

int main(int argc, char* argv[])
{
    // A user whose language is not German.
    qputenv("LC_ALL", "C");
    qunsetenv("LANGUAGE");
    QApplication app(argc, argv);
    TestExport test;
    return QTest::qExec(&test, argc, argv);
}
#include "test_export.moc"
