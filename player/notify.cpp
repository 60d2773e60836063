// Position reports of the engine.
#include "player/player.h"

#include "platform/quorvel.h"
#include "resources/resource.h"
#include "timecode/timecode.h"

enum {
    DISPLAY_SIGN_LENGTH = 1,  // the display shows the text without its sign
};

void OnEngineNotify(HWND window, WPARAM kind, LPARAM frame)
{
    if (kind != ENGINE_NOTIFY_POSITION)
        return;
    // Wrapping addition: an offset can take a position below zero, never out of 32 bits.
    int32_t n = (int32_t)((uint32_t)frame + (uint32_t)Player.tcOffset);
    char text[TIMECODE_BUFFER_SIZE];
    FormatTimecode(text, n, Player.timecodeRate);
    SendDlgItemMessageA(window, IDC_TCDISPLAY, WM_SETTEXT, 0, (LPARAM)(text + DISPLAY_SIGN_LENGTH));
    Player.currentTimecode = PackTimecode(n, Player.timecodeRate);
}

