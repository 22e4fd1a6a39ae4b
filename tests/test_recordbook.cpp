// The record book on a folder of saved records: its rows and their texts, sorting, the filter, the
// summary kept in the facts after the first listing, the buttons and the trash.
#include "TestSupport.h"

#include "records/RecordBook.h"
#include "records/RecordFile.h"
#include "records/Summary.h"
#include "shell/shell.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QJsonDocument>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

// 2 s at 36 V and 5 A and an end frame: 4 mAh, 0.1 Wh.
const QByteArray kCharge = "1,36000,50000,1\r\n2,36000,50000,3\r\n3,36500,0,4\r\n"_ba;
// 2 s of charge at 10 V and 5 A (3 mAh, 100 Ws), 2 s of discharge at 8 V and 2.5 A (2 mAh, 40 Ws).
const QByteArray kChargeDischarge =
    "1,10000,50000,2\r\n2,10000,50000,3\r\n3,8000,25000,1\r\n4,8000,25000,2\r\n"_ba;

RecordFacts facts(const QString& name, const QDateTime& start, RecordEnd end)
{
    RecordFacts f;
    f.program = u"2.01"_s;
    f.start = start;
    f.end = start.addSecs(4);
    f.endReason = end;
    f.notes = {name, u"?"_s, u"6"_s, u"7,2"_s};
    return f;
}

QDateTime at(int day, int hour, int minute) { return QDateTime(QDate(2026, 3, day), QTime(hour, minute)); }

// A folder of records:
//   13th, no facts; 14th, facts without a summary, charge then discharge; 15th, facts with a kept
//   summary that is not the curve's; 16th, facts that are not facts; 17th, the one being written;
//   a letter that is no curve file, last changed on the 12th.
struct Folder {
    Folder()
    {
        write(path(u"2026-03-13_08-00-00"_s), kCharge);
        write(path(u"2026-03-14_10-00-00"_s), kChargeDischarge);
        RecordFacts both = facts(u"Akku Nord"_s, at(14, 10, 0), RecordEnd::chargerEnd);
        both.timeline = {{1, at(14, 10, 0), u"2"_s, 6, 1}, {3, at(14, 10, 0).addSecs(2), u"2"_s, 7, 1}};
        write(factsPath(path(u"2026-03-14_10-00-00"_s)), factsJson(both));
        write(path(u"2026-03-15_09-30-00"_s), kCharge);
        RecordFacts kept = facts(u"akku Süd"_s, at(15, 9, 30), RecordEnd::stopped);
        Summary summary;
        summary.seconds = 7200;
        summary.whole = {7200, 9999, 12.5, 1400, 1500};
        summary.end = RecordEnd::stopped;
        kept.summary = summaryJson(summary);
        write(factsPath(path(u"2026-03-15_09-30-00"_s)), factsJson(kept));
        write(path(u"2026-03-16_12-00-00"_s), kCharge);
        write(factsPath(path(u"2026-03-16_12-00-00"_s)), "{\"format\": 1, "_ba);
        write(writing(), kCharge);
        write(dir.filePath(u"Brief.txt"_s), "Sehr geehrte Damen und Herren,\n"_ba);
        QFile letter(dir.filePath(u"Brief.txt"_s));
        letter.open(QIODevice::ReadWrite);
        letter.setFileTime(at(12, 18, 0), QFileDevice::FileModificationTime);
    }
    QString path(const QString& name) const { return dir.filePath(name + u".TXT"_s); }
    QString writing() const { return path(u"2026-03-17_07-00-00"_s); }

    QTemporaryDir dir;
};

QStringList rowTexts(const RecordBook& book)
{
    QStringList rows;
    const QAbstractItemModel* model = book.list->model();
    for (int r = 0; r < model->rowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < model->columnCount(); ++c)
            cells << model->index(r, c).data().toString();
        rows << cells.join(u" | "_s);
    }
    return rows;
}

QStringList names(const QStringList& paths)
{
    QStringList result;
    for (const QString& path : paths)
        result << QFileInfo(path).completeBaseName();
    return result;
}

void select(RecordBook& book, const QList<int>& rows)
{
    book.list->clearSelection();
    for (int r : rows)
        book.list->selectionModel()->select(book.list->model()->index(r, 0),
                                            QItemSelectionModel::Select | QItemSelectionModel::Rows);
}

}  // namespace

class TestRecordBook : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); }

    void rows();
    void sorting_data();
    void sorting();
    void filter_data();
    void filter();
    void summaryKept();
    void buttons_data();
    void buttons();
    void trash_data();
    void trash();
};

void TestRecordBook::rows()
{
    Folder folder;
    RecordBook book(folder.dir.path(), folder.writing());
    QCOMPARE(rowTexts(book),
             (QStringList{u"16.03.26 12:00 |  | 0:00:03 | 4 | 0,10 | unbekannt"_s,
                          u"15.03.26 09:30 | akku Süd | 2:00:00 | 9999 | 12,50 | am Ladegerät gestoppt"_s,
                          u"14.03.26 10:00 | Akku Nord | 0:00:04 | 3 / 2 | 0,03 / 0,01 | Ladegerät fertig"_s,
                          u"13.03.26 08:00 |  | 0:00:03 | 4 | 0,10 | unbekannt"_s,
                          u"12.03.26 18:00 |  | – | – | – | nicht lesbar"_s}));
    QCOMPARE(book.list->model()->headerData(0, Qt::Horizontal).toString(), u"Beginn"_s);
}

void TestRecordBook::sorting_data()
{
    QTest::addColumn<int>("column");
    QTest::addColumn<Qt::SortOrder>("order");
    QTest::addColumn<QStringList>("expected");
    const QStringList oldestFirst{u"Brief"_s, u"2026-03-13_08-00-00"_s, u"2026-03-14_10-00-00"_s,
                                  u"2026-03-15_09-30-00"_s, u"2026-03-16_12-00-00"_s};
    QTest::newRow("start, oldest first") << 0 << Qt::AscendingOrder << oldestFirst;
    // Records with equal keys in the order of their file names, the other way round when descending.
    QTest::newRow("battery, whatever its case")
        << 1 << Qt::AscendingOrder
        << QStringList{u"2026-03-13_08-00-00"_s, u"2026-03-16_12-00-00"_s, u"Brief"_s,
                       u"2026-03-14_10-00-00"_s, u"2026-03-15_09-30-00"_s};
    QTest::newRow("duration, longest first")
        << 2 << Qt::DescendingOrder
        << QStringList{u"2026-03-15_09-30-00"_s, u"2026-03-14_10-00-00"_s, u"2026-03-16_12-00-00"_s,
                       u"2026-03-13_08-00-00"_s, u"Brief"_s};
    QTest::newRow("mAh by number, not by text")
        << 3 << Qt::AscendingOrder
        << QStringList{u"Brief"_s, u"2026-03-14_10-00-00"_s, u"2026-03-13_08-00-00"_s,
                       u"2026-03-16_12-00-00"_s, u"2026-03-15_09-30-00"_s};
    QTest::newRow("Wh, most first") << 4 << Qt::DescendingOrder
                                    << QStringList{u"2026-03-15_09-30-00"_s, u"2026-03-16_12-00-00"_s,
                                                   u"2026-03-13_08-00-00"_s, u"2026-03-14_10-00-00"_s,
                                                   u"Brief"_s};
    QTest::newRow("end") << 5 << Qt::AscendingOrder
                         << QStringList{u"2026-03-15_09-30-00"_s, u"2026-03-14_10-00-00"_s, u"Brief"_s,
                                        u"2026-03-13_08-00-00"_s, u"2026-03-16_12-00-00"_s};
}

void TestRecordBook::sorting()
{
    QFETCH(int, column);
    QFETCH(Qt::SortOrder, order);
    QFETCH(QStringList, expected);
    Folder folder;
    RecordBook book(folder.dir.path(), folder.writing());
    book.list->horizontalHeader()->setSortIndicator(column, order);
    QCOMPARE(names(book.shownPaths()), expected);
}

void TestRecordBook::filter_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("nothing") << QString()
                             << QStringList{u"2026-03-16_12-00-00"_s, u"2026-03-15_09-30-00"_s,
                                            u"2026-03-14_10-00-00"_s, u"2026-03-13_08-00-00"_s, u"Brief"_s};
    QTest::newRow("battery, another case")
        << u"AKKU"_s << QStringList{u"2026-03-15_09-30-00"_s, u"2026-03-14_10-00-00"_s};
    QTest::newRow("battery, part of the name") << u"süd"_s << QStringList{u"2026-03-15_09-30-00"_s};
    QTest::newRow("file name") << u"03-13"_s << QStringList{u"2026-03-13_08-00-00"_s};
    QTest::newRow("file name with its suffix") << u"brief.txt"_s << QStringList{u"Brief"_s};
    QTest::newRow("not the end reason") << u"gestoppt"_s << QStringList{};
    QTest::newRow("not the date as shown") << u"13.03."_s << QStringList{};
}

void TestRecordBook::filter()
{
    QFETCH(QString, text);
    QFETCH(QStringList, expected);
    Folder folder;
    RecordBook book(folder.dir.path(), folder.writing());
    book.filter->setText(text);
    QCOMPARE(names(book.shownPaths()), expected);
}

void TestRecordBook::summaryKept()
{
    Folder folder;
    const QString bad = factsPath(folder.path(u"2026-03-16_12-00-00"_s));
    const QByteArray keptBefore = contents(factsPath(folder.path(u"2026-03-15_09-30-00"_s)));
    const QStringList rows = rowTexts(RecordBook(folder.dir.path(), folder.writing()));

    // A record without facts has facts now: its start from its name and its summary.
    const std::optional<RecordFacts> made =
        parseFacts(contents(factsPath(folder.path(u"2026-03-13_08-00-00"_s))));
    QVERIFY(made);
    QCOMPARE(made->start, at(13, 8, 0));
    QVERIFY(made->program.isEmpty() && made->timeline.empty());
    // How it ended is not known; a crash left no record like it unfinished.
    QCOMPARE(made->endReason, RecordEnd::unknown);
    RecordingDialogs dialogs;
    QCOMPARE(askToOpenUnfinished(folder.dir.path()), QString());
    QCOMPARE(dialogs.questions.size(), 0);
    RecordFacts madeFacts = *made;
    madeFacts.summary = {};
    QCOMPARE(summaryFromJson(made->summary),
             summarize(*readRecordFile(folder.path(u"2026-03-13_08-00-00"_s)).record, madeFacts));
    // Facts without a summary keep all they held and gain it.
    const std::optional<RecordFacts> gained =
        parseFacts(contents(factsPath(folder.path(u"2026-03-14_10-00-00"_s))));
    QVERIFY(gained);
    QVERIFY(summaryFromJson(gained->summary));
    RecordFacts before = *gained;
    before.summary = {};
    QCOMPARE(before.notes[0], u"Akku Nord"_s);
    QCOMPARE(before.timeline.size(), size_t(2));
    // Kept summaries and facts that cannot be read stay as they were; the one being written is not touched.
    QCOMPARE(contents(factsPath(folder.path(u"2026-03-15_09-30-00"_s))), keptBefore);
    QCOMPARE(contents(bad), "{\"format\": 1, "_ba);
    QVERIFY(!QFile::exists(factsPath(folder.writing())));
    QVERIFY(!QFile::exists(factsPath(folder.dir.filePath(u"Brief.txt"_s))));

    // The next listing reads the kept summaries, not the curves.
    for (const QString& name : {u"2026-03-13_08-00-00"_s, u"2026-03-14_10-00-00"_s})
        QVERIFY(write(folder.path(name), "1,0,0,0\r\n"_ba));
    QCOMPARE(rowTexts(RecordBook(folder.dir.path(), folder.writing())), rows);
}

void TestRecordBook::buttons_data()
{
    QTest::addColumn<QList<int>>("selected");
    QTest::addColumn<QString>("enabled");  // open, compare, trash
    QTest::newRow("none") << QList<int>{} << u"000"_s;
    QTest::newRow("one") << QList<int>{3} << u"101"_s;
    QTest::newRow("two") << QList<int>{0, 6} << u"011"_s;
    QTest::newRow("six") << QList<int>{0, 1, 2, 3, 4, 5} << u"011"_s;
    QTest::newRow("seven") << QList<int>{0, 1, 2, 3, 4, 5, 6} << u"001"_s;
}

void TestRecordBook::buttons()
{
    QFETCH(QList<int>, selected);
    QFETCH(QString, enabled);
    QTemporaryDir dir;
    for (int day = 1; day <= 7; ++day)
        write(dir.filePath(u"2026-03-%1_08-00-00.TXT"_s.arg(day, 2, 10, QLatin1Char('0'))), kCharge);
    RecordBook book(dir.path(), {});
    QSignalSpy opened(&book, &RecordBook::openRequested);
    QSignalSpy compared(&book, &RecordBook::compareRequested);
    select(book, selected);
    QCOMPARE(QString(u"%1%2%3"_s.arg(book.openButton->isEnabled())
                         .arg(book.compareButton->isEnabled())
                         .arg(book.trashButton->isEnabled())),
             enabled);

    QStringList paths;
    for (int r : selected)
        paths << book.shownPaths()[r];
    QTest::mouseClick(book.openButton, Qt::LeftButton);
    QTest::mouseClick(book.compareButton, Qt::LeftButton);
    QCOMPARE(opened.size(), int(enabled[0] == u'1'));
    if (!opened.isEmpty())
        QCOMPARE(opened.first().first().toString(), paths.first());
    QCOMPARE(compared.size(), int(enabled[1] == u'1'));
    if (!compared.isEmpty()) {
        QStringList sent = compared.first().first().toStringList();
        sent.sort();
        paths.sort();
        QCOMPARE(sent, paths);
    }
}

void TestRecordBook::trash_data()
{
    QTest::addColumn<QList<int>>("selected");
    QTest::addColumn<bool>("yes");
    QTest::addColumn<QString>("question");
    QTest::addColumn<QStringList>("trashed");
    QTest::newRow("one with facts")
        << QList<int>{2} << true
        << u"Die Aufzeichnung 2026-03-14_10-00-00.TXT in den Papierkorb verschieben?"_s
        << QStringList{u"2026-03-14_10-00-00.TXT"_s, u"2026-03-14_10-00-00.json"_s};
    QTest::newRow("two, one without facts")
        << QList<int>{1, 4} << true << u"Die 2 ausgewählten Aufzeichnungen in den Papierkorb verschieben?"_s
        << QStringList{u"2026-03-15_09-30-00.TXT"_s, u"2026-03-15_09-30-00.json"_s, u"Brief.txt"_s};
    QTest::newRow("answered no")
        << QList<int>{2} << false
        << u"Die Aufzeichnung 2026-03-14_10-00-00.TXT in den Papierkorb verschieben?"_s << QStringList{};
}

void TestRecordBook::trash()
{
    QFETCH(QList<int>, selected);
    QFETCH(bool, yes);
    QFETCH(QString, question);
    QFETCH(QStringList, trashed);
    // The desktop's trash in a data folder of the test's own, on the file system of the records.
    Folder folder;
    QTemporaryDir data;
    qputenv("XDG_DATA_HOME", data.path().toLocal8Bit());
    RecordBook book(folder.dir.path(), folder.writing());
    QStringList left = QDir(folder.dir.path()).entryList(QDir::Files, QDir::Name);
    for (const QString& name : trashed)
        left.removeOne(name);
    RecordingDialogs dialogs;
    dialogs.replies = {yes};
    select(book, selected);
    QTest::mouseClick(book.trashButton, Qt::LeftButton);
    QCOMPARE(dialogs.questions, (QList<QPair<QString, QString>>{{question, u"Ladomat Link"_s}}));
    QCOMPARE(dialogs.messages, (QList<QPair<QString, QString>>{}));
    QCOMPARE(QDir(folder.dir.path()).entryList(QDir::Files, QDir::Name), left);
    QCOMPARE(QDir(data.filePath(u"Trash/files"_s)).entryList(QDir::Files, QDir::Name), trashed);
    QCOMPARE(book.shownPaths().size(), 5 - (yes ? selected.size() : 0));
    qunsetenv("XDG_DATA_HOME");
}

QTEST_MAIN(TestRecordBook)
#include "test_recordbook.moc"
