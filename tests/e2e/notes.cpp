// A text window of its own process for the hot keys to type into, as a word processor would be:
//   e2e_notes X Y
// A window with one multi-line edit control that has the keyboard focus whenever the window is
// active. It ends when it is closed.
#include <windows.h>
#include <stdlib.h>

namespace {

const char NOTES_CLASS[] = "VantorelE2ENotes";
const int NOTES_WIDTH = 420, NOTES_HEIGHT = 200;
const int EDIT_ID = 100;

HWND edit;

LRESULT CALLBACK NotesProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        edit = CreateWindowExA(WS_EX_CLIENTEDGE, "EDIT", "",
                               WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL,
                               0, 0, 0, 0, window, (HMENU)(INT_PTR)EDIT_ID, NULL, NULL);
        return edit ? 0 : -1;
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
