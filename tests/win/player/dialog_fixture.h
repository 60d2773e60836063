// The dialogs opened from the Player window's menu commands and driven from another thread
// through real messages, with a real settings file.
#pragma once

#include <string.h>

#include <atomic>
#include <thread>

#include "tests/win/player/player_fixture.h"

#include "resources/resource.h"
#include "settings/settings.h"

inline std::string ItemText(HWND dialog, int id)
{
    char text[64] = "";
    SendDlgItemMessageA(dialog, id, WM_GETTEXT, sizeof text, (LPARAM)text);
    return text;
}

inline std::string Ini(const char *section, const char *key)
{
    char value[128];
    GetPrivateProfileStringA(section, key, "<missing>", value, sizeof value, SettingsFilePath);
    return value;
}

inline void Select(HWND dialog, int id, const char *text)
{
    LRESULT index = SendDlgItemMessageA(dialog, id, CB_FINDSTRINGEXACT, (WPARAM)-1, (LPARAM)text);
    SendDlgItemMessageA(dialog, id, CB_SETCURSEL, (WPARAM)index, 0);
}

inline BOOL CALLBACK FindVisibleDialog(HWND window, LPARAM out)
{
    char cls[32];
    GetClassNameA(window, cls, sizeof cls);
    if (strcmp(cls, "#32770") == 0 && IsWindowVisible(window)) {
        *(HWND *)out = window;
        return FALSE;
    }
    return TRUE;
}

inline HWND FindDialogOf(DWORD thread)
{
    HWND found = NULL;
    EnumThreadWindows(thread, FindVisibleDialog, (LPARAM)&found);
    return found;
}

// A user on another thread: waits for the dialog that thread ui shows, hands it to driver, and
// says when it is done.
inline std::thread DialogUser(DWORD ui, const std::function<void(HWND)> &driver,
                              std::atomic<bool> *done = nullptr)
{
    return std::thread([=] {
        HWND dialog = NULL;
        for (int i = 0; i < 1000 && !dialog; i++) {
            Sleep(5);
            dialog = FindDialogOf(ui);
        }
        if (dialog)
            driver(dialog);
        if (done)
            *done = true;
    });
}

class DialogTest : public PlayerWindowTest {
protected:
    // Chooses the menu command; driver runs on another thread with the dialog once it is shown
    // and must end it. Returns once the modal loop is over.
    void RunFromMenu(int command, const std::function<void(HWND)> &driver)
    {
        std::atomic<bool> done{false};
        std::thread user = DialogUser(GetCurrentThreadId(), driver, &done);
        SendMessageA(window_, WM_COMMAND, command, 0);
        PumpUntil([&] { return done.load(); });
        user.join();
    }
    void Options(const std::function<void(HWND)> &driver) { RunFromMenu(IDM_OPTIONS, driver); }
    void Ok(HWND dialog) { SendMessageA(dialog, WM_COMMAND, IDOK, 0); }
};

