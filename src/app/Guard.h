#pragma once

#include <functional>

class QWidget;

namespace orbisto {

class UserInterface;

// Runs an event handler. An error escaping it ends the handler there and is shown in the error
// box; returns false in that case. Every handler of every window runs through here.
bool runGuarded(UserInterface& ui, QWidget* parent, const std::function<void()>& handler);

} // namespace orbisto
