// The battery window: start state, cell count and nominal voltage, length limits, layout and
// the message field.
#include "TestSupport.h"

#include "export/Formakku.h"
#include "platform/Twips.h"
#include "shell/Forms.h"

#include <QDate>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QScrollBar>
#include <QtTest>

class TestAkku : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void startState();
    void cellCount_data();
    void cellCount();
    void scrollSteps_data();
    void scrollSteps();
    void lengthLimits_data();
    void lengthLimits();
    void fieldLooks_data();
    void fieldLooks();
    void layout_data();
    void layout();
    void separatorLine();
    void messageFieldKeepsCrLf();
};

void TestAkku::initTestCase()
{
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
}

void TestAkku::startState()
{
    TestApp app;
    const Formakku* akku = forms.akku;
    QCOMPARE(akku->Text1->text(), QStringLiteral("?"));
    QCOMPARE(akku->Text2->text(), QStringLiteral("?"));
    QCOMPARE(akku->HScroll1->value(), 6);
    QCOMPARE(akku->Text3->text(), QStringLiteral("6"));
    QCOMPARE(akku->Text4->text(), QStringLiteral("7,2"));
    QCOMPARE(akku->Text6->text(), QDate::currentDate().toString(QStringLiteral("dd.MM.yy")));
    QCOMPARE(akku->Text7->text(), QString());
}

void TestAkku::cellCount_data()
{
    QTest::addColumn<int>("cells");
    QTest::addColumn<QString>("volts");
    QTest::newRow("30 cells") << 30 << "36";
    QTest::newRow("1 cell") << 1 << "1,2";
    QTest::newRow("3 cells") << 3 << "3,6";
    QTest::newRow("10 cells") << 10 << "12";
    QTest::newRow("7 cells") << 7 << "8,4";
}

void TestAkku::cellCount()
{
    QFETCH(int, cells);
    QFETCH(QString, volts);
    TestApp app;
    forms.akku->HScroll1->setValue(cells);
    QCOMPARE(forms.akku->Text3->text(), QString::number(cells));
    QCOMPARE(forms.akku->Text4->text(), volts);
}

void TestAkku::scrollSteps_data()
{
    QTest::addColumn<int>("action");
    QTest::addColumn<int>("times");
    QTest::addColumn<QString>("cells");
    QTest::addColumn<QString>("volts");
    QTest::newRow("arrow right") << int(QAbstractSlider::SliderSingleStepAdd) << 1 << "7" << "8,4";
    QTest::newRow("arrow left") << int(QAbstractSlider::SliderSingleStepSub) << 1 << "5" << "6";
    QTest::newRow("track right") << int(QAbstractSlider::SliderPageStepAdd) << 1 << "11" << "13,2";
    QTest::newRow("track left") << int(QAbstractSlider::SliderPageStepSub) << 1 << "1" << "1,2";
    QTest::newRow("track right to the end") << int(QAbstractSlider::SliderPageStepAdd) << 10 << "30" << "36";
    QTest::newRow("arrow left past the start") << int(QAbstractSlider::SliderSingleStepSub) << 10 << "1" << "1,2";
}

void TestAkku::scrollSteps()
{
    QFETCH(int, action);
    QFETCH(int, times);
    QFETCH(QString, cells);
    QFETCH(QString, volts);
    TestApp app;
    for (int k = 0; k < times; ++k)
        forms.akku->HScroll1->triggerAction(QAbstractSlider::SliderAction(action));
    QCOMPARE(forms.akku->Text3->text(), cells);
    QCOMPARE(forms.akku->Text4->text(), volts);
}

void TestAkku::lengthLimits_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("kept");
    QTest::newRow("name") << "Text1" << "Sanyo 1700 SCRC Pack A" << "Sanyo 1700 SCRC";
    QTest::newRow("nominal capacity") << "Text2" << "170000" << "1700";
    QTest::newRow("name, short") << "Text1" << "Akku 3" << "Akku 3";
}

void TestAkku::lengthLimits()
{
    QFETCH(QString, field);
    QFETCH(QString, typed);
    QFETCH(QString, kept);
    TestApp app;
    auto* edit = forms.akku->findChild<QLineEdit*>(field);
    QVERIFY(edit);
    edit->selectAll();
    QTest::keyClicks(edit, typed);
    QCOMPARE(edit->text(), kept);
}

void TestAkku::fieldLooks_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<bool>("readOnly");
    QTest::addColumn<int>("maxLength");
    QTest::newRow("name") << "Text1" << false << 15;
    QTest::newRow("nominal capacity") << "Text2" << false << 4;
    QTest::newRow("cells") << "Text3" << true << 2;
    QTest::newRow("nominal voltage") << "Text4" << true << 32767;
    QTest::newRow("date") << "Text6" << true << 32767;
}

void TestAkku::fieldLooks()
{
    QFETCH(QString, field);
    QFETCH(bool, readOnly);
    QFETCH(int, maxLength);
    TestApp app;
    const auto* edit = forms.akku->findChild<QLineEdit*>(field);
    QVERIFY(edit);
    QCOMPARE(edit->isReadOnly(), readOnly);
    QCOMPARE(edit->maxLength(), maxLength);
    QCOMPARE(edit->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    if (readOnly)
        QCOMPARE(edit->palette().color(QPalette::Base), QColor(224, 224, 224));
    else
        QVERIFY(edit->palette().color(QPalette::Base) != QColor(224, 224, 224));
}

void TestAkku::layout_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<QRect>("twips");
    QTest::newRow("Text1") << "Text1" << QRect(1560, 120, 1575, 285);
    QTest::newRow("Text2") << "Text2" << QRect(1560, 480, 1095, 285);
    QTest::newRow("HScroll1") << "HScroll1" << QRect(1560, 840, 615, 255);
    QTest::newRow("Text3") << "Text3" << QRect(2280, 840, 375, 285);
    QTest::newRow("Text4") << "Text4" << QRect(1560, 1200, 1095, 285);
    QTest::newRow("Text6") << "Text6" << QRect(1560, 1560, 1575, 285);
    QTest::newRow("Text7") << "Text7" << QRect(120, 2040, 3015, 1335);
}

void TestAkku::layout()
{
    QFETCH(QString, control);
    QFETCH(QRect, twips);
    TestApp app;
    QCOMPARE(forms.akku->size(), QSize(twipsToPixels(3255), twipsToPixels(3480)));
    const auto* widget = forms.akku->findChild<QWidget*>(control);
    QVERIFY(widget);
    QCOMPARE(widget->geometry(), twipsRect(twips.x(), twips.y(), twips.width(), twips.height()));
}

void TestAkku::separatorLine()
{
    TestApp app;
    const QImage image = forms.akku->grab().toImage();
    const int y = twipsToPixels(1920);
    const QRgb background = image.pixel(2, y);
    // Rows y - 1 and y hold the two-pixel line from x = 120 to 3120 twips, nothing beside it.
    int drawn = 0;
    for (int x = twipsToPixels(120); x < twipsToPixels(3120); ++x)
        drawn += image.pixel(x, y - 1) != background || image.pixel(x, y) != background;
    QCOMPARE(drawn, twipsToPixels(3000));
    QCOMPARE(image.pixel(twipsToPixels(3120) + 2, y), background);
    QCOMPARE(image.pixel(twipsToPixels(120) - 2, y - 1), background);
}

void TestAkku::messageFieldKeepsCrLf()
{
    TestApp app;
    MessageField* field = forms.akku->Text7;
    field->setText(QStringLiteral("Zeile 1\r\n\r\nZeile 3"));
    QCOMPARE(field->document()->blockCount(), 3);
    QCOMPARE(field->text(), QStringLiteral("Zeile 1\r\n\r\nZeile 3"));
    QCOMPARE(field->palette().color(QPalette::Text), QColor(192, 0, 0));
    QCOMPARE(field->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
}

QTEST_MAIN(TestAkku)
#include "test_akku.moc"
