// Message maps. A map is written as a list of entries between
// BEGIN_MESSAGE_MAP and END_MESSAGE_MAP; it expands at compile time into one
// function, OnWndMsg, that tests each entry in turn and falls back to the
// base class's map. Nothing is registered or looked up at run time.
#pragma once

#include <windows.h>

// Anything that has a message map: windows and the application object.
class CCmdTarget {
public:
    virtual ~CCmdTarget() = default;

    // Handles message if the map has an entry for it: stores the result in
    // *pResult and returns TRUE. Returns FALSE for an unmapped message.
    virtual BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
};

#define DECLARE_MESSAGE_MAP() \
public:                       \
    BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                             \
    BOOL theClass::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) \
    {                                                                                      \
        typedef baseClass TheBaseClass;                                                    \
        (void)wParam;                                                                      \
        (void)lParam;

#define END_MESSAGE_MAP()                                             \
        return TheBaseClass::OnWndMsg(message, wParam, lParam, pResult); \
    }

// WM_COMMAND from a menu, an accelerator or a button: void handler().
#define ON_COMMAND(id, memberFxn)                                        \
    if (message == WM_COMMAND && LOWORD(wParam) == (id)) {               \
        (this->*(memberFxn))();                                          \
        *pResult = 0;                                                    \
        return TRUE;                                                     \
    }

// BN_CLICKED from button id: void handler().
#define ON_BN_CLICKED(id, memberFxn)                                            \
    if (message == WM_COMMAND && LOWORD(wParam) == (id) &&                      \
        HIWORD(wParam) == BN_CLICKED) {                                         \
        (this->*(memberFxn))();                                                 \
        *pResult = 0;                                                           \
        return TRUE;                                                            \
    }

// Any message: LRESULT handler(WPARAM, LPARAM).
#define ON_MESSAGE(msg, memberFxn)                                \
    if (message == (msg)) {                                       \
        *pResult = (this->*(memberFxn))(wParam, lParam);          \
        return !TakeDefaultRequest();                             \
    }

// WM_SYSCOMMAND: void OnSysCommand(UINT nID, LPARAM lParam).
#define ON_WM_SYSCOMMAND()                                        \
    if (message == WM_SYSCOMMAND) {                               \
        OnSysCommand(static_cast<UINT>(wParam), lParam);          \
        *pResult = 0;                                             \
        return !TakeDefaultRequest();                             \
    }

// WM_PAINT: void OnPaint().
#define ON_WM_PAINT()                                             \
    if (message == WM_PAINT) {                                    \
        OnPaint();                                                \
        *pResult = 0;                                             \
        return !TakeDefaultRequest();                             \
    }

// WM_QUERYDRAGICON: HCURSOR OnQueryDragIcon().
#define ON_WM_QUERYDRAGICON()                                                  \
    if (message == WM_QUERYDRAGICON) {                                         \
        *pResult = reinterpret_cast<LRESULT>(OnQueryDragIcon());               \
        return !TakeDefaultRequest();                                          \
    }
