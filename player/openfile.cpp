// Opening the file in the current-file buffer with its own frame rate, decoder and TC offset.
#include "player/player.h"

#include <shellapi.h>

#include "app/app.h"
#include "pedal/reader.h"
#include "platform/quorvel.h"
#include "platform/zentrixkey.h"
#include "player/stamps.h"
#include "resources/resource.h"
#include "settings/settings.h"
#include "timecode/timecode.h"

// The typing options are read again at every opening, so a change made by hand in the settings
// file takes effect with the next file.
static void ReadTypingOptions(void)
{
    char text[OPTION_READ_SIZE];
    ReadSetting(SECTION_OPTIONS, KEY_TC_HOTKEY, DEFAULT_TC_HOTKEY, text, sizeof text);
    Player.tcHotKey = HotKeyFromName(text, Player.tcHotKey);
    ReadSetting(SECTION_OPTIONS, KEY_STARTSTOP_HOTKEY, DEFAULT_STARTSTOP_HOTKEY, text, sizeof text);
    Player.startStopHotKey = HotKeyFromName(text, Player.startStopHotKey);

    ReadSetting(SECTION_OPTIONS, KEY_SHOW_KEY_FRAMES, DEFAULT_SHOW_KEY_FRAMES, text, sizeof text);
    Player.showFramesMode = ShowFramesModeFromName(text, Player.showFramesMode);

    // Unlike the frames, an unknown append-sign text means SPACE here.
    ReadSetting(SECTION_OPTIONS, KEY_APPEND_KEY_SIGN, DEFAULT_APPEND_KEY_SIGN, text, sizeof text);
    Player.appendSignMode = AppendSignModeFromName(text, APPEND_SPACE);
}

// The file's own entry, or the "default" entry when the file has none or an empty one.
static void ReadPerFileText(const char *section, const char *fallback, char *text, DWORD size)
{
    if (ReadSetting(section, Player.currentFile, "", text, size) == 0)
        ReadSetting(section, KEY_DEFAULT, fallback, text, size);
}

void SetCurrentFile(const WCHAR *path)
{
    bool ansi = SettingsKeyOfPath(path, Player.currentFile, sizeof Player.currentFile);
    if (ansi)
        Player.currentFileWide[0] = L'\0';
    else
        lstrcpynW(Player.currentFileWide, path, CURRENT_FILE_SIZE);
}

// While the engine opens a file, this thread answers what other threads and programs send the
// window (a size change, a remote request, a ping). What would start something of the window's
// own (a command, a dialog, the close, another file, a hot key) would then run halfway through
// the open: it is kept, and posted again in the order it came once the open is over.
static bool WaitsForTheOpen(UINT message)
{
    return message == WM_COMMAND || message == WM_DROPFILES || message == WM_APP_OPENFILE ||
           message == WM_KEYHOOK_HOTKEY || message == WM_PEDAL_BUTTONS;
}

bool DeferWhileOpening(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!Player.opening || !WaitsForTheOpen(message))
        return false;
    if (Player.deferredCount == DEFERRED_MOST) {
        // More than anyone does in the second an open takes: the rest is let go.
        if (message == WM_DROPFILES)
            DragFinish((HDROP)wParam);
        return true;
    }
    MSG &kept = Player.deferred[Player.deferredCount++];
    kept.hwnd = window;
    kept.message = message;
    kept.wParam = wParam;
    kept.lParam = lParam;
    return true;
}

static void PostDeferred(void)
{
    int count = Player.deferredCount;
    Player.deferredCount = 0;
    for (int i = 0; i < count; i++) {
        const MSG &kept = Player.deferred[i];
        PostMessageA(kept.hwnd, kept.message, kept.wParam, kept.lParam);
    }
}

bool OpenCurrentFileInEngine(void)
{
    Player.opening = true;
    BOOL opened = Player.currentFileWide[0] ? QuorvelSetFileW(Player.currentFileWide)
                                            : QuorvelSetFile(Player.currentFile);
    Player.opening = false;
    PostDeferred();
    return opened != FALSE;
}

enum { SPEED_TITLE_SIZE = 24 };  // "   Speed 200 %" and more
#define SOURCE_TIMECODE_TITLE L"   TC from file"

// Away from normal speed, and while a hard passage repeats, the speed follows the name in the
// title strip, where the user looks anyway; with no file it stands alone. So does the note that
// the file's own timecode is shown.
static void ShowTitleWithNotes(HWND window)
{
    WCHAR title[CURRENT_FILE_SIZE + SPEED_TITLE_SIZE + sizeof SOURCE_TIMECODE_TITLE];
    CurrentFilePath(title, CURRENT_FILE_SIZE);
    int length = lstrlenW(title);
    const WCHAR *gap = length ? L"   " : L"";
    if (Player.looping)
        wsprintfW(title + length, L"%sLoop %d %%", gap, Player.loopSpeed);
    else if (Player.speedPercent != SPEED_NORMAL)
        wsprintfW(title + length, L"%sSpeed %d %%", gap, Player.speedPercent);
    if (Player.sourceTimecodeInUse)
        lstrcatW(title, SOURCE_TIMECODE_TITLE);
    DefWindowProcW(window, WM_SETTEXT, 0, (LPARAM)title);
    InvalidateRect(window, NULL, FALSE);
}

enum {
    TITLE_NOTICE_MS = 2000,
    TITLE_NOTICE_TIMER_ID = 6,  // the engine's is 5
};

static void CALLBACK EndTitleNotice(HWND window, UINT, UINT_PTR id, DWORD)
{
    KillTimer(window, id);
    ShowTitle(window);
}

// Said in the title strip, where the user looks for the player's answer, and gone after two
// seconds.
void ShowTitleNotice(HWND window, const WCHAR *notice)
{
    DefWindowProcW(window, WM_SETTEXT, 0, (LPARAM)notice);
    InvalidateRect(window, NULL, FALSE);
    SetTimer(window, TITLE_NOTICE_TIMER_ID, TITLE_NOTICE_MS, EndTitleNotice);
}

void ShowTitle(HWND window)
{
    if (Player.looping || Player.speedPercent != SPEED_NORMAL || Player.sourceTimecodeInUse) {
        ShowTitleWithNotes(window);
        return;
    }
    if (!Player.currentFileWide[0]) {
        SendMessageA(window, WM_SETTEXT, 0, (LPARAM)Player.currentFile);
        return;
    }
    // The Player window is an ANSI dialog: its own WM_SETTEXT would keep the name converted to
    // the code page, question marks and all. DefWindowProcW keeps it as it is; the skin paints
    // its title strip from the text as kept.
    DefWindowProcW(window, WM_SETTEXT, 0, (LPARAM)Player.currentFileWide);
    InvalidateRect(window, NULL, FALSE);
}

// The file's frame rate and TC offset (its own entries, or the "default" ones), then its own
// timecode where that is in force; the rate for the engine.
static double ReadFileTimecode(char offsetText[TC_OFFSET_READ_SIZE])
{
    char rateText[FRAME_RATE_READ_SIZE];
    ReadPerFileText(SECTION_FRAME_RATE, DEFAULT_FRAME_RATE, rateText, sizeof rateText);
    double frameRate = DecimalFromText(rateText);
    Player.timecodeRate = TimecodeRateFromFrameRate(frameRate);
    Player.timecodeFormat = TimecodeFormatFromRateText(rateText);
    ReadPerFileText(SECTION_TC_OFFSET, DEFAULT_TC_OFFSET, offsetText, TC_OFFSET_READ_SIZE);
    Player.tcOffset = ParseTimecode(offsetText, Player.timecodeFormat);
    UseSourceTimecode(&frameRate);
    Stamps.frameRate = frameRate;
    return frameRate;
}

void ReadFileTimecodeAgain(HWND window)
{
    if (!Player.currentFile[0])
        return;
    char offsetText[TC_OFFSET_READ_SIZE];
    QuorvelSetRate(ReadFileTimecode(offsetText));
    ShowTitle(window);
}

void OnOpenFile(HWND window)
{
    LeaveOpenedFile();
    Player.openedFile[0] = '\0';
    EndLoop(window);
    Player.sourceTimecodeInUse = false;  // the last file's
    ShowTitle(window);
    ShowWindow(GetDlgItem(window, IDC_VIDEO), SW_HIDE);
    EnableMenuItem(GetSubMenu(Player.menu, 0), IDM_DECODER, MF_BYCOMMAND | MF_ENABLED);
    ReadTypingOptions();
    ReadJumpHotKeys();
    ReadSpeedHotKeys();
    ReadStampSettings();
    ReadHoldToPlayKey();
    KeepHotKeys();

    char offsetText[TC_OFFSET_READ_SIZE];
    QuorvelSetRate(ReadFileTimecode(offsetText));
    if (Player.sourceTimecodeInUse)
        ShowTitle(window);
    TraceMessage("FrameRate = %d\r\n", Player.timecodeRate);

    if (ReadSetting(SECTION_DECODER, Player.currentFile, "", Player.decoderName,
                    sizeof Player.decoderName) != 0)
        QuorvelLoadFilter(Player.decoderName);

    TraceMessage("%s\r\nTC_Offset= %s \r\n", Player.currentFile, offsetText);

    int32_t start = ResumeFrameOfCurrentFile();
    if (start > 0)
        QuorvelControl(QUORVEL_START_AT, start);
    if (OpenCurrentFileInEngine())
        NoteOpenedFile(start);
    SetPlayState(window, PLAY_PLAYING);
    SetFocus(GetDlgItem(window, IDC_TRACKER));
}
