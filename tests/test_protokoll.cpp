// The charge log: its font, following the newest line, and two million lines in little memory.
#include "process/Formprotokoll.h"
#include "process/Variabelen.h"

#include <QScrollBar>
#include <QAbstractItemView>
#include <QtTest>

#include <malloc.h>

class TestProtokoll : public QObject {
    Q_OBJECT

private slots:
    void followsAndHoldsAFullStore()
    {
        // In a fixed-pitch font the list follows the newest line; scrolled back to older lines, new
        // lines do not move the view.
        Formprotokoll form;
        for (int k = 1; k <= 100; ++k)
            form.model->append(36 * k, 7215, 50000, 1234);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form) && QFontInfo(form.List1->font()).fixedPitch());
        const QScrollBar* bar = form.List1->verticalScrollBar();
        QTRY_VERIFY(bar->maximum() > 0 && bar->value() == bar->maximum());
        form.List1->scrollToTop();
        form.model->append(3636, 7000, 10000, 101);
        QCoreApplication::processEvents();
        QCOMPARE(bar->value(), 0);

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
    }
};

QTEST_MAIN(TestProtokoll)
#include "test_protokoll.moc"
