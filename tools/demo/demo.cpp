// The main job end to end, for ./vantorel run on a machine without a screen: waits for the
// running player's timecode to advance, opens a text window in front, presses the TC hot key
// there as a user would, prints what the text window received, and closes the player.
//   vantorel-demo [KEY-NAME]      (F12 unless given)
#include <windows.h>
#include <stdio.h>
#include <string.h>

#include <string>

#include "platform/quorvel.h"
#include "resources/resource.h"
#include "settings/values.h"

enum { WAIT_PLAYER_MS = 60000, WAIT_ADVANCE_MS = 30000, WAIT_TYPED_MS = 5000, SHOW_MS = 5000 };

static std::string TextOf(HWND window)
{
    char text[256] = "";
    SendMessageA(window, WM_GETTEXT, sizeof text, (LPARAM)text);
    return text;
}

static void Pump(DWORD ms)
{
    DWORD start = GetTickCount();
    do {
        MSG msg;
        while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        Sleep(10);
    } while (GetTickCount() - start < ms);
}

template <typename Condition>
static bool WaitFor(Condition done, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > timeoutMs)
            return false;
        Pump(20);
    }
    return true;
}

static void PressKey(WORD key)
{
    INPUT input[2] = {};
    input[0].type = input[1].type = INPUT_KEYBOARD;
    input[0].ki.wVk = input[1].ki.wVk = key;
    input[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, input, sizeof(INPUT));
}

int main(int argc, char **argv)
{
    int key = HotKeyFromName(argc > 1 ? argv[1] : "F12", VK_F12);
    HWND player = NULL, display = NULL;
    // The window is found as soon as it exists, its controls a moment later.
    if (!WaitFor([&] {
            player = FindWindowA(VANTOREL_DLGCLASS, NULL);
            display = player ? GetDlgItem(player, IDC_TCDISPLAY) : NULL;
            return display != NULL;
        },
                 WAIT_PLAYER_MS)) {
        printf("demo: the player did not start\n");
        return 1;
    }
    std::string first = TextOf(display);
    if (!WaitFor([&] { return TextOf(display) != first && !TextOf(display).empty(); },
                 WAIT_ADVANCE_MS)) {
        printf("demo: the timecode does not advance (still \"%s\")\n", first.c_str());
        return 1;
    }
    Pump(1500);  // let it play a moment

    HWND notes = CreateWindowExA(0, "EDIT", "", WS_OVERLAPPEDWINDOW | WS_VISIBLE | ES_MULTILINE,
                                 380, 100, 420, 200, NULL, NULL, GetModuleHandleA(NULL), NULL);
    SetWindowTextA(notes, "");
    SetForegroundWindow(notes);
    SetFocus(notes);
    Pump(300);
    PressKey((WORD)key);
    std::string shown = TextOf(display);
    bool typed = WaitFor([&] { return TextOf(notes).size() >= 11; }, WAIT_TYPED_MS);
    Pump(300);
    printf("display at the press: %s\n", shown.c_str());
    printf("typed into the text window: \"%s\"\n", TextOf(notes).c_str());
    fflush(stdout);
    printf("READY\n");
    fflush(stdout);
    Pump(SHOW_MS);
    DestroyWindow(notes);
    PostMessageA(player, WM_CLOSE, 0, 0);
    return typed ? 0 : 1;
}
