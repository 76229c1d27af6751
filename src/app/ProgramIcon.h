#pragma once

#include <QIcon>

namespace orbisto {

// Sizes, in pixels, at which the program's icon is drawn.
inline constexpr int kProgramIconSizes[] = {16, 32, 48, 64, 128, 256};

// The program's icon (a ball), built into the executable at every size it is drawn in, so the
// windows show it wherever the program folder lies.
QIcon programIcon();

// Makes it the icon of every window of the program: the windows, the dialogs and message boxes.
void useProgramIcon();

} // namespace orbisto
