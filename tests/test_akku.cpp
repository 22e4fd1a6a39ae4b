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
    void fields()
    {
        // Name and capacity unknown, 6 cells, today's date.
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        TestApp app;
        Formakku* a = forms.akku;
        const auto shown = [a] {
            return QStringList{a->Text1->text(), a->Text2->text(), a->Text3->text(),
                               a->Text4->text(), a->Text6->text(), a->Text7->text()};
        };
        const QString today = QDate::currentDate().toString(QStringLiteral("dd.MM.yy"));
        QCOMPARE(shown(), (QStringList{"?", "?", "6", "7,2", today, ""}));

        // 1.2 V a cell, in the locale's form without trailing zeros. Text typed (after the "?") beyond
        // 15 characters of name or 4 of capacity is dropped; cells, voltage and date cannot be typed
        // in. The message field shows its lines one below the other and keeps their ends as CR LF.
        a->HScroll1->setValue(30);
        for (QLineEdit* edit : {a->Text1, a->Text2, a->Text3, a->Text4, a->Text6})
            QTest::keyClicks(edit, QStringLiteral("1700 SCRC Pack A"));
        a->Text7->setText(QStringLiteral("eins\r\n\r\ndrei"));
        QCOMPARE(a->Text7->document()->blockCount(), 3);
        QCOMPARE(shown(), (QStringList{"?1700 SCRC Pack", "?170", "30", "36", today, "eins\r\n\r\ndrei"}));
    }
};

QTEST_MAIN(TestAkku)
#include "test_akku.moc"
