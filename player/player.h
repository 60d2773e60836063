// The Player window: the program's main window, its process-wide values and its procedure.
#pragma once

#include <windows.h>
#include <stdint.h>

#include "dialogs/dialogs.h"  // DECODER_NAME_SIZE
#include "settings/recent.h"
#include "sourcetc/sourcetc.h"
#include "timecode/timecode.h"

enum {
    CURRENT_FILE_SIZE = 513,  // 512 characters and the terminator
    FILE_KEY_SIZE = 3 * 512 + 1,  // the settings key of a 512-character path in UTF-8
    DROPPED_FILE_LIMIT = 511, // characters of a dropped name, terminator included
    DEFERRED_MOST = 16,       // commands, drops and hot keys kept while a file opens
};

// Private messages of the Player window (the engine's and the hook's are in platform/).
#define WM_APP_OPENFILE 1591   // open the file in the current-file buffer; always posted
#define WM_APP_LOOPBACK 1592   // the hard passage is over: back to its start
#define ID_KEYFORWARD   256    // WM_COMMAND from the main loop: lParam is a key-down's key

// Play state, mirrored in the play button's check state.
enum PlayState { PLAY_STOPPED = 0, PLAY_PLAYING = 1, PLAY_WINDING = 2 };

// The values the Player window shares with the dialogs and the main loop.
struct PlayerValues {
    char currentFile[FILE_KEY_SIZE];  // the per-file key of the settings file; the path itself
                                      // when the ANSI code page holds the name
    WCHAR currentFileWide[CURRENT_FILE_SIZE];  // the path when it does not; empty otherwise
    char decoderName[DECODER_NAME_SIZE];
    int playState;
    bool resumeRewinds;        // paused by the user while playing, and the position not moved
                               // since: a resume starts RewindOnResume earlier
    int timecodeRate;          // whole frames per second of the current file
    TimecodeFormat timecodeFormat;  // how the current file's frames are numbered
    int32_t tcOffset;          // frames added to every engine position
    uint32_t currentTimecode;  // packed: last reported position plus the offset
    int32_t reportedFrame;     // the last reported position itself, in media frames
    int tcHotKey;              // virtual-key codes, 0 = none
    int startStopHotKey;
    int jumpBackHotKey;
    int jumpForwardHotKey;
    int slowerHotKey;
    int fasterHotKey;
    int speedPercent;          // playback speed, 50 to 200; the same for every file
    int showFramesMode;        // ShowFramesMode
    int appendSignMode;        // AppendSignMode
    HMENU menu;                // from WM_INITDIALOG to WM_DESTROY; its first submenu pops up
    HFONT displayFont;         // the same: the timecode display's and the About title's
    char openedFile[RECENT_PATH_SIZE];  // in UTF-8: the file the engine has open, whose
                                        // position is kept when it is left; empty when none
    DWORD positionKeptAt;      // tick count of the last time it was kept
    int recentShown;           // recent files in the menu now, and a separator after them
    int loopHotKey;
    bool looping;              // a hard passage repeats: loopStart to loopEnd at LoopSpeed
    int32_t loopStart;         // media frames
    int32_t loopEnd;
    int loopSpeed;             // percent, while looping
    bool loopBackPosted;       // the way back to its start is on its way
    bool sliderFollows;        // the knob follows every report (as designed it stays put)
    bool alwaysOnTop;
    bool opening;              // inside the engine's open: what would start something waits
    MSG deferred[DEFERRED_MOST];  // what came meanwhile, in order
    int deferredCount;
    // The timecode the file was recorded with, in force instead of the offset while
    // SourceTimecode is on and the user set no TC offset for the file: positions are shown,
    // typed, answered and located with its stretches, rate and drop-frame numbering.
    bool sourceTimecodeInUse;
    SourceTimecode sourceTimecode;  // what the current file holds; read while in use
};
extern PlayerValues Player;

INT_PTR CALLBACK ViewDlgProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Every change of the play state but a pause by the user forgets where the user paused.
void SetPlayState(HWND window, int state);
// The frame number of the media at the last report.
int32_t ReportedMediaFrame(void);
// Play, from a little earlier when resuming where the user paused; and the pause that sets it up.
void ResumePlay(HWND window);
void PauseByUser(HWND window);
// A jump key: JumpSeconds back (-1) or forward (+1), playing on or staying paused.
void Jump(HWND window, int direction);
// Goes to a media frame: paused stays paused on it, playing plays on from it, winding ends.
void SeekPlayingOn(HWND window, int32_t frame);
// The jump keys from the [Playback] section; with the typing options at every opening.
// A hot key of the Playback section; the code in force when the stored text names none.
int ReadPlaybackHotKey(const char *key, const char *fallback, int currentCode);
// The same for the keys that may also be F13 to F24.
int ReadWidePlaybackHotKey(const char *key, const char *fallback, int currentCode);
void ReadJumpHotKeys(void);
// The speed from the [Playback] section, handed to the engine; at start.
void ReadSpeed(HWND window);
// The speed keys, read with the jump keys.
void ReadSpeedHotKeys(void);
// A new speed, held to its range: stored, handed to the engine and shown at once.
void SetSpeed(HWND window, int percent);
// A speed key: one step slower (-1) or faster (+1).
void StepSpeed(HWND window, int direction);
// The window title: the file's name, and the speed after it when it is not normal.
void ShowTitle(HWND window);

// The file's own timecode (filetimecode.cpp). Decides whether it is in force for the current
// file; when it is, the timecode rate and format become its own and frameRate its rate.
bool UseSourceTimecode(double *frameRate);
// After a dialog changed what decides it: the current file's rate, format and offset read again
// as at opening, the file's timecode decided, the engine's rate and the title set.
void ReadFileTimecodeAgain(HWND window);
// The timecode (a frame number of the timecode format) of a media frame, and back.
int32_t TimecodeOfMediaFrame(int32_t frame);
int32_t MediaFrameOfTimecode(int32_t timecode);

// Handlers that live beside the procedure, one file per concern.
// Takes a path from the command line or a drop into the current-file buffers.
void SetCurrentFile(const WCHAR *path);
// Hands the current file to the engine, by its ANSI name when it has one. What the window is
// asked to start meanwhile waits until the open is over.
bool OpenCurrentFileInEngine(void);
// While the engine opens a file: keeps a message that would start something, true when kept.
bool DeferWhileOpening(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void OnOpenFile(HWND window);
void OnEngineNotify(HWND window, WPARAM kind, LPARAM frame);
INT_PTR OnRemoteControl(HWND window, WPARAM request, LPARAM parameter);
void OnKeyHookHotKey(HWND window, WPARAM key);
// Hands the hot keys in force to the key hook; after every change of them.
void KeepHotKeys(void);
// The recent files and where each was left (recent.cpp). The file open now is left: its
// position is kept in its entry.
void LeaveOpenedFile(void);
// Where the current file starts: the frame it was left at when ResumeWhereStopped is on and the
// file is unchanged since, 0 otherwise.
int32_t ResumeFrameOfCurrentFile(void);
// The current file has been opened, playing from this frame: first in the list.
void NoteOpenedFile(int32_t frame);
// While playing, the position is kept every 30 s, so that a crash loses little.
void KeepPositionWhilePlaying(void);
// The menu's first items: the recent files, numbered, and a separator.
void ShowRecentFilesInMenu(HMENU popup);
// A recent file chosen from the menu opens like a dropped file; a file that is gone is taken
// out of the list, and the title says so for a moment.
void OpenRecentFile(HWND window, int index);
// A short notice in the title strip, which then shows the file's name again.
void ShowTitleNotice(HWND window, const WCHAR *notice);
// The current file's path as it is.
void CurrentFilePath(WCHAR *path, int size);

// The hard passage (loop.cpp): the loop key starts repeating the last LoopSeconds at LoopSpeed,
// and pressed again plays on from the end of the passage at the speed before.
void ToggleLoop(HWND window);
// Anything else that moves the position or changes the speed ends the passage where it is.
void EndLoop(HWND window);
// Each position report while the passage repeats: back to its start at its end.
void FollowLoop(HWND window, int32_t frame);
void OnLoopBack(HWND window);

// The switches of the [Playback] section, read at start and after the Playback dialog.
void ReadWorkingDaySettings(HWND window);
// Always on top, from the menu: switched and stored.
void ToggleAlwaysOnTop(HWND window);
// With SliderFollows on, the knob shows where the position is, but not while it is dragged.
void FollowSlider(HWND window, int32_t frame);

// How the typed keystrokes leave: past the key hook (SendOwnKeys), or a test's stand-in.
extern UINT(WINAPI *TypingSendInput)(UINT count, INPUT *inputs, int size);
UINT WINAPI SendOwnKeys(UINT count, INPUT *inputs, int size);

// The feet (pedals.cpp): the hold-to-play key and the USB pedal's buttons.
// At start: the key, the pedal's actions and its reader; at the end, the reader stopped.
void StartPedal(HWND window);
void StopPedal(void);
// The hold-to-play key in force (0 = none), read from [Playback] at start and after the dialogs.
int HoldToPlayKey(void);
void ReadHoldToPlayKey(void);
// The key hook's reports of the hold-to-play key: its press, and a kept key's release.
void PressHoldToPlayKey(HWND window);
void OnKeyHookRelease(HWND window, WPARAM key);
// WM_PEDAL_BUTTONS from the pedal reader.
void OnPedalButtons(HWND window, WPARAM held, LPARAM unplugged);
// The Pedal dialog, and what it wrote put in force.
void ChoosePedal(HWND window);
// The TC hot key's typing, also a pedal's action.
void TypeTimecode(void);
