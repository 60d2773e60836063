// Another process's remote request: remote_sender WINDOW REQUEST PARAMETER; the answer is the
// exit code.
#include <windows.h>
#include <stdlib.h>

#include "platform/quorvel.h"

int main(int argc, char **argv)
{
    if (argc != 4)
        return -1;
    HWND window = (HWND)(UINT_PTR)strtoul(argv[1], NULL, 0);
    WPARAM request = (WPARAM)strtoul(argv[2], NULL, 0);
    LPARAM parameter = (LPARAM)strtol(argv[3], NULL, 0);
    return (int)SendMessageA(window, WM_REMOTE_CONTROL, request, parameter);
}
