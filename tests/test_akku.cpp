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

    void fields()
    {
        // Name and capacity unknown, 6 cells, today's date; cells, voltage and date cannot be typed in.
        TestApp app;
        Formakku* a = forms.akku;
        const auto shown = [a] {
            return QStringList{a->Text1->text(), a->Text2->text(), a->Text3->text(), a->Text4->text(),
                               a->Text7->text()};
        };
        QCOMPARE(shown(), (QStringList{"?", "?", "6", "7,2", ""}));
        QCOMPARE(a->Text6->text(), QDate::currentDate().toString(QStringLiteral("dd.MM.yy")));
        QVERIFY(a->Text3->isReadOnly() && a->Text4->isReadOnly() && a->Text6->isReadOnly());

        // 1.2 V a cell, in the locale's form without trailing zeros, for 1 to 30 cells. Typed text
        // beyond 15 characters of name or 4 of capacity is dropped; the message field keeps its
        // line ends as CR LF.
        a->HScroll1->setValue(1);
        QCOMPARE(a->Text4->text(), QStringLiteral("1,2"));
        a->HScroll1->setValue(30);
        for (QLineEdit* edit : {a->Text1, a->Text2}) {
            edit->selectAll();
            QTest::keyClicks(edit, QStringLiteral("Sanyo 1700 SCRC Pack A"));
        }
        a->Text7->setText(QStringLiteral("Zeile 1\r\n\r\nZeile 3"));
        QCOMPARE(a->Text7->document()->blockCount(), 3);
        QCOMPARE(shown(), (QStringList{"Sanyo 1700 SCRC", "Sany", "30", "36", "Zeile 1\r\n\r\nZeile 3"}));
    }
};

QTEST_MAIN(TestAkku)
#include "test_akku.moc"
