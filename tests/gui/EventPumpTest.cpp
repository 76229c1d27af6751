#include "app/EventPump.h"

#include <QPushButton>
#include <QTest>
#include <QThread>
#include <QTimer>

using namespace orbisto;

class EventPumpTest : public QObject {
    Q_OBJECT

private slots:
    // Once 10 ms have passed the pump shows the progress first, then handles what is pending.
    void pump_afterItsInterval_showsProgressThenHandlesPendingEvents() {
        EventPump pump;
        bool handled = false;
        QTimer::singleShot(0, this, [&] { handled = true; });
        QThread::msleep(15);
        bool handledBeforeProgress = true;
        pump([&] { handledBeforeProgress = handled; });
        QVERIFY(!handledBeforeProgress);
        QVERIFY(handled);
    }

    // A run started while one goes changes nothing; the controls return to their own state after the run.
    void guard_secondEntryIsRefused_controlsDisabledMeanwhileThenAsBefore() {
        QWidget window;
        auto* start = new QPushButton(&window);
        auto* off = new QPushButton(&window);
        off->setEnabled(false);
        ReentryGuard guard;
        {
            const ReentryGuard::Run run = guard.enter({start, off});
            QVERIFY(static_cast<bool>(run) && guard.running());
            QVERIFY(!start->isEnabled() && !off->isEnabled());
            {
                const ReentryGuard::Run again = guard.enter({start});
                QVERIFY(!again);
            }
            QVERIFY(guard.running()); // the refused entry ended nothing
            QVERIFY(!start->isEnabled());
        }
        QVERIFY(!guard.running());
        QVERIFY(start->isEnabled());
        QVERIFY(!off->isEnabled()); // disabled before the run, so still
        QVERIFY(static_cast<bool>(guard.enter()));
    }
};

QTEST_MAIN(EventPumpTest)
#include "EventPumpTest.moc"
