#include "app/EventPump.h"

#include <QCoreApplication>
#include <QWidget>

namespace orbisto {

namespace {
constexpr qint64 kPumpInterval = 10; // ms
} // namespace

EventPump::EventPump() {
    sinceLast_.start();
}

void EventPump::operator()() {
    (*this)({});
}

void EventPump::operator()(const std::function<void()>& showProgress) {
    if (sinceLast_.elapsed() < kPumpInterval) {
        return;
    }
    if (showProgress) {
        showProgress();
    }
    QCoreApplication::processEvents();
    sinceLast_.restart();
}

ReentryGuard::Run ReentryGuard::enter(std::initializer_list<QWidget*> disabledWhileRunning) {
    if (running_) {
        return Run(nullptr, {});
    }
    return Run(this, disabledWhileRunning);
}

ReentryGuard::Run::Run(ReentryGuard* guard, std::initializer_list<QWidget*> controls) : guard_(guard) {
    if (guard_ == nullptr) {
        return;
    }
    guard_->running_ = true;
    for (QWidget* control : controls) {
        disabled_.emplace_back(control, control->testAttribute(Qt::WA_ForceDisabled));
        control->setEnabled(false);
    }
}

ReentryGuard::Run::~Run() {
    if (guard_ == nullptr) {
        return;
    }
    for (const auto& [control, wasDisabled] : disabled_) {
        control->setEnabled(!wasDisabled);
    }
    guard_->running_ = false;
}

} // namespace orbisto
