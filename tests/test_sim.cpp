// The charger simulator's frame encoding, which every test of the program builds its frames with.
#include "sim/Frames.h"

#include <QtTest>

class TestSim : public QObject {
    Q_OBJECT

private slots:
    // Each field in its place, most significant digit first, then the checksum 0x0576: the sum of the
    // byte values of digits 1-26.
    void frameLayout()
    {
        QCOMPARE(
            QByteArray::fromStdString(
                ladomat::sim::frameLine({0x12, 3, 7, 13800, 6001, 50000, 1234, 9, 0xA5})),
            QByteArray("\002" /* serial, mode, cycle, input, output, current, capacity, status, flags, sum */
                       "12 03 07 35E8 1771 C350 04D2 09 A5 0576\r")
                .replace(' ', ""));
    }
};

QTEST_GUILESS_MAIN(TestSim)
#include "test_sim.moc"
