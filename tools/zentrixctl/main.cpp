// zentrixctl: drives the running player from scripts, foot pedals and macro tools.
//   exit status 0 done, 1 no player runs (or it does not answer), 2 bad argument
#include <windows.h>
#include <stdio.h>

#include "platform/remote.h"
#include "resources/resource.h"
#include "tools/zentrixctl/command.h"

enum { EXIT_DONE = 0, EXIT_NO_PLAYER = 1, EXIT_BAD_ARGUMENT = 2, ANSWER_TIMEOUT_MS = 10000 };

int main(int argc, char **argv)
{
    CtlCommand command;
    const char *error;
    if (!ParseCtlCommand(argc - 1, argv + 1, &command, &error)) {
        fprintf(stderr, "%s\n", error);
        return EXIT_BAD_ARGUMENT;
    }
    HWND player = FindWindowA(VANTOREL_DLGCLASS, NULL);
    if (!player) {
        fprintf(stderr, "zentrixctl: no Vantorel player is running\n");
        return EXIT_NO_PLAYER;
    }
    DWORD_PTR answer = 0;
    if (!SendMessageTimeoutA(player, WM_REMOTE_CONTROL, command.request, command.parameter,
                             SMTO_ABORTIFHUNG, ANSWER_TIMEOUT_MS, &answer)) {
        fprintf(stderr, "zentrixctl: the player does not answer\n");
        return EXIT_NO_PLAYER;
    }
    if (command.output == CTL_PRINT_TIMECODE) {
        char text[16];
        TextFromPacked((uint32_t)answer, text);
        printf("%s\n", text);
    } else if (command.output == CTL_PRINT_NUMBER) {
        printf("%ld\n", (long)(LONG)answer);
    }
    return EXIT_DONE;
}
