// The record book on a folder of saved records: its rows, sorting and filter, the summaries kept in
// the facts after the first listing, the buttons and the trash.
#include "TestSupport.h"

#include "records/RecordBook.h"
#include "records/Summary.h"

#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

// 2 s at 36 V and 5 A and an end frame: 4 mAh, 0.1 Wh.
const QByteArray kCharge = "1,36000,50000,1\r\n2,36000,50000,3\r\n3,36500,0,4\r\n"_ba;

// Records named after their start, 2026-03-DD_DD-00-00.TXT: the 10th, 11th and 13th without facts;
// the 14th with facts that start at 10:00 and hold no summary, charge then discharge; the 15th with a
// kept summary that is not the curve's; the 16th with facts that are not facts; the 17th being
// written. And a letter that is no curve file, last changed on the 12th.
struct Folder {
    Folder()
    {
        for (int day : {10, 11, 13, 15, 16, 17})
            write(path(day), kCharge);
        // 2 s of charge at 10 V, 5 A (3 mAh, 100 Ws), 2 s of discharge at 8 V, 2.5 A (2 mAh, 40 Ws).
        write(path(14), "1,10000,50000,2\r\n2,10000,50000,3\r\n3,8000,25000,1\r\n4,8000,25000,2\r\n"_ba);
        write(
            factsPath(path(14)),
            R"({"format": 1, "program": "2.01", "start": "2026-03-14T10:00:00", "end": "2026-03-14T10:00:04",
                  "endReason": "charger-end", "notes": ["akku Nord"], "timeline": [{"sample": 1, "status": 6},
                  {"sample": 3, "status": 7}]})");
        write(
            factsPath(path(15)),
            R"({"format": 1, "start": "2026-03-15T15:00:00", "notes": ["Akku Süd"], "summary": {"version": 1,
                  "seconds": 7200, "whole": {"samples": 7200, "mah": 9999, "wh": 12.5}, "end": 3}})");
        write(factsPath(path(16)), "{\"format\": 1, ");
        write(dir.filePath(u"Brief.txt"_s), "Sehr geehrte Damen und Herren,\n"_ba);
        QFile letter(dir.filePath(u"Brief.txt"_s));
        letter.open(QIODevice::ReadWrite);
        letter.setFileTime(QDateTime(QDate(2026, 3, 12), QTime(18, 0)), QFileDevice::FileModificationTime);
    }
    QString path(int day) const { return dir.filePath(u"2026-03-%1_%1-00-00.TXT"_s.arg(day)); }

    QTemporaryDir dir;
};

// The header and the rows as shown.
QStringList rowTexts(const RecordBook& book)
{
    QStringList rows;
    const QAbstractItemModel* model = book.list->model();
    for (int r = -1; r < model->rowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < model->columnCount(); ++c)
            cells << (r < 0 ? model->headerData(c, Qt::Horizontal) : model->index(r, c).data()).toString();
        rows << cells.join(u" | "_s);
    }
    return rows;
}

// The files' names, a record's shortened to its day: "14" for 2026-03-14_14-00-00.TXT, "14.json" for its
// facts.
QString byDay(QStringList paths)
{
    for (QString& path : paths)
        path = QFileInfo(path).fileName();
    return paths.join(u' ').replace(QRegularExpression(u"2026-03-(\\d\\d)_\\d\\d-00-00(\\.TXT)?"_s),
                                    u"\\1"_s);
}

}  // namespace

class TestRecordBook : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); }

    // The header and rows, newest first; the next listing reads the summaries kept in the facts, not
    // the curves. Facts that cannot be read stay as they are; a file that is no record gets none.
    void rows()
    {
        Folder folder;
        const QStringList rows = rowTexts(RecordBook(folder.dir.path(), folder.path(17)));
        QCOMPARE(
            rows,
            (QStringList{u"Beginn | Akku | Dauer | mAh | Wh | Ende"_s,
                         u"16.03.26 16:00 |  | 0:00:03 | 4 | 0,10 | unbekannt"_s,
                         u"15.03.26 15:00 | Akku Süd | 2:00:00 | 9999 | 12,50 | am Ladegerät gestoppt"_s,
                         u"14.03.26 10:00 | akku Nord | 0:00:04 | 3 / 2 | 0,03 / 0,01 | Ladegerät fertig"_s,
                         u"13.03.26 13:00 |  | 0:00:03 | 4 | 0,10 | unbekannt"_s,
                         u"12.03.26 18:00 |  | – | – | – | nicht lesbar"_s,
                         u"11.03.26 11:00 |  | 0:00:03 | 4 | 0,10 | unbekannt"_s,
                         u"10.03.26 10:00 |  | 0:00:03 | 4 | 0,10 | unbekannt"_s}));
        for (int day : {13, 14})
            QVERIFY(write(folder.path(day), "1,0,0,0\r\n"_ba));
        QCOMPARE(rowTexts(RecordBook(folder.dir.path(), folder.path(17))), rows);
        QCOMPARE(contents(factsPath(folder.path(16))), "{\"format\": 1, "_ba);
        QVERIFY(!QFile::exists(factsPath(folder.dir.filePath(u"Brief.txt"_s))));
    }

    // Sorted by a column (equal keys in the order of the file names, the other way round when
    // descending), or filtered by battery or file name, whatever the case.
    void shown_data()
    {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<int>("column");
        QTest::addColumn<Qt::SortOrder>("order");
        QTest::addColumn<QString>("expected");
        QTest::newRow("start") << QString() << 0 << Qt::AscendingOrder << "10 11 Brief.txt 13 14 15 16";
        QTest::newRow("battery") << QString() << 1 << Qt::AscendingOrder << "10 11 13 16 Brief.txt 14 15";
        QTest::newRow("duration") << QString() << 2 << Qt::DescendingOrder << "15 14 16 13 11 10 Brief.txt";
        QTest::newRow("mAh by number")
            << QString() << 3 << Qt::AscendingOrder << "Brief.txt 14 10 11 13 16 15";
        QTest::newRow("Wh") << QString() << 4 << Qt::DescendingOrder << "15 16 13 11 10 14 Brief.txt";
        QTest::newRow("end") << QString() << 5 << Qt::AscendingOrder << "15 14 Brief.txt 10 11 13 16";
        QTest::newRow("battery filter") << u"AKKU"_s << 0 << Qt::DescendingOrder << "15 14";
        QTest::newRow("file name filter") << u"brief.txt"_s << 0 << Qt::DescendingOrder << "Brief.txt";
    }
    void shown()
    {
        QFETCH(QString, filter);
        QFETCH(int, column);
        QFETCH(Qt::SortOrder, order);
        Folder folder;
        RecordBook book(folder.dir.path(), folder.path(17));
        book.list->sortByColumn(column, order);
        book.filter->setText(filter);
        QTEST(byDay(book.shownPaths()), "expected");
    }

    // Rows selected (newest first: 16, 15, 14, 13, Brief.txt, 11, 10): open takes one, compare two to
    // six, the trash any, each record with its facts once asked.
    void selection_data()
    {
        QTest::addColumn<QList<int>>("selected");
        QTest::addColumn<QString>("enabled");  // open, compare, trash
        QTest::addColumn<bool>("yes");
        QTest::addColumn<QString>("question");
        QTest::addColumn<QString>("trashed");
        const QString many = u"Die %1 ausgewählten Aufzeichnungen in den Papierkorb verschieben?"_s;
        QTest::newRow("none") << QList<int>{} << u"000"_s << true << QString() << "";
        QTest::newRow("one with facts")
            << QList<int>{2} << u"101"_s << true
            << u"Die Aufzeichnung 2026-03-14_14-00-00.TXT in den Papierkorb verschieben?"_s << "14 14.json";
        QTest::newRow("two, one without facts")
            << QList<int>{1, 3} << u"011"_s << true << many.arg(2) << "13 15 15.json";
        QTest::newRow("six, answered no")
            << QList<int>{0, 1, 2, 3, 4, 5} << u"011"_s << false << many.arg(6) << "";
        QTest::newRow("seven") << QList<int>{0, 1, 2, 3, 4, 5, 6} << u"001"_s << false << many.arg(7) << "";
    }
    void selection()
    {
        QFETCH(QList<int>, selected);
        QFETCH(QString, enabled);
        QFETCH(bool, yes);
        QFETCH(QString, question);
        // The desktop's trash of a data folder of the test's own, on the same file system as the records.
        Folder folder;
        QTemporaryDir data;
        qputenv("XDG_DATA_HOME", data.path().toLocal8Bit());
        RecordBook book(folder.dir.path(), folder.path(17));
        // The listing gave the record without facts its facts; without them again, it has one file.
        QFile::remove(factsPath(folder.path(13)));
        QSignalSpy opened(&book, &RecordBook::openRequested);
        QSignalSpy compared(&book, &RecordBook::compareRequested);
        RecordingDialogs dialogs;
        dialogs.replies = {yes};
        QStringList paths;
        for (int r : selected) {
            book.list->selectionModel()->select(book.list->model()->index(r, 0),
                                                QItemSelectionModel::Select | QItemSelectionModel::Rows);
            paths << book.shownPaths()[r];
        }
        QCOMPARE(u"%1%2%3"_s.arg(book.openButton->isEnabled())
                     .arg(book.compareButton->isEnabled())
                     .arg(book.trashButton->isEnabled()),
                 enabled);
        QTest::mouseClick(book.openButton, Qt::LeftButton);
        QTest::mouseClick(book.compareButton, Qt::LeftButton);
        QCOMPARE(opened.value(0).value(0).toString(), enabled[0] == u'1' ? paths.first() : QString());
        QCOMPARE(compared.value(0).value(0).toStringList(), enabled[1] == u'1' ? paths : QStringList());
        QTest::mouseClick(book.trashButton, Qt::LeftButton);
        using Texts = QList<QPair<QString, QString>>;
        QCOMPARE(dialogs.questions, question.isEmpty() ? Texts() : Texts({{question, u"Ladomat Link"_s}}));
        QCOMPARE(dialogs.messages, Texts());
        QTEST(byDay(QDir(data.filePath(u"Trash/files"_s)).entryList(QDir::Files, QDir::Name)), "trashed");
        QCOMPARE(book.shownPaths().size(), 7 - paths.size() * yes);
        qunsetenv("XDG_DATA_HOME");
    }
};

QTEST_MAIN(TestRecordBook)
#include "test_recordbook.moc"
