// SIGTERM, SIGINT and SIGHUP arrive as a Qt signal in the event loop instead of ending the
// process; one the process was started with ignored (nohup) stays ignored; at the end each signal
// gets back what it had.
#include "terminationsignals.h"
#include "testsupport.h"

#include <QSignalSpy>

#include <csignal>

namespace {

volatile std::sig_atomic_t caught = 0;

void recordCaught(int signalNumber)
{
    caught = signalNumber;
}

// Sets what a signal does for the lifetime of this object.
class Disposition
{
public:
    Disposition(int signalNumber, void (*handler)(int)) : signalNumber(signalNumber)
    {
        struct sigaction action = {};
        action.sa_handler = handler;
        sigemptyset(&action.sa_mask);
        sigaction(signalNumber, &action, &previous);
    }
    ~Disposition() { sigaction(signalNumber, &previous, nullptr); }

private:
    int signalNumber;
    struct sigaction previous = {};
};

} // namespace

class TstTerminationSignals : public QObject
{
    Q_OBJECT
private slots:
    void signalArrivesInTheEventLoop_data();
    void signalArrivesInTheEventLoop();
    void signalIgnoredAtStartStaysIgnored();
    void endGivesBackWhatTheSignalHad();
};

void TstTerminationSignals::signalArrivesInTheEventLoop_data()
{
    QTest::addColumn<int>("signalNumber");
    QTest::newRow("SIGTERM") << int(SIGTERM);
    QTest::newRow("SIGINT") << int(SIGINT);
    QTest::newRow("SIGHUP") << int(SIGHUP);
}

void TstTerminationSignals::signalArrivesInTheEventLoop()
{
    QFETCH(int, signalNumber);
    // a suite started under nohup or as a script's background job has it ignored, and then it
    // rightly stays ignored: here it has its default, as in a program started from a desktop
    const Disposition byDefault(signalNumber, SIG_DFL);
    TerminationSignals termination;
    QSignalSpy received(&termination, &TerminationSignals::received);
    QCOMPARE(std::raise(signalNumber), 0);
    QTRY_COMPARE(received.count(), 1);
    QCOMPARE(received.at(0).at(0).toInt(), signalNumber);
}

void TstTerminationSignals::signalIgnoredAtStartStaysIgnored()
{
    const Disposition ignored(SIGHUP, SIG_IGN);
    const Disposition byDefault(SIGTERM, SIG_DFL);
    TerminationSignals termination;
    QSignalSpy received(&termination, &TerminationSignals::received);
    QCOMPARE(std::raise(SIGHUP), 0);
    QCOMPARE(std::raise(SIGTERM), 0);
    // the signals arrive in the order they were sent: SIGHUP would come first
    QTRY_COMPARE(received.count(), 1);
    QCOMPARE(received.at(0).at(0).toInt(), int(SIGTERM));
}

void TstTerminationSignals::endGivesBackWhatTheSignalHad()
{
    const Disposition own(SIGTERM, recordCaught);
    caught = 0;
    {
        const TerminationSignals termination;
    }
    QCOMPARE(std::raise(SIGTERM), 0);
    QCOMPARE(int(caught), int(SIGTERM));
}

TALVEX_TEST_MAIN(TstTerminationSignals)
#include "tst_terminationsignals.moc"
