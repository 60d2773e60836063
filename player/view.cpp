// The Player window's dialog procedure: layout, transport commands, the popup menu, dropped files
// and the window's life from WM_INITDIALOG to WM_DESTROY.
#include "player/player.h"

#include <shellapi.h>
#include <string.h>

#include "app/app.h"
#include "controls/controls.h"
#include "dialogs/dialogs.h"
#include "pedal/reader.h"
#include "platform/osgrim.h"
#include "platform/quorvel.h"
#include "platform/zentrixkey.h"
#include "player/layout.h"
#include "player/stamps.h"
#include "resources/resource.h"
#include "settings/settings.h"
#include "timecode/timecode.h"

enum {
    POPUP_MENU_OFFSET = 90,  // the popup opens this far left of and above the menu button
    KEY_SPACE = 0x20,
    KEY_LEFT = 0x25,
    KEY_RIGHT = 0x27,
    HOTKEY_HOOK_KEY = 123,   // what the Player window hands InstallKeyHook
    DISPLAY_FONT_HEIGHT = -14,  // character height in pixels
};

// A narrow face where the system has one; the display fits the text to whatever it gets.
#define DISPLAY_FONT_FACE "MS Sans Serif"

static HMENU PopupMenu(void)
{
    return GetSubMenu(Player.menu, 0);
}

static HFONT CreateDisplayFont(void)
{
    LOGFONTA font = {};
    font.lfHeight = DISPLAY_FONT_HEIGHT;
    font.lfWeight = FW_BOLD;
    font.lfCharSet = ANSI_CHARSET;
    font.lfQuality = PROOF_QUALITY;
    font.lfPitchAndFamily = VARIABLE_PITCH | FF_SWISS;
    lstrcpyA(font.lfFaceName, DISPLAY_FONT_FACE);
    return CreateFontIndirectA(&font);
}

static void OnInitDialog(HWND window)
{
    Player.menu = LoadMenuA(App.instance, IDR_APPL_MENU);
    Player.displayFont = CreateDisplayFont();
    RestoreWindowPlacement(window, KEY_PLAYER);
    InstallKeyHook(window, HOTKEY_HOOK_KEY, KEYHOOK_REPORT_RELEASES);
    StartPedal(window);
    KeepHotKeys();
    SendDlgItemMessageA(window, IDC_TCDISPLAY, WM_SETFONT, (WPARAM)Player.displayFont, 0);
    // The Tracker's range is 0 to 100 for good; playback does not move it.
    SendDlgItemMessageA(window, IDC_TRACKER, WM_SETTEXT, TRACKER_SET_VALUE, (LPARAM) "0");
    SendDlgItemMessageA(window, IDC_TRACKER, WM_SETTEXT, TRACKER_SET_MINIMUM, (LPARAM) "0");
    SendDlgItemMessageA(window, IDC_TRACKER, WM_SETTEXT, TRACKER_SET_MAXIMUM, (LPARAM) "100");
    EnableMenuItem(PopupMenu(), IDM_DECODER, MF_BYCOMMAND | MF_GRAYED);
    DragAcceptFiles(window, TRUE);
    QuorvelInit(window);
    ReadSpeed(window);
    ReadWorkingDaySettings(window);
    if (Player.currentFile[0])
        PostMessageA(window, WM_APP_OPENFILE, 0, 0);
}

static void OnSize(HWND window, LPARAM lParam)
{
    ControlPlace places[LAYOUT_CONTROL_COUNT];
    LayoutPlayerControls(LOWORD(lParam), HIWORD(lParam), places);
    for (const ControlPlace &place : places) {
        HWND control = GetDlgItem(window, place.id);
        if (place.sized) {
            MoveWindow(control, place.x, place.y, place.width, place.height, TRUE);
        } else {
            SetWindowPos(control, NULL, place.x, place.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        }
        if (place.id != IDC_VIDEO)
            InvalidateRect(control, NULL, FALSE);
    }
    QuorvelMoveVideoWindow();
}

static void OnGetMinMaxInfo(LPARAM lParam)
{
    MINMAXINFO *info = (MINMAXINFO *)lParam;
    info->ptMinTrackSize.x = MIN_TRACK_WIDTH;
    info->ptMinTrackSize.y = MIN_TRACK_HEIGHT;
}

static void OnKeyForward(HWND window, LPARAM key)
{
    if (key == KEY_SPACE) {
        SendMessageA(window, WM_COMMAND, IDC_PLAY, 0);
        return;
    }
    if (Player.playState != PLAY_STOPPED)
        return;
    if (key == KEY_LEFT || key == KEY_RIGHT) {
        Player.resumeRewinds = false;
        EndLoop(window);
    }
    if (key == KEY_LEFT)
        QuorvelControl(QUORVEL_SEEK, ReportedMediaFrame() - 1);
    else if (key == KEY_RIGHT)
        QuorvelControl(QUORVEL_SEEK, ReportedMediaFrame() + 1);
}

static void TogglePlay(HWND window)
{
    if (Player.playState == PLAY_PLAYING)
        PauseByUser(window);
    else
        ResumePlay(window);
}

static void Transport(HWND window, LONG request, LONG parameter)
{
    EndLoop(window);
    SetPlayState(window, PLAY_STOPPED);
    QuorvelControl(request, parameter);
}

static void ShowMenu(HWND window)
{
    RECT button;
    GetWindowRect(GetDlgItem(window, IDC_MENU), &button);
    ShowRecentFilesInMenu(PopupMenu());
    CheckMenuItem(PopupMenu(), IDM_ALWAYSONTOP,
                  MF_BYCOMMAND | (Player.alwaysOnTop ? MF_CHECKED : MF_UNCHECKED));
    ShowPopupMenu(window, 0, button.left - POPUP_MENU_OFFSET, button.top - POPUP_MENU_OFFSET,
                  PopupMenu());
}

// The help document we ship beside the program; the current directory only when it is not
// there. A bare relative name would resolve against whatever the current directory happens to
// be, which is nothing useful when the program was started from a file association.
static void OpenHelp(void)
{
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(NULL, path, sizeof path);
    char *slash = length && length < sizeof path ? strrchr(path, '\\') : NULL;
    const char *document = HELP_DOCUMENT;
    if (slash && (size_t)(slash + 1 - path) + sizeof HELP_DOCUMENT <= sizeof path) {
        lstrcpyA(slash + 1, HELP_DOCUMENT);
        if (GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES)
            document = path;
    }
    ShellExecuteA(NULL, NULL, document, NULL, NULL, SW_SHOWNORMAL);
}

// The choices of the Options dialog, in memory. The engine comes last: paused, it answers the
// new rate at once with a position report from inside the call, which must be shown, typed and
// stepped from with the new rate and offset.
static void ApplyOptions(HWND window, const OptionsChoice &choice)
{
    Player.timecodeRate = choice.timecodeRate;
    Player.timecodeFormat = choice.timecodeFormat;
    Player.tcOffset = choice.tcOffset;
    Player.tcHotKey = choice.tcHotKey;
    Player.startStopHotKey = choice.startStopHotKey;
    Player.showFramesMode = choice.showFramesMode;
    Player.appendSignMode = choice.appendSignMode;
    KeepHotKeys();
    double frameRate = choice.frameRate;
    bool wasInUse = Player.sourceTimecodeInUse;
    if (UseSourceTimecode(&frameRate) || wasInUse)
        ShowTitle(window);
    Stamps.frameRate = frameRate;
    QuorvelSetRate(frameRate);
}

static void ChooseOptions(HWND window)
{
    OptionsChoice choice = {};
    choice.currentFile = Player.currentFile;
    choice.tcHotKey = Player.tcHotKey;
    choice.startStopHotKey = Player.startStopHotKey;
    choice.showFramesMode = Player.showFramesMode;
    choice.appendSignMode = Player.appendSignMode;
    char start[TIMECODE_BUFFER_SIZE];
    if (Player.sourceTimecodeInUse) {
        FormatTimecode(start, Player.sourceTimecode.stretches[0].timecode, Player.timecodeFormat);
        choice.sourceTimecodeStart = start + 1;  // without the sign, as the display shows it
    }
    if (DialogBoxParamA(App.instance, IDD_OPTIONS, window, OptionsDlgProc, (LPARAM)&choice) == 1)
        ApplyOptions(window, choice);
}

static void ChoosePlayback(HWND window)
{
    PlaybackChoice choice = {};
    choice.tcHotKey = Player.tcHotKey;
    choice.startStopHotKey = Player.startStopHotKey;
    choice.jumpBackHotKey = Player.jumpBackHotKey;
    choice.jumpForwardHotKey = Player.jumpForwardHotKey;
    choice.slowerHotKey = Player.slowerHotKey;
    choice.fasterHotKey = Player.fasterHotKey;
    choice.speedPercent = Player.speedPercent;
    if (DialogBoxParamA(App.instance, IDD_PLAYBACK, window, PlaybackDlgProc, (LPARAM)&choice) != 1)
        return;
    Player.jumpBackHotKey = choice.jumpBackHotKey;
    Player.jumpForwardHotKey = choice.jumpForwardHotKey;
    Player.slowerHotKey = choice.slowerHotKey;
    Player.fasterHotKey = choice.fasterHotKey;
    ReadHoldToPlayKey();
    KeepHotKeys();
    SetSpeed(window, choice.speedPercent);
    ReadWorkingDaySettings(window);
    if (choice.sourceTimecode != Player.sourceTimecodeInUse)
        ReadFileTimecodeAgain(window);
}

static void ChooseStamps(HWND window)
{
    StampsChoice choice = {};
    choice.mediaFrame = ReportedMediaFrame();
    choice.format = Player.timecodeFormat;
    choice.frameRate = Stamps.frameRate;
    choice.offsetFrames = Player.tcOffset;
    choice.showFramesMode = Player.showFramesMode;
    choice.appendSignMode = Player.appendSignMode;
    const int taken[] = {Player.tcHotKey, Player.startStopHotKey, Player.jumpBackHotKey,
                         Player.jumpForwardHotKey, Player.slowerHotKey, Player.fasterHotKey};
    memcpy(choice.takenKeys, taken, sizeof choice.takenKeys);
    if (DialogBoxParamA(App.instance, IDD_STAMPS, window, StampsDlgProc, (LPARAM)&choice) != 1)
        return;
    ReadStampSettings();
    KeepHotKeys();
}

// After OK the file is opened again at once, with the decoder just chosen; the engine plays a
// file it opens.
static void ChooseDecoder(HWND window)
{
    DecoderChoice choice = {};
    choice.currentFile = Player.currentFile;
    lstrcpynA(choice.decoderName, Player.decoderName, sizeof choice.decoderName);
    if (DialogBoxParamA(App.instance, IDD_DECODER, window, DecoderDlgProc, (LPARAM)&choice) != 1)
        return;
    lstrcpynA(Player.decoderName, choice.decoderName, sizeof Player.decoderName);
    if (!Player.currentFile[0])
        return;
    if (Player.decoderName[0])
        QuorvelLoadFilter(Player.decoderName);
    EndLoop(window);
    OpenCurrentFileInEngine();
    SetPlayState(window, PLAY_PLAYING);
}

// Returns the dialog procedure's result: 0 for the close command, which destroys the window.
static INT_PTR OnCommand(HWND window, WPARAM command, LPARAM lParam)
{
    switch (command) {
    case ID_KEYFORWARD: OnKeyForward(window, lParam); break;
    case IDCANCEL: DestroyWindow(window); return 0;
    case IDC_PLAY: TogglePlay(window); break;
    case IDC_STOP: Transport(window, QUORVEL_STOP, 0); break;
    case IDC_REWIND: Transport(window, QUORVEL_REWIND, 0); break;
    case IDC_FORWARD: Transport(window, QUORVEL_FORWARD, 0); break;
    case IDC_TRACKER: Transport(window, QUORVEL_SLIDER, (SHORT)LOWORD(lParam)); break;
    case IDC_MENU: ShowMenu(window); break;
    case IDM_HELP: OpenHelp(); break;
    case IDM_ABOUT:
        DialogBoxParamA(App.instance, IDD_ABOUT, window, AboutDlgProc, (LPARAM)Player.displayFont);
        break;
    case IDM_OPTIONS: ChooseOptions(window); break;
    case IDM_PLAYBACK: ChoosePlayback(window); break;
    case IDM_STAMPS: ChooseStamps(window); break;
    case IDM_DECODER: ChooseDecoder(window); break;
    case IDM_PEDAL: ChoosePedal(window); break;
    case IDM_ALWAYSONTOP: ToggleAlwaysOnTop(window); break;
    default:
        // IDOK and anything else: nothing
        if (command >= IDM_RECENT_FIRST && command < IDM_RECENT_FIRST + RECENT_MOST)
            OpenRecentFile(window, (int)(command - IDM_RECENT_FIRST));
        break;
    }
    return 1;
}

static void OnDropFiles(HWND window, HDROP drop)
{
    DragQueryFileW(drop, 0xFFFFFFFF, NULL, 0);
    // Wide: a name the ANSI code page cannot hold would arrive as question marks.
    WCHAR path[CURRENT_FILE_SIZE] = L"";
    DragQueryFileW(drop, 0, path, DROPPED_FILE_LIMIT);
    DragFinish(drop);
    SetCurrentFile(path);
    PostMessageA(window, WM_APP_OPENFILE, 0, 0);
    SetActiveWindow(window);
}

static void OnDestroy(HWND window)
{
    LeaveOpenedFile();
    QuorvelExit();
    SaveWindowPlacement(window, KEY_PLAYER);
    RemoveKeyHook();
    StopPedal();
    KillTimer(window, ENGINE_TIMER_ID);
    // The display keeps the font until it is destroyed, after this; it paints no more.
    DestroyMenu(Player.menu);
    DeleteObject(Player.displayFont);
    Player.menu = NULL;
    Player.displayFont = NULL;
    PostQuitMessage(1);
}

INT_PTR CALLBACK ViewDlgProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (OsgrimFrameDialogProc(window, message, wParam, lParam) ||
        OsgrimTaskProc(window, message, wParam, lParam))
        return TRUE;
    if (DeferWhileOpening(window, message, wParam, lParam))
        return TRUE;

    switch (message) {
    case WM_INITDIALOG: OnInitDialog(window); return 0;
    case WM_SIZE: OnSize(window, lParam); return 0;
    case WM_MOVE: QuorvelMoveVideoWindow(); return 0;
    case WM_GETMINMAXINFO: OnGetMinMaxInfo(lParam); return 0;
    case WM_COMMAND: return OnCommand(window, wParam, lParam);
    case WM_TIMER: return 1;  // the engine's timer has a procedure of its own
    case WM_DROPFILES: OnDropFiles(window, (HDROP)wParam); return 0;
    case WM_DESTROY: OnDestroy(window); return 0;
    case WM_APP_OPENFILE: OnOpenFile(window); return 0;
    case WM_APP_LOOPBACK: OnLoopBack(window); return 0;
    case WM_KEYHOOK_HOTKEY:
        if (lParam == KEYHOOK_RELEASED)
            OnKeyHookRelease(window, wParam);
        else
            OnKeyHookHotKey(window, wParam);
        return 1;
    case WM_PEDAL_BUTTONS: OnPedalButtons(window, wParam, lParam); return 1;
    case WM_REMOTE_CONTROL: return OnRemoteControl(window, wParam, lParam);
    case WM_ENGINE_NOTIFY: OnEngineNotify(window, wParam, lParam); return 0;
    default: return 0;
    }
}
