/* Gives a running program the system colours that the registry's
 * "Control Panel\Colors" holds, as Windows' colour settings do: SetSysColors,
 * which tells every window with WM_SYSCOLORCHANGE. Under Wine a program keeps
 * the colours it read at its start whoever else calls it, so this DLL makes
 * the call inside the program that owns the window titled as given:
 *   wine rundll32 syscolors.dll,Apply TITLE */
#include <wchar.h>
#include <windows.h>

static HMODULE self;

static DWORD WINAPI apply(LPVOID unused)
{
    static const wchar_t *names[] = {L"Window", L"WindowText", L"ButtonFace", L"ButtonText"};
    static const int elements[] = {COLOR_WINDOW, COLOR_WINDOWTEXT, COLOR_BTNFACE, COLOR_BTNTEXT};
    COLORREF colours[4];
    for (int i = 0; i < 4; ++i) {
        wchar_t text[32];
        DWORD size = sizeof text;
        unsigned r = 0, g = 0, b = 0;
        RegGetValueW(HKEY_CURRENT_USER, L"Control Panel\\Colors", names[i], RRF_RT_REG_SZ, NULL, text, &size);
        swscanf(text, L"%u %u %u", &r, &g, &b);
        colours[i] = RGB(r, g, b);
    }
    SetSysColors(4, elements, colours);
    FreeLibraryAndExitThread(self, 0);
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved)
{
    wchar_t exe[MAX_PATH];
    GetModuleFileNameW(NULL, exe, MAX_PATH);
    self = instance;
    if (reason == DLL_PROCESS_ATTACH && !wcsstr(_wcslwr(exe), L"rundll32"))
        CloseHandle(CreateThread(NULL, 0, apply, NULL, 0, NULL));
    return TRUE;
}

void CALLBACK ApplyW(HWND window, HINSTANCE instance, LPWSTR title, int show)
{
    DWORD pid = 0;
    wchar_t path[MAX_PATH];
    const DWORD bytes = (GetModuleFileNameW(self, path, MAX_PATH) + 1) * sizeof(wchar_t);
    GetWindowThreadProcessId(FindWindowW(NULL, title), &pid);
    HANDLE process = OpenProcess(PROCESS_ALL_ACCESS, FALSE, pid);
    void *remote = process ? VirtualAllocEx(process, NULL, bytes, MEM_COMMIT, PAGE_READWRITE) : NULL;
    if (!remote || !WriteProcessMemory(process, remote, path, bytes, NULL))
        ExitProcess(1);
    HANDLE thread = CreateRemoteThread(process, NULL, 0, (LPTHREAD_START_ROUTINE)LoadLibraryW, remote, 0, NULL);
    ExitProcess(thread && WaitForSingleObject(thread, 10000) == WAIT_OBJECT_0 ? 0 : 1);
}
