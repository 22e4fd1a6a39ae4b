// The battery window: start state, cell count and nominal voltage, length limits and the
// message field's line ends.
#include "TestSupport.h"

#include "process/Forms.h"

#include <QDate>
#include <QLineEdit>
#include <QScrollBar>
#include <QtTest>

class TestAkku : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); }
    void startState();
    void cellCountGivesNominalVoltage();
    void fieldsKeepWhatIsEntered();
};

void TestAkku::startState()
{
    // Name and capacity unknown, 6 cells, today's date; cells, voltage and date cannot be typed in.
    TestApp app;
    const Formakku* a = forms.akku;
    QCOMPARE((QStringList{a->Text1->text(), a->Text2->text(), a->Text3->text(), a->Text4->text(),
                          a->Text7->text()}),
             (QStringList{"?", "?", "6", "7,2", ""}));
    QCOMPARE(a->Text6->text(), QDate::currentDate().toString(QStringLiteral("dd.MM.yy")));
    QVERIFY(a->Text3->isReadOnly() && a->Text4->isReadOnly() && a->Text6->isReadOnly());
}

void TestAkku::cellCountGivesNominalVoltage()
{
    // 1.2 V a cell, in the locale's form without trailing zeros, for 1 to 30 cells.
    TestApp app;
    QScrollBar* cells = forms.akku->HScroll1;
    const auto shown = [] { return QStringList{forms.akku->Text3->text(), forms.akku->Text4->text()}; };
    const std::pair<int, const char*> rows[] = {{1, "1,2"}, {3, "3,6"}, {10, "12"}, {30, "36"}};
    for (const auto& [count, volts] : rows) {
        cells->setValue(count);
        QCOMPARE(shown(), (QStringList{QString::number(count), volts}));
    }
}

void TestAkku::fieldsKeepWhatIsEntered()
{
    // Typed text beyond 15 characters of name or 4 of capacity is dropped; the message field
    // keeps its line ends as CR LF.
    TestApp app;
    const std::tuple<QLineEdit*, const char*, const char*> rows[] = {
        {forms.akku->Text1, "Sanyo 1700 SCRC Pack A", "Sanyo 1700 SCRC"},
        {forms.akku->Text2, "170000", "1700"}};
    for (const auto& [edit, typed, kept] : rows) {
        edit->selectAll();
        QTest::keyClicks(edit, QLatin1String(typed));
        QCOMPARE(edit->text(), QLatin1String(kept));
    }
    MessageField* message = forms.akku->Text7;
    message->setText(QStringLiteral("Zeile 1\r\n\r\nZeile 3"));
    QCOMPARE(message->document()->blockCount(), 3);
    QCOMPARE(message->text(), QStringLiteral("Zeile 1\r\n\r\nZeile 3"));
}

QTEST_MAIN(TestAkku)
#include "test_akku.moc"
