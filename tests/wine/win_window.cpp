// Looks at and closes the windows of a program from inside the same Windows session (under Wine:
// the same prefix). The Windows window test runs it beside orbisto.exe, where X11 tools see only
// Wine's frames and not the client areas the program sizes.
//   win_window find <title> [seconds]
//       waits up to `seconds` (default 30) for a visible top-level window titled exactly <title>
//       and prints "<count> <width>x<height> <left> <top>": how many such windows there are, the
//       client area of the first one and the screen position of that client area;
//   win_window close <title>
//       asks each visible window titled <title> to close (WM_CLOSE), as its close button does;
//   win_window hold <file> <release file>
//       opens <file> the way a running game holds its frames (sharing reading and writing, not
//       deletion), prints "held", and keeps it open until <release file> exists (at most 300 s).
// Titles and file names are compared and opened as Unicode, whatever the ANSI code page.
// Exit status: 0 done, 1 no such window, 2 bad arguments.
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <string>
#include <vector>
#include <windows.h>

#include <shellapi.h>

namespace {

struct Search {
    std::wstring title;
    std::vector<HWND> found;
};

BOOL CALLBACK collect(HWND window, LPARAM data) {
    auto* search = reinterpret_cast<Search*>(data);
    if (!IsWindowVisible(window)) {
        return TRUE;
    }
    wchar_t text[512] = {};
    GetWindowTextW(window, text, static_cast<int>(std::size(text)));
    if (search->title == text) {
        search->found.push_back(window);
    }
    return TRUE;
}

std::vector<HWND> windowsTitled(const std::wstring& title) {
    Search search{title, {}};
    EnumWindows(collect, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

int usage() {
    std::fprintf(stderr, "usage: win_window find <title> [seconds]\n       win_window close <title>\n"
                         "       win_window hold <file> <release file>\n");
    return 2;
}

} // namespace

int main() {
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (argv == nullptr || argc < 3) {
        return usage();
    }
    const std::wstring command = argv[1];
    const std::wstring title = argv[2];
    if (command == L"find" && argc <= 4) {
        const int seconds = argc == 4 ? _wtoi(argv[3]) : 30;
        for (int tick = 0; tick <= seconds * 5; ++tick) {
            const auto found = windowsTitled(title);
            if (!found.empty()) {
                RECT client{};
                GetClientRect(found.front(), &client);
                POINT origin{0, 0};
                ClientToScreen(found.front(), &origin);
                std::printf("%zu %ldx%ld %ld %ld\n", found.size(), client.right - client.left,
                            client.bottom - client.top, origin.x, origin.y);
                return 0;
            }
            Sleep(200);
        }
        std::fprintf(stderr, "win_window: no window \"%ls\" within %d s\n", title.c_str(), seconds);
        return 1;
    }
    if (command == L"close" && argc == 3) {
        const auto found = windowsTitled(title);
        for (HWND window : found) {
            PostMessageW(window, WM_CLOSE, 0, 0);
        }
        return found.empty() ? 1 : 0;
    }
    if (command == L"hold" && argc == 4) {
        HANDLE held = CreateFileW(argv[2], GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        if (held == INVALID_HANDLE_VALUE) {
            std::fprintf(stderr, "win_window: cannot open \"%ls\" (%lu)\n", argv[2], GetLastError());
            return 1;
        }
        std::printf("held\n");
        std::fflush(stdout);
        for (int tick = 0; tick < 300 * 5 && GetFileAttributesW(argv[3]) == INVALID_FILE_ATTRIBUTES; ++tick) {
            Sleep(200);
        }
        CloseHandle(held);
        return 0;
    }
    return usage();
}
