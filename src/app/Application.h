#pragma once

#include <memory>

#include "app/AppContext.h"

namespace orbisto {

class TForm1;

// The six windows, created in the program's fixed order (main, service, install-to-skin, settings,
// about, own ball) and destroyed together.
class Windows {
public:
    explicit Windows(AppContext& context);
    ~Windows();
    Windows(const Windows&) = delete;
    Windows& operator=(const Windows&) = delete;

    TForm1& main() { return *main_; }

private:
    std::unique_ptr<TForm1> main_;
    AppContext& ctx_;
};

// Starts the program: application title, windows, message loop. Returns the exit code.
int runOrbisto(int argc, char** argv);

} // namespace orbisto
