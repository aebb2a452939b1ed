// Acts on the demo's windows as a user would, one step per run:
//   DemoDriver wait-dialog CAPTION          until a visible dialog has this caption
//   DemoDriver wait-text CAPTION ID TEXT    until its control ID reads TEXT
//   DemoDriver wait-change CAPTION ID TEXT  until its control ID reads other than TEXT
//   DemoDriver click CAPTION ID             presses its button ID
//   DemoDriver wait-gone CAPTION            until no dialog has this caption
//   DemoDriver wait-window TITLE            until a visible window has this title
// Exits 0 when the step happened, 1 after 60 s without it.
#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <string>

namespace {

constexpr DWORD kStepTimeoutMs = 60000;

HWND FindVisible(const char* className, const char* title)
{
    HWND hWnd = FindWindowA(className, title);
    return hWnd != nullptr && IsWindowVisible(hWnd) ? hWnd : nullptr;
}

std::string ControlText(HWND hDlg, int id)
{
    char text[1024] = {};
    SendDlgItemMessageA(hDlg, id, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
    return text;
}

template <typename Pred>
bool WaitFor(Pred pred)
{
    DWORD start = GetTickCount();
    while (!pred()) {
        if (GetTickCount() - start > kStepTimeoutMs)
            return false;
        Sleep(50);
    }
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 3)
        return 2;
    std::string verb = argv[1];
    const char* name = argv[2];
    bool done = false;
    if (verb == "wait-dialog") {
        done = WaitFor([&] { return FindVisible("#32770", name) != nullptr; });
    } else if (verb == "wait-window") {
        done = WaitFor([&] { return FindVisible(nullptr, name) != nullptr; });
    } else if (verb == "wait-gone") {
        done = WaitFor([&] { return FindWindowA("#32770", name) == nullptr; });
    } else if (verb == "wait-text" && argc == 5) {
        int id = std::atoi(argv[3]);
        done = WaitFor([&] {
            HWND hDlg = FindVisible("#32770", name);
            return hDlg != nullptr && ControlText(hDlg, id) == argv[4];
        });
    } else if (verb == "wait-change" && argc == 5) {
        int id = std::atoi(argv[3]);
        done = WaitFor([&] {
            HWND hDlg = FindVisible("#32770", name);
            return hDlg != nullptr && ControlText(hDlg, id) != argv[4];
        });
    } else if (verb == "click" && argc == 4) {
        HWND hDlg = FindVisible("#32770", name);
        HWND hButton = hDlg != nullptr ? GetDlgItem(hDlg, std::atoi(argv[3])) : nullptr;
        done = hButton != nullptr && PostMessageA(hButton, BM_CLICK, 0, 0);
    } else {
        return 2;
    }
    return done ? 0 : 1;
}
