// Ends the user's session for one program as Windows does at a log-off: asks
// every top-level window of the process that owns the window titled by the
// argument whether the session may end (WM_QUERYENDSESSION), then tells each
// that it ends (WM_ENDSESSION). Prints what the windows answered.
//   end_session.exe TITLE
#include <windows.h>

#include <cstdio>
#include <vector>

int wmain(int argc, wchar_t **argv)
{
    DWORD process = 0;
    const HWND main = argc == 2 ? FindWindowW(nullptr, argv[1]) : nullptr;
    if (!main || !GetWindowThreadProcessId(main, &process))
        return 2;
    std::vector<HWND> all, windows;
    EnumWindows([](HWND window, LPARAM to) { reinterpret_cast<std::vector<HWND> *>(to)->push_back(window); return TRUE; },
                reinterpret_cast<LPARAM>(&all));
    bool allAgree = true;
    for (const HWND window : all) {
        DWORD owner = 0;
        DWORD_PTR answer = 0;
        if (GetWindowThreadProcessId(window, &owner) && owner == process) {
            windows.push_back(window);
            allAgree = SendMessageTimeoutW(window, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_BLOCK, 5000, &answer)
                && answer && allAgree;
        }
    }
    std::printf("%zu windows, %s\n", windows.size(), allAgree ? "all let the session end" : "refused or hung");
    for (const HWND window : windows) {
        DWORD_PTR answer = 0;
        SendMessageTimeoutW(window, WM_ENDSESSION, allAgree, ENDSESSION_LOGOFF, SMTO_BLOCK, 5000, &answer);
    }
    return allAgree ? 0 : 1;
}
