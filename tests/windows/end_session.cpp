// Ends the user's session for one program as Windows does at a log-off: asks
// every top-level window of the process that owns the window titled by the
// argument whether the session may end (WM_QUERYENDSESSION), then tells each
// that it ends (WM_ENDSESSION). Prints what the windows answered.
//   end_session.exe TITLE
#include <windows.h>

#include <cstdio>
#include <vector>

namespace {

struct Search {
    DWORD process = 0;
    std::vector<HWND> windows;
};

BOOL CALLBACK collect(HWND window, LPARAM found)
{
    auto *search = reinterpret_cast<Search *>(found);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process == search->process)
        search->windows.push_back(window);
    return TRUE;
}

} // namespace

int wmain(int argc, wchar_t **argv)
{
    if (argc != 2)
        return 2;
    const HWND main = FindWindowW(nullptr, argv[1]);
    Search search;
    if (!main || !GetWindowThreadProcessId(main, &search.process))
        return 3;
    EnumWindows(collect, reinterpret_cast<LPARAM>(&search));
    bool allAgree = true;
    for (const HWND window : search.windows) {
        DWORD_PTR answer = 0;
        const bool answered = SendMessageTimeoutW(window, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_BLOCK, 5000, &answer);
        allAgree = allAgree && answered && answer;
    }
    std::printf("%zu windows, %s\n", search.windows.size(), allAgree ? "all let the session end" : "refused or hung");
    for (const HWND window : search.windows) {
        DWORD_PTR answer = 0;
        SendMessageTimeoutW(window, WM_ENDSESSION, allAgree, ENDSESSION_LOGOFF, SMTO_BLOCK, 5000, &answer);
    }
    return allAgree ? 0 : 1;
}
