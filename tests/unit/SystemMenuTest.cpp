// The main dialog's furniture, in a running dialog: the About entry of the
// system menu, the About box it opens, and the icons.
#include <gtest/gtest.h>

#include <string>

#include "app/Resource.h"
#include "app/UpdaterApp.h"
#include "app/UpdaterDlg.h"
#include "tests/support/DialogHost.h"
#include "tests/support/ProcessDriver.h"
#include "tests/support/Seams.h"

namespace {

// The main dialog in check mode with "eck", which stays open whatever the
// check finds; its files go to a folder of its own. As in InitInstance, it
// is the application's main window, the default owner of other dialogs.
class MainDialogFurnitureNet : public testing::Test {
protected:
    void SetUp() override { theApp.m_pMainWnd = &m_dlg; }
    void TearDown() override { theApp.m_pMainWnd = nullptr; }

    void Drive(const std::function<void(HWND)>& driver)
    {
        bool driven = false;
        RunHostedDialog(m_dlg, [&](HWND hDlg) {
            driven = true;
            driver(hDlg);
        });
        EXPECT_TRUE(driven) << "the dialog never became visible";
    }

    InstallFolder m_folder{"furniture"};
    ScopedSeams m_seams{m_folder / "Updater.exe /check", m_folder / "Updater.exe"};
    CUpdaterDlg m_dlg;
    const DWORD m_uiThread = GetCurrentThreadId();
};

TEST_F(MainDialogFurnitureNet, SystemMenuEndsWithASeparatorAndTheAboutEntry)
{
    Drive([](HWND hDlg) {
        HMENU hMenu = GetSystemMenu(hDlg, FALSE);
        ASSERT_NE(nullptr, hMenu);
        int count = GetMenuItemCount(hMenu);
        ASSERT_GE(count, 3);
        EXPECT_NE(static_cast<UINT>(-1), GetMenuState(hMenu, SC_CLOSE, MF_BYCOMMAND))
            << "the standard entries stay";

        MENUITEMINFOA separator{};
        separator.cbSize = sizeof separator;
        separator.fMask = MIIM_FTYPE;
        ASSERT_TRUE(GetMenuItemInfoA(hMenu, count - 2, TRUE, &separator));
        EXPECT_TRUE(separator.fType & MFT_SEPARATOR);

        char text[64] = {};
        MENUITEMINFOA about{};
        about.cbSize = sizeof about;
        about.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STRING;
        about.dwTypeData = text;
        about.cch = sizeof text;
        ASSERT_TRUE(GetMenuItemInfoA(hMenu, count - 1, TRUE, &about));
        EXPECT_EQ(static_cast<UINT>(MFT_STRING), about.fType);
        EXPECT_EQ(static_cast<UINT>(IDM_ABOUTBOX), about.wID);
        EXPECT_STREQ("关于 Updater(&A)...", text);
    });
}

TEST_F(MainDialogFurnitureNet, CommandsInTheAboutRangeOpenTheOwnedModalAboutBox)
{
    Drive([&](HWND hDlg) {
        for (UINT id : {0x0010u, 0x0011u, 0x0018u, 0x001Fu}) {
            SCOPED_TRACE("command " + std::to_string(id));
            PostMessageA(hDlg, WM_SYSCOMMAND, id, 0);
            HWND hAbout = nullptr;
            ASSERT_TRUE(WaitUntil([&] { return (hAbout = VisibleDialogOfThread(m_uiThread, "关于 Updater")) != nullptr; }));
            EXPECT_EQ(hDlg, GetWindow(hAbout, GW_OWNER));
            EXPECT_FALSE(IsWindowEnabled(hDlg)) << "the main dialog takes no input meanwhile";
            EXPECT_TRUE(PressButton(hAbout, IDOK));
            EXPECT_TRUE(WaitUntil([&] { return !IsWindow(hAbout); }));
            EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(hDlg) != FALSE; }));
        }
    });
}

TEST_F(MainDialogFurnitureNet, CommandsOutsideTheAboutRangeGetTheDefaultHandling)
{
    Drive([&](HWND hDlg) {
        // An About box would keep SendMessage from returning.
        for (UINT id : {0x0000u, 0x000Fu, 0x0020u, 0x0100u}) {
            SCOPED_TRACE("command " + std::to_string(id));
            DWORD_PTR result = 0;
            EXPECT_NE(0, SendMessageTimeoutA(hDlg, WM_SYSCOMMAND, id, 0, SMTO_NORMAL, 10000, &result));
            HWND hAbout = VisibleDialogOfThread(m_uiThread, "关于 Updater");
            EXPECT_EQ(nullptr, hAbout);
            if (hAbout != nullptr)
                PressButton(hAbout, IDOK);
        }
        // Wine may finish the change of show state after the call returns.
        SendMessageA(hDlg, WM_SYSCOMMAND, SC_MINIMIZE, 0);
        EXPECT_TRUE(WaitUntil([&] { return IsIconic(hDlg) != FALSE; }));
        SendMessageA(hDlg, WM_SYSCOMMAND, SC_RESTORE, 0);
        EXPECT_TRUE(WaitUntil([&] { return IsIconic(hDlg) == FALSE; }));
    });
}

TEST_F(MainDialogFurnitureNet, TheApplicationIconIsTheWindowAndDragIcon)
{
    ASSERT_NE(nullptr, m_dlg.m_hIcon);
    Drive([&](HWND hDlg) {
        HICON hIcon = m_dlg.m_hIcon;
        EXPECT_EQ(reinterpret_cast<LRESULT>(hIcon), SendMessageA(hDlg, WM_GETICON, ICON_BIG, 0));
        EXPECT_EQ(reinterpret_cast<LRESULT>(hIcon), SendMessageA(hDlg, WM_GETICON, ICON_SMALL, 0));
        EXPECT_EQ(reinterpret_cast<LRESULT>(hIcon), SendMessageA(hDlg, WM_QUERYDRAGICON, 0, 0));
    });
}

}  // namespace
