// The body-rate rule's deadline over arrivals of body bytes.
#include "bodyrate.h"

#include "testsupport.h"

#include <QList>
#include <QPair>

using Arrivals = QList<QPair<qint64, qint64>>; // (ms, total)

class TstBodyRate : public QObject
{
    Q_OBJECT
private slots:
    // At least 1024 bytes in every 60 s from the start at 1000 ms: the deadline is 60 s after the
    // arrival of the oldest of the last 1024 bytes, or after the start while fewer have come.
    void deadlineFollowsTheLastBytes_data()
    {
        QTest::addColumn<qint64>("startTotal");
        QTest::addColumn<Arrivals>("arrivals");
        QTest::addColumn<qint64>("deadline");
        QTest::newRow("nothing yet") << qint64(0) << Arrivals() << qint64(61000);
        QTest::newRow("fewer than 1024") << qint64(0) << Arrivals{{1100, 1023}} << qint64(61000);
        QTest::newRow("1024 at once") << qint64(0) << Arrivals{{1100, 1024}} << qint64(61100);
        QTest::newRow("the oldest counted byte came first")
            << qint64(0) << Arrivals{{1100, 600}, {1200, 1200}} << qint64(61100);
        QTest::newRow("the oldest counted byte came second")
            << qint64(0) << Arrivals{{1100, 600}, {1200, 1200}, {1300, 1700}} << qint64(61200);
        QTest::newRow("the last 1024 in the last arrival")
            << qint64(0) << Arrivals{{1100, 1000}, {1200, 2024}} << qint64(61200);
        QTest::newRow("a total that does not grow")
            << qint64(0) << Arrivals{{1100, 2000}, {1200, 2000}} << qint64(61100);
        QTest::newRow("bytes before the start do not count")
            << qint64(5000) << Arrivals{{1100, 6000}} << qint64(61000);
    }
    void deadlineFollowsTheLastBytes()
    {
        QFETCH(qint64, startTotal);
        QFETCH(Arrivals, arrivals);
        QFETCH(qint64, deadline);
        BodyRate rate(1024, 60000);
        rate.start(1000, startTotal);
        for (const auto &[ms, total] : arrivals)
            rate.arrived(ms, total);
        QCOMPARE(rate.deadlineMs(), deadline);
    }
};

TALVEX_TEST_MAIN(TstBodyRate)
#include "tst_bodyrate.moc"
