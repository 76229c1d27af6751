#include "app/Guard.h"

#include <QString>
#include <exception>

#include "app/CoreText.h"
#include "app/UserInterface.h"
#include "platform/Errors.h"

namespace orbisto {

bool runGuarded(UserInterface& ui, QWidget* parent, const std::function<void()>& handler) {
    try {
        handler();
        return true;
    } catch (const std::exception& e) {
        ui.error(parent, shownText(errorBoxText(e.what())));
    }
    return false;
}

} // namespace orbisto
