// The charge log: its font, its lines, following the newest line, keeping the user's place and
// selection, and two million lines in little memory.
#include "process/Formprotokoll.h"
#include "process/Record.h"

#include <QAbstractItemView>
#include <QScrollBar>
#include <QStringListModel>
#include <QtTest>

using namespace Qt::StringLiterals;

#include <malloc.h>

namespace {

// The number a log line starts with.
int lineNumber(const ProtokollModel* model, const QModelIndex& index)
{
    return index.isValid() ? model->line(index.row()).section(u'\t', 0, 0).trimmed().toInt() : 0;
}

void appendLines(ProtokollModel* model, int from, int to)
{
    for (int k = from; k <= to; ++k)
        model->append(k, 7000 + k % 1000, 10000, k / 3600);
}

}  // namespace

class TestProtokoll : public QObject {
    Q_OBJECT

private slots:
    void holdsAFullStore()
    {
        // Each line is four numbers, each after one blank, TAB between them; a row takes four floats,
        // its room taken once up front: text kept per line would take several times that. One line
        // more than a full store drops the oldest 100,000 at once.
        [[maybe_unused]] const std::size_t before = mallinfo2().uordblks + mallinfo2().hblkhd;
        ProtokollModel model;
        QSignalSpy removed(&model, &QAbstractItemModel::rowsRemoved);
        appendLines(&model, 1, kStoreSize + 1);
#ifndef LADOMAT_SANITIZED  // the sanitizer's allocator does not report through mallinfo2
        const double perLine = double(mallinfo2().uordblks + mallinfo2().hblkhd - before) / kStoreSize;
        QVERIFY2(perLine > 15 && perLine < 16.5,
                 qPrintable(QStringLiteral("%1 bytes per line").arg(perLine)));
#endif
        QCOMPARE(
            (QStringList{QString::number(model.rowCount()), model.line(0), model.line(model.rowCount() - 1)}),
            (QStringList{"1900001", " 100001\t 7001\t 10000\t 27", " 2000001\t 7001\t 10000\t 555"}));
        QCOMPARE(removed.value(0).mid(1), (QVariantList{0, 99999}));
        // The line is the row's text; it has no other role (no tooltip, no decoration).
        QCOMPARE(model.data(model.index(0), Qt::DisplayRole).toString(), model.line(0));
        QVERIFY(!model.data(model.index(0), Qt::ToolTipRole).isValid());
    }

    // New lines at the end keep the newest line at the bottom; scrolled back, the same lines stay in
    // view, also when the oldest 100,000 go, and a line that went gives way to the first kept one. A
    // hidden log catches up when shown and does nothing before. The line picked by a click or the
    // keys stays picked as lines come and moves on to the first kept line when its line is dropped.
    void keepsItsPlace_data()
    {
        QTest::addColumn<int>("filled");
        QTest::addColumn<QString>("steps");  // scroll n: line n to the top; click n: the n-th line shown
        QTest::addColumn<QString>("shown");  // "end": the newest line at the bottom, else the top line
        const int full = kStoreSize;
        QTest::newRow("at the end") << 100 << "add 5" << u"end"_s;
        QTest::newRow("at the end, hidden") << 100 << "hide add 50 show" << u"end"_s;
        QTest::newRow("scrolled back") << 100 << "scroll 20 add 5" << u"top 20"_s;
        QTest::newRow("scrolled back, hidden") << 100 << "scroll 20 hide add 50 show" << u"top 20"_s;
        QTest::newRow("full, at the end") << full << "add 1" << u"end"_s;
        QTest::newRow("full, at the end, hidden") << full << "hide add 1 show" << u"end"_s;
        QTest::newRow("full, kept") << full << "scroll 150000 add 1" << u"top 150000"_s;
        QTest::newRow("full, kept, hidden") << full << "scroll 150000 hide add 1 show" << u"top 150000"_s;
        QTest::newRow("full, dropped") << full << "scroll 5000 add 1" << u"top 100001"_s;
        QTest::newRow("click") << 100 << "scroll 1 click 3" << u"top 1 selected 3"_s;
        QTest::newRow("down key") << 100 << "scroll 1 click 3 key Down" << u"top 1 selected 4"_s;
        QTest::newRow("up key on line 1") << 100 << "scroll 1 click 1 key Up" << u"top 1 selected 1"_s;
        QTest::newRow("home key") << 100 << "click 2 key Home" << u"top 1 selected 1"_s;
        QTest::newRow("end key") << 100 << "scroll 1 click 1 key End" << u"end selected 100"_s;
        QTest::newRow("into view") << 100 << "click 1 key Home key Down key Down" << u"top 1 selected 3"_s;
        QTest::newRow("picked, as lines come") << 100 << "scroll 1 click 3 add 5" << u"top 1 selected 3"_s;
        QTest::newRow("dropped pick") << full << "scroll 1 click 1 add 1" << u"top 100001 selected 100001"_s;
    }

    void keepsItsPlace()
    {
        QFETCH(int, filled);
        QFETCH(QString, steps);
        ProtokollModel log;
        Formprotokoll form(&log);
        form.resize(320, 300);
        appendLines(form.model, 1, filled);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QAbstractItemView* view = form.List1;
        QVERIFY(QFontInfo(view->font()).fixedPitch());
        QSignalSpy ranges(view->verticalScrollBar(), &QScrollBar::rangeChanged);
        const QStringList words = steps.split(u' ');
        for (int k = 0; k < words.size(); ++k) {
            if (words[k] == u"scroll") {
                view->verticalScrollBar()->setValue(words[++k].toInt() - 1);
            } else if (words[k] == u"click") {
                const int rowHeight = view->visualRect(form.model->index(0)).height();
                const QPoint at(5, (words[++k].toInt() - 1) * rowHeight + rowHeight / 2);
                QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at);
            } else if (words[k] == u"key") {
                QTest::keyClick(view, QKeySequence::fromString(words[++k])[0].key());
            } else if (words[k] == u"add") {
                const int added = words[++k].toInt();
                appendLines(form.model, filled + 1, filled + added);
                filled += added;
            } else if (words[k] == u"hide") {
                form.hide();
                ranges.clear();
            } else if (words[k] == u"show") {
                QCOMPARE(ranges.count(), 0);
                form.show();
            }
            QCoreApplication::processEvents();
        }
        const auto seen = [&] {
            const QRect area = view->viewport()->rect();
            const QRect last = view->visualRect(form.model->index(form.model->rowCount() - 1));
            QString place = area.contains(last) && area.bottom() - last.bottom() < last.height()
                ? QStringLiteral("end")
                : "top " + QString::number(lineNumber(form.model, view->indexAt({1, 1})));
            const QModelIndexList picked = view->selectionModel()->selectedRows();
            for (const QModelIndex& row : steps.contains(u"click") ? picked : QModelIndexList())
                place += " selected " + QString::number(lineNumber(form.model, row)) +
                    (row == view->currentIndex() ? "" : " (not current)");
            return place;
        };
        QFETCH(QString, shown);
        QTRY_COMPARE(seen(), shown);
    }

    // Lines going from the middle of the list with the top line the last of them: the first line
    // after them is at the top.
    void topLineIsTheLastRemoved()
    {
        QStringListModel model;
        for (int k = 0; k < 100; ++k)
            model.setStringList(model.stringList() << QString::number(k));
        ProtokollView view;
        view.setModel(&model);
        view.resize(200, 100);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        view.verticalScrollBar()->setValue(19);
        model.removeRows(10, 10);
        QTRY_COMPARE(view.indexAt(QPoint(1, 1)).data().toString(), u"20");
    }
};

QTEST_MAIN(TestProtokoll)
#include "test_protokoll.moc"
