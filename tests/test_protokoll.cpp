// The charge log: heading, font and columns on screen, following the newest line, and two
// million lines in little memory.
#include "process/Formprotokoll.h"
#include "process/Variabelen.h"

#include <QLabel>
#include <QTableView>
#include <QtTest>

#include <malloc.h>

// Left edges of the words in a strip of the image: runs of dark columns split by `gap` light ones.
static QList<int> inkStarts(const QImage& image, const QRect& strip, int gap)
{
    QList<int> starts;
    for (int x = strip.left(), lastInk = -gap - 1; x <= strip.right(); ++x) {
        bool ink = false;
        for (int y = strip.top(); y <= strip.bottom() && !ink; ++y)
            ink = qGray(image.pixel(x, y)) < 128;
        if (ink && x - lastInk > gap)
            starts.append(x);
        lastInk = ink ? x : lastInk;
    }
    return starts;
}

class TestProtokoll : public QObject {
    Q_OBJECT

private slots:
    void onScreen()
    {
        Formprotokoll form;
        form.resize(400, 200);
        for (int k = 1; k <= 100; ++k)
            form.model->append(36 * k, 7215, 50000, 1234);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QVERIFY(QFontInfo(form.List1->font()).fixedPitch());

        // The list has followed the newest line; each of its numbers starts where its heading
        // word starts (glyphs differ by a pixel or two).
        const auto lastRow = [&form] {  // the newest line's place on screen, empty when out of sight
            for (int k = 0; k < 5; ++k)
                QCoreApplication::processEvents();
            const QRect last = form.List1->visualRect(form.model->index(form.model->rowCount() - 1));
            return form.List1->viewport()->rect().contains(last) ? last : QRect();
        };
        const QRect row = lastRow().translated(form.List1->viewport()->mapTo(&form, QPoint()));
        const QImage image = form.grab().toImage();
        const int charWidth = QFontMetrics(form.List1->font()).horizontalAdvance(QLatin1Char(' '));
        const QList<int> heading = inkStarts(image, form.Label1->geometry(), charWidth);
        const QList<int> numbers = inkStarts(image, row, charWidth);
        QCOMPARE(heading.size(), 4);
        QCOMPARE(numbers.size(), 4);
        for (int column = 0; column < 4; ++column)
            QCOMPARE_LE(qAbs(numbers[column] - heading[column]), charWidth / 2);

        // Scrolled back to older lines, new lines do not move the view.
        form.List1->scrollToTop();
        form.model->append(3636, 7000, 10000, 101);
        QVERIFY(lastRow().isNull());
    }

    // Each line is four numbers, each after one blank, TAB between them; a row takes four floats
    // (and small blocks come and go meanwhile): text kept per line would take several times that.
    void twoMillionLinesInLittleMemory()
    {
#if defined(__SANITIZE_ADDRESS__)
        QSKIP("the sanitizer's allocator does not report through mallinfo2");
#endif
        const std::size_t before = mallinfo2().uordblks + mallinfo2().hblkhd;
        ProtokollModel model;
        for (int k = 1; k <= kStoreSize; ++k)
            model.append(k, 7000 + k % 1000, 10000, k / 3600);
        const double perLine = double(mallinfo2().uordblks + mallinfo2().hblkhd - before) / kStoreSize;
        QVERIFY2(perLine > 15 && perLine < 32, qPrintable(QStringLiteral("%1 bytes per line").arg(perLine)));
        QCOMPARE(model.rowCount(), kStoreSize);
        QCOMPARE(model.data(model.index(kStoreSize - 1)), QVariant(" 2000000\t 7000\t 10000\t 555"));
        // One line more drops the oldest 100,000 at once.
        model.append(kStoreSize + 1, 7001, 10000, 555);
        QCOMPARE(model.rowCount(), kStoreSize - 100000 + 1);
        QCOMPARE(model.data(model.index(0)), QVariant(" 100001\t 7001\t 10000\t 27"));
        QCOMPARE(model.data(model.index(model.rowCount() - 1)), QVariant(" 2000001\t 7001\t 10000\t 555"));
    }
};

QTEST_MAIN(TestProtokoll)
#include "test_protokoll.moc"
