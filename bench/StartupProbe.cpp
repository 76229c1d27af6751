// Helper of the start-up benchmark. "orbisto <program folder>" starts Orbisto as main.cpp does,
// over that program folder; "empty" shows an empty Qt Widgets window. Either quits right after the
// window's handler of its first activation has returned and the window is exposed and painted (for
// Orbisto: the library scan finished and its results shown) and writes the nanoseconds since the given spawn time
// (CLOCK_MONOTONIC) and its peak resident memory in KiB (VmHWM) into the result file. The peak is read
// here, not from the parent's rusage, because Linux carries a forked parent's peak over exec.
//   orbisto_startup_probe orbisto|empty <program folder> <spawn time ns> <result file>

#include "app/AppContext.h"
#include "app/Application.h"
#include "app/TForm1.h"
#include "app/UserInterface.h"
#include "platform/FileSystem.h"
#include "platform/SettingsStore.h"

#include <QApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>
#include <QWindow>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <memory>
#include <string>

namespace {

std::int64_t monotonicNanoseconds() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<std::int64_t>(now.tv_sec) * 1000000000 + now.tv_nsec;
}

long peakKiB() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmHWM:", 0) == 0) {
            return std::stol(line.substr(6));
        }
    }
    return 0;
}

// Quits once the watched window has become active and its handler of that event has returned. The
// event is handed to the window from here rather than timed from a queued call, since the window's
// handler may itself let queued calls run (the library scan does) before it has finished.
class FirstActivation : public QObject {
public:
    FirstActivation(std::int64_t spawned, std::string resultFile) : spawned_(spawned), result_(std::move(resultFile)) {}

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::ActivationChange || done_ || !static_cast<QWidget*>(watched)->isActiveWindow()) {
            return false;
        }
        done_ = true;
        watched->removeEventFilter(this);
        QCoreApplication::sendEvent(watched, event);
        finishWhenExposed(static_cast<QWidget*>(watched));
        return true;
    }

private:
    // Shown: the window exposed and painted with what the handler put in it. A handler that lets
    // events run has had its window exposed already; otherwise the platform exposes it once the
    // event loop runs again, for Orbisto's window and the empty one alike.
    void finishWhenExposed(QWidget* window) {
        if (!window->windowHandle()->isExposed()) {
            QTimer::singleShot(1, this, [this, window] { finishWhenExposed(window); });
            return;
        }
        window->repaint();
        std::ofstream(result_) << monotonicNanoseconds() - spawned_ << " " << peakKiB() << "\n";
        QCoreApplication::quit();
    }

    std::int64_t spawned_;
    std::string result_;
    bool done_ = false;
};

// On the virtual X server of scripts/bench no window manager runs to activate a window once it is
// mapped, as a desktop's does; the window asks for the focus itself there. Offscreen, Qt activates it.
void showActive(QWidget& window) {
    window.show();
    if (QGuiApplication::platformName() != QLatin1String("offscreen")) {
        window.activateWindow();
    }
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 5) {
        std::fprintf(stderr, "usage: %s orbisto|empty <program folder> <spawn time ns> <result file>\n", argv[0]);
        return 2;
    }
    const std::string mode = argv[1];
    const std::filesystem::path programFolder = argv[2];
    QApplication application(argc, argv);
    FirstActivation watcher(std::stoll(argv[3]), argv[4]);
    // Gives up rather than hang when the window never becomes active.
    QTimer::singleShot(30000, [] { QCoreApplication::exit(3); });

    if (mode == "empty") {
        QWidget window;
        window.resize(640, 480);
        window.installEventFilter(&watcher);
        showActive(window);
        return QApplication::exec();
    }

    QApplication::setApplicationName(QStringLiteral("Orbisto"));
    auto settings = orbisto::platform::makeRegistryFileStore(programFolder / "settings");
    auto ui = orbisto::makeQtUserInterface();
    orbisto::AppContext context{*settings, orbisto::platform::localFileSystem(), *ui, programFolder / "orbisto",
                                programFolder};
    orbisto::Windows windows(context);
    windows.main().installEventFilter(&watcher);
    showActive(windows.main());
    return QApplication::exec();
}
