#pragma once

#include <QElapsedTimer>
#include <functional>
#include <initializer_list>
#include <utility>
#include <vector>

class QWidget;

namespace orbisto {

// Lets the GUI handle pending events now and then (at most every 10 ms), so a long walk or copy keeps
// its window painted without spending its time in the event loop. Every long handler pumps through
// one of these, and guards itself with a ReentryGuard against the events handled meanwhile.
class EventPump {
public:
    EventPump();
    // Handles pending events when 10 ms have passed since it last did.
    void operator()();
    // The same, bringing the window up to date with `showProgress` first, only when it is time to.
    void operator()(const std::function<void()>& showProgress);

private:
    QElapsedTimer sinceLast_;
};

// Keeps a handler from running again while it runs: the events an EventPump handles may start it
// anew (a click, the window activated again). One guard per handler, kept by its window.
class ReentryGuard {
public:
    // One run of the handler. While it lasts the guard reports a run going, and the given controls are
    // disabled, showing that they cannot start anything; they return to their own state after it.
    class Run {
    public:
        ~Run();
        Run(const Run&) = delete;
        Run& operator=(const Run&) = delete;
        // False when the handler was running already: it must return at once.
        explicit operator bool() const { return guard_ != nullptr; }

    private:
        friend class ReentryGuard;
        Run(ReentryGuard* guard, std::initializer_list<QWidget*> controls);

        ReentryGuard* guard_;
        std::vector<std::pair<QWidget*, bool>> disabled_; // each control and whether it was disabled itself
    };

    // Starts a run, or (while one goes) gives one that is false and changes nothing.
    [[nodiscard]] Run enter(std::initializer_list<QWidget*> disabledWhileRunning = {});
    bool running() const { return running_; }

private:
    bool running_ = false;
};

} // namespace orbisto
