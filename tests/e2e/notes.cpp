// A text window of its own process for the hot keys to type into, as a word processor would be:
//   e2e_notes X Y
// A window with one multi-line edit control that has the keyboard focus whenever the window is
// active. It ends when it is closed. Every key message the edit control receives is noted in
// the text of a hidden static control, "v7B" for a key-down of F12 and "^7B" for its key-up,
// separated by blanks, so that a test can see which keys reached the program in front. A second
// hidden static control holds each of those messages' time (GetMessageTime, in milliseconds),
// the time the key entered the input queue, so that a bench can tell when keys were typed apart
// from how long this window takes to show them.
#include <windows.h>
#include <commctrl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

namespace {

const char NOTES_CLASS[] = "VantorelE2ENotes";
const int NOTES_WIDTH = 420, NOTES_HEIGHT = 200;
const int EDIT_ID = 100;
const int KEYS_ID = 101;
const int TIMES_ID = 102;
const int KEYS_SIZE = 1024;

HWND edit, keys, times;

void Append(HWND control, const char *entry)
{
    char text[KEYS_SIZE * 4];
    int length = GetWindowTextA(control, text, sizeof text);
    if (length + 1 + (int)strlen(entry) >= (int)sizeof text)
        return;
    snprintf(text + length, sizeof text - length, "%s%s", length ? " " : "", entry);
    SetWindowTextA(control, text);
}

void NoteKey(char direction, WPARAM vk)
{
    char entry[16];
    snprintf(entry, sizeof entry, "%c%02X", direction, (unsigned)(vk & 0xFF));
    if (GetWindowTextLengthA(keys) + 5 >= KEYS_SIZE)
        return;
    Append(keys, entry);
    snprintf(entry, sizeof entry, "%lu", (unsigned long)GetMessageTime());
    Append(times, entry);
}

LRESULT CALLBACK EditKeysProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                              UINT_PTR id, DWORD_PTR)
{
    if (message == WM_NCDESTROY)
        RemoveWindowSubclass(window, EditKeysProc, id);
    if (message == WM_KEYDOWN || message == WM_SYSKEYDOWN)
        NoteKey('v', wParam);
    else if (message == WM_KEYUP || message == WM_SYSKEYUP)
        NoteKey('^', wParam);
    return DefSubclassProc(window, message, wParam, lParam);
}

LRESULT CALLBACK NotesProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        edit = CreateWindowExA(WS_EX_CLIENTEDGE, "EDIT", "",
                               WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL,
                               0, 0, 0, 0, window, (HMENU)(INT_PTR)EDIT_ID, NULL, NULL);
        keys = CreateWindowExA(0, "STATIC", "", WS_CHILD, 0, 0, 0, 0, window,
                               (HMENU)(INT_PTR)KEYS_ID, NULL, NULL);
        times = CreateWindowExA(0, "STATIC", "", WS_CHILD, 0, 0, 0, 0, window,
                                (HMENU)(INT_PTR)TIMES_ID, NULL, NULL);
        if (!edit || !keys || !times || !SetWindowSubclass(edit, EditKeysProc, 0, 0))
            return -1;
        return 0;
    case WM_SIZE:
        MoveWindow(edit, 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
        return 0;
    case WM_SETFOCUS:
        SetFocus(edit);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int)
{
    char *rest = NULL;
    int x = (int)strtol(commandLine, &rest, 10);
    int y = (int)strtol(rest, NULL, 10);
    WNDCLASSA wc = {};
    wc.lpfnWndProc = NotesProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursor(NULL, IDC_IBEAM);
    wc.hbrBackground = (HBRUSH)(COLOR_WINDOW + 1);
    wc.lpszClassName = NOTES_CLASS;
    if (!RegisterClassA(&wc))
        return 1;
    HWND window = CreateWindowExA(0, NOTES_CLASS, "Notes", WS_OVERLAPPEDWINDOW | WS_VISIBLE, x, y,
                                  NOTES_WIDTH, NOTES_HEIGHT, NULL, NULL, instance, NULL);
    if (!window)
        return 1;
    SetForegroundWindow(window);
    MSG msg;
    while (GetMessageA(&msg, NULL, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}
