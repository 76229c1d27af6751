// Helper of scripts/run and the window tests:
//   orbisto_demo_setup prepare <game folder> <settings folder>
//       creates the demo FM 2006 install once and points the settings store at it;
//   orbisto_demo_setup has-game <settings folder>
//       exits with 0 when the settings store names a game folder or a Wine prefix holds a game,
//       1 when none is found.
#include "platform/InstallRecords.h"
#include "tools/DemoGame.h"

#include <exception>
#include <filesystem>
#include <iostream>
#include <string_view>

namespace {

int usage() {
    std::cerr << "usage: orbisto_demo_setup prepare <game folder> <settings folder>\n"
                 "       orbisto_demo_setup has-game <settings folder>\n";
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    namespace fs = std::filesystem;
    using namespace orbisto::sample;
    const std::string_view command = argc > 1 ? argv[1] : "";
    try {
        if (command == "prepare" && argc == 4) {
            const fs::path game = fs::absolute(argv[2]).lexically_normal();
            if (prepareDemoGame(game)) {
                std::cout << "Demo game FM 2006 prepared in " << game.string() << "\n";
            }
            pointSettingsAtGame(argv[3], game);
            return 0;
        }
        if (command == "has-game" && argc == 3) {
            return hasConfiguredGame(argv[2], orbisto::platform::makeInstallRecords().get()) ? 0 : 1;
        }
    } catch (const std::exception& error) {
        std::cerr << "orbisto_demo_setup: " << error.what() << "\n";
        return 3;
    }
    return usage();
}
