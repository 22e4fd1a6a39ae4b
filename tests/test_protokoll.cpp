// The charge log: its font, its lines, following the newest line, keeping the user's place and selection, and
// two million lines in little memory.
#include "process/Formprotokoll.h"
#include "process/Record.h"

#include <QAbstractItemView>
#include <QScrollBar>
#include <QStringListModel>
#include <QtTest>

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

// The log window with `lines` lines, shown.
void showLog(Formprotokoll& form, int lines)
{
    form.resize(320, 300);
    appendLines(form.model, 1, lines);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QCoreApplication::processEvents();
}

}  // namespace

class TestProtokoll : public QObject {
    Q_OBJECT

private slots:
    void holdsAFullStore()
    {
        // The log's font is fixed-pitch.
        ProtokollModel log;
        QVERIFY(QFontInfo(Formprotokoll(&log).List1->font()).fixedPitch());

        // Each line is four numbers, each after one blank, TAB between them; a row takes four floats,
        // its room taken once up front: text kept per line would take several times that. One line
        // more than a full store drops the oldest 100,000 at once.
        [[maybe_unused]] const std::size_t before = mallinfo2().uordblks + mallinfo2().hblkhd;
        ProtokollModel model;
        QSignalSpy removed(&model, &QAbstractItemModel::rowsRemoved);
        for (int k = 1; k <= kStoreSize + 1; ++k)
            model.append(k, 7000 + k % 1000, 10000, k / 3600);
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

    // New lines while the user is at the end: the newest line shows at the bottom; scrolled back:
    // the same lines stay in view, also when the oldest 100,000 go, and a line that went gives
    // way to the first kept one. A hidden log catches up when shown and does nothing before.
    void keepsItsPlace_data()
    {
        QTest::addColumn<int>("filled");
        QTest::addColumn<int>("scrolledTo");  // the line the user scrolls to the top; 0: none
        QTest::addColumn<bool>("hidden");  // the window is hidden while the new lines come
        QTest::addColumn<int>("added");
        QTest::addColumn<int>("top");  // the line then at the top; 0: the newest at the bottom
        QTest::newRow("at the end") << 100 << 0 << false << 5 << 0;
        QTest::newRow("at the end, hidden meanwhile") << 100 << 0 << true << 50 << 0;
        QTest::newRow("scrolled back") << 100 << 20 << false << 5 << 20;
        QTest::newRow("scrolled back, hidden meanwhile") << 100 << 20 << true << 50 << 20;
        QTest::newRow("oldest dropped at the end") << kStoreSize << 0 << false << 1 << 0;
        QTest::newRow("oldest dropped at the end, hidden meanwhile") << kStoreSize << 0 << true << 1 << 0;
        QTest::newRow("oldest dropped, at a kept line") << kStoreSize << 150000 << false << 1 << 150000;
        QTest::newRow("dropped, at a kept line, hidden") << kStoreSize << 150000 << true << 1 << 150000;
        QTest::newRow("oldest dropped, at a dropped line") << kStoreSize << 5000 << false << 1 << 100001;
    }

    void keepsItsPlace()
    {
        QFETCH(int, filled);
        QFETCH(int, scrolledTo);
        QFETCH(bool, hidden);
        QFETCH(int, added);
        QFETCH(int, top);
        ProtokollModel log;
        Formprotokoll form(&log);
        showLog(form, filled);
        QAbstractItemView* view = form.List1;
        QScrollBar* bar = view->verticalScrollBar();
        if (scrolledTo > 0)
            bar->setValue(scrolledTo - 1);
        if (hidden)
            form.hide();
        QSignalSpy ranges(bar, &QScrollBar::rangeChanged);
        appendLines(form.model, filled + 1, filled + added);
        QCoreApplication::processEvents();
        if (hidden) {
            QCOMPARE(ranges.count(), 0);
            form.show();
        }
        const int newest = filled + added;
        const QModelIndex last = form.model->index(form.model->rowCount() - 1);
        QCOMPARE(lineNumber(form.model, last), newest);
        const QRect shown = view->viewport()->rect();
        if (top == 0) {
            QTRY_VERIFY(shown.contains(view->visualRect(last)));
            QVERIFY(shown.bottom() - view->visualRect(last).bottom() < view->visualRect(last).height());
        } else {
            QTRY_COMPARE(lineNumber(form.model, view->indexAt(QPoint(1, 1))), top);
        }
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

    // The user picks a line by a click or the keys; the choice stays on its line as lines come
    // and moves on to the first kept line when its line is dropped.
    void selection_data()
    {
        QTest::addColumn<int>("filled");
        QTest::addColumn<QString>("steps");  // top: scroll to the first line; click n: the n-th line shown
        QTest::addColumn<int>("selected");
        QTest::newRow("click") << 100 << "top click 3" << 3;
        QTest::newRow("down key") << 100 << "top click 3 key Down" << 4;
        QTest::newRow("up key on the first line") << 100 << "top click 1 key Up" << 1;
        QTest::newRow("home key") << 100 << "click 2 key Home" << 1;
        QTest::newRow("end key") << 100 << "top click 1 key End" << 100;
        QTest::newRow("down key, scrolled into view") << 100 << "click 1 key Home key Down key Down" << 3;
        QTest::newRow("kept as lines come") << 100 << "top click 3 add 5" << 3;
        QTest::newRow("moves on when its line is dropped") << kStoreSize << "top click 1 add 1" << 100001;
    }

    void selection()
    {
        QFETCH(int, filled);
        QFETCH(QString, steps);
        QFETCH(int, selected);
        ProtokollModel log;
        Formprotokoll form(&log);
        showLog(form, filled);
        QAbstractItemView* view = form.List1;
        int lines = filled;
        const QStringList words = steps.split(u' ');
        for (int k = 0; k < words.size(); ++k) {
            if (words[k] == u"top") {
                view->verticalScrollBar()->setValue(0);
            } else if (words[k] == u"click") {
                const int rowHeight = view->visualRect(form.model->index(0)).height();
                const QPoint at(5, (words[++k].toInt() - 1) * rowHeight + rowHeight / 2);
                QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at);
            } else if (words[k] == u"key") {
                QTest::keyClick(view, QKeySequence::fromString(words[++k])[0].key());
            } else if (words[k] == u"add") {
                const int added = words[++k].toInt();
                appendLines(form.model, lines + 1, lines + added);
                lines += added;
            }
            QCoreApplication::processEvents();
        }
        const QModelIndexList rows = view->selectionModel()->selectedRows();
        QCOMPARE(rows.size(), 1);
        QCOMPARE(lineNumber(form.model, rows[0]), selected);
        QCOMPARE(view->currentIndex(), rows[0]);
        QVERIFY(view->viewport()->rect().contains(view->visualRect(rows[0])));
    }
};

QTEST_MAIN(TestProtokoll)
#include "test_protokoll.moc"
