// Which modem line changes count as light-barrier pulses.
#include "comms/ModemLineEvent.h"
#include "race/BarrierLineFilter.h"

#include <QtTest>

using Statuses = QList<quint32>;
using Pulses = QList<bool>;

class TestBarrierLineFilter : public QObject
{
    Q_OBJECT
private slots:
    void pulses_data()
    {
        QTest::addColumn<quint32>("mask");
        QTest::addColumn<int>("mode");
        QTest::addColumn<Statuses>("statuses");
        QTest::addColumn<Pulses>("pulses");
        const quint32 dsr = MS_DSR_ON;
        const quint32 cts = MS_CTS_ON;
        // A beam break and its return, as the DSR line sees them.
        const Statuses interruption{dsr, 0};
        QTest::newRow("Ein: the line going on") << dsr << 0 << interruption << Pulses{true, false};
        QTest::newRow("Aus: the line going off") << dsr << 1 << interruption << Pulses{false, true};
        QTest::newRow("Wechseln: both edges") << dsr << 2 << interruption << Pulses{true, true};
        QTest::newRow("unknown mode: never") << dsr << 3 << interruption << Pulses{false, false};
        QTest::newRow("negative mode: never") << dsr << -1 << interruption << Pulses{false, false};
        QTest::newRow("first event accepted while off") << dsr << 1 << Statuses{0} << Pulses{true};
        // The other line and unrelated bits change, this one stays: no pulse.
        const Statuses sameLevel{dsr, dsr | cts, dsr | MS_RING_ON, dsr, 0, cts, 0};
        for (int mode : {0, 1, 2}) {
            QTest::addRow("unchanged level ignored, DSR, mode %d", mode)
                << dsr << mode << sameLevel
                << Pulses{mode != 1, false, false, false, mode != 0, false, false};
        }
        QTest::newRow("CTS input ignores DSR")
            << cts << 2 << Statuses{cts, cts | dsr, dsr, 0} << Pulses{true, false, true, false};
    }
    void pulses()
    {
        QFETCH(quint32, mask);
        QFETCH(int, mode);
        QFETCH(Statuses, statuses);
        QFETCH(Pulses, pulses);
        BarrierLineFilter filter(mask);
        Pulses seen;
        for (quint32 status : statuses) {
            seen << filter.IsPulse(status, mode);
            QCOMPARE(filter.Level(), status & mask);
        }
        QCOMPARE(seen, pulses);
    }
};

QTEST_MAIN(TestBarrierLineFilter)
#include "tst_BarrierLineFilter.moc"
