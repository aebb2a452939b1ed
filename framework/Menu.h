// CMenu: a menu handle, not owned.
#pragma once

#include <windows.h>

class CMenu {
public:
    CMenu() = default;
    explicit CMenu(HMENU hMenu) : m_hMenu(hMenu) {}

    HMENU GetSafeHmenu() const { return m_hMenu; }
    BOOL AppendMenu(UINT nFlags, UINT_PTR nIDNewItem = 0, const char* lpszNewItem = nullptr);

    HMENU m_hMenu = nullptr;
};
