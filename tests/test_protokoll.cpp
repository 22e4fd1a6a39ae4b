// The charge log: line format, heading and columns on screen, following the newest line,
// two million lines and their memory.
#include "TestSupport.h"

#include "process/Formprotokoll.h"
#include "process/Variabelen.h"

#include <QFontInfo>
#include <QLabel>
#include <QScrollBar>
#include <QTableView>
#include <QtTest>

#include <malloc.h>

namespace {

// Left edges of the runs of dark pixels in a strip of the image; a run ends at a gap of at
// least `gap` light columns.
QList<int> inkStarts(const QImage& image, const QRect& strip, int gap)
{
    QList<int> starts;
    int lastInk = -gap - 1;
    for (int x = strip.left(); x <= strip.right(); ++x) {
        bool ink = false;
        for (int y = strip.top(); y <= strip.bottom() && !ink; ++y)
            ink = qGray(image.pixel(x, y)) < 128;
        if (!ink)
            continue;
        if (x - lastInk > gap)
            starts.append(x);
        lastInk = x;
    }
    return starts;
}

void processEvents()
{
    for (int k = 0; k < 5; ++k)
        QCoreApplication::processEvents();
}

bool lastRowVisible(const Formprotokoll& form)
{
    const QModelIndex last = form.model->index(form.model->rowCount() - 1);
    return form.List1->viewport()->rect().contains(form.List1->visualRect(last));
}

std::size_t allocatedBytes()
{
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
}

}  // namespace

class TestProtokoll : public QObject {
    Q_OBJECT

private slots:
    void lineFormat_data();
    void lineFormat();
    void headingAndFont();
    void columnsStandUnderTheHeading();
    void followsTheNewestLineOnlyAtTheEnd();
    void twoMillionLines();
    void memoryPerLine();
};

void TestProtokoll::lineFormat_data()
{
    QTest::addColumn<float>("messNr");
    QTest::addColumn<float>("u");
    QTest::addColumn<float>("i");
    QTest::addColumn<float>("q");
    QTest::addColumn<QByteArray>("line");
    QTest::newRow("first sample") << 1.0f << 12460.0f << 1500.0f << 0.0f << QByteArray(" 1\t 12460\t 1500\t 0");
    QTest::newRow("largest values") << 4000.0f << 65535.0f << 65535.0f << 65535.0f
                                    << QByteArray(" 4000\t 65535\t 65535\t 65535");
    QTest::newRow("last slot of the store") << 2000000.0f << 7200.0f << 50000.0f << 3000.0f
                                            << QByteArray(" 2000000\t 7200\t 50000\t 3000");
    QTest::newRow("all zero") << 5.0f << 0.0f << 0.0f << 0.0f << QByteArray(" 5\t 0\t 0\t 0");
}

void TestProtokoll::lineFormat()
{
    QFETCH(float, messNr);
    QFETCH(float, u);
    QFETCH(float, i);
    QFETCH(float, q);
    QFETCH(QByteArray, line);
    ProtokollModel model;
    model.append(1, 2, 3, 4);
    model.append(messNr, u, i, q);
    QCOMPARE(model.rowCount(), 2);
    QCOMPARE(model.line(1).toLatin1(), line);
    QCOMPARE(model.data(model.index(1)).toString().toLatin1(), line);
    QVERIFY(!model.data(model.index(1), Qt::EditRole).isValid());
    QCOMPARE(model.line(0).toLatin1(), QByteArray(" 1\t 2\t 3\t 4"));
}

void TestProtokoll::headingAndFont()
{
    Formprotokoll form;
    QCOMPARE(form.Label1->text(), QStringLiteral("  Sek.    mV      mA/10   mAh"));
    QVERIFY(QFontInfo(form.Label1->font()).fixedPitch());
    QVERIFY(QFontInfo(form.List1->font()).fixedPitch());
    QCOMPARE(form.List1->font(), form.Label1->font());
    QCOMPARE(form.List1->model(), form.model);
    // One line per row, all rows of one height.
    form.model->append(1, 12460, 1500, 0);
    form.model->append(2000000, 65535, 50000, 3000);
    const QRect first = form.List1->visualRect(form.model->index(0));
    const QRect second = form.List1->visualRect(form.model->index(1));
    QCOMPARE(second.height(), first.height());
    QCOMPARE(second.top(), first.bottom() + 1);
    const int lineHeight = QFontMetrics(form.List1->font()).height();
    QVERIFY(first.height() >= lineHeight && first.height() <= lineHeight + 4);
}

void TestProtokoll::columnsStandUnderTheHeading()
{
    Formprotokoll form;
    form.resize(400, 200);
    form.model->append(1, 12460, 1500, 0);
    form.model->append(3600, 7215, 50000, 1234);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    processEvents();

    const QImage image = form.grab().toImage();
    const int charWidth = QFontMetrics(form.List1->font()).horizontalAdvance(QLatin1Char(' '));
    const QList<int> heading = inkStarts(image, form.Label1->geometry(), charWidth);
    QCOMPARE(heading.size(), 4);
    const QPoint viewport = form.List1->viewport()->mapTo(&form, QPoint());
    for (int row = 0; row < 2; ++row) {
        const QRect rect = form.List1->visualRect(form.model->index(row)).translated(viewport);
        const QList<int> numbers = inkStarts(image, rect, charWidth);
        QCOMPARE(numbers.size(), 4);
        // Each number starts where its heading word starts; glyphs differ by a pixel or two.
        for (int column = 0; column < 4; ++column)
            QVERIFY2(std::abs(numbers[column] - heading[column]) <= charWidth / 2,
                     qPrintable(QStringLiteral("row %1 column %2: number at %3, heading at %4")
                                    .arg(row).arg(column).arg(numbers[column]).arg(heading[column])));
    }
}

void TestProtokoll::followsTheNewestLineOnlyAtTheEnd()
{
    Formprotokoll form;
    form.resize(300, 150);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    for (int k = 1; k <= 100; ++k)
        form.model->append(k, 7000, 10000, k);
    processEvents();
    QScrollBar* bar = form.List1->verticalScrollBar();
    QVERIFY(bar->maximum() > 0);
    QVERIFY(lastRowVisible(form));

    // Scrolled back to read older lines: new lines do not move the view.
    bar->setValue(0);
    for (int k = 101; k <= 110; ++k)
        form.model->append(k, 7000, 10000, k);
    processEvents();
    QCOMPARE(bar->value(), 0);
    QVERIFY(!lastRowVisible(form));

    // Back at the end: it follows again.
    bar->setValue(bar->maximum());
    form.model->append(111, 7000, 10000, 111);
    processEvents();
    QVERIFY(lastRowVisible(form));
}

void TestProtokoll::twoMillionLines()
{
    Formprotokoll form;
    form.resize(300, 150);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    for (int k = 1; k <= kStoreSize; ++k)
        form.model->append(k, 7000 + k % 1000, 10000, k / 3600);
    processEvents();
    QCOMPARE(form.model->rowCount(), kStoreSize);
    QCOMPARE(form.model->line(kStoreSize - 1), QStringLiteral(" 2000000\t 7000\t 10000\t 555"));
    QCOMPARE(form.model->line(1234), QStringLiteral(" 1235\t 7235\t 10000\t 0"));
    QVERIFY(lastRowVisible(form));
}

void TestProtokoll::memoryPerLine()
{
#if defined(__SANITIZE_ADDRESS__)
    QSKIP("the sanitizer's allocator does not report through mallinfo2");
#endif
    const std::size_t before = allocatedBytes();
    ProtokollModel model;
    for (int k = 1; k <= kStoreSize; ++k)
        model.append(k, 7000, 10000, k / 3600);
    const double perLine = double(allocatedBytes() - before) / kStoreSize;
    qInfo("charge log: %.2f bytes per line at %d lines", perLine, kStoreSize);
    // Four floats a line (other small blocks come and go meanwhile); a text per line would
    // take several times that.
    QVERIFY(perLine > 15);
    QVERIFY(perLine < 20);
}

QTEST_MAIN(TestProtokoll)
#include "test_protokoll.moc"
