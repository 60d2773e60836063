// What the end-to-end tests share: starting and ending Zentrix.exe and the text window, the
// settings file of the test prefix, zentrixctl, the display text, the frame number in the
// picture, injected keys, the Options and Decoder dialogs driven from outside.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "timecode/timecode.h"

namespace e2e {

enum {
    START_DEADLINE_MS = 30000,   // a cold Wine start of the player and its graph
    ADVANCE_DEADLINE_MS = 15000,
    SETTLE_DEADLINE_MS = 8000,   // a paused seek to its picture
    TYPED_DEADLINE_MS = 5000,
    EXIT_DEADLINE_MS = 15000,
    PROBE_TIMEOUT_MS = 3000,     // the stall probe's longest wait for one answer
    PROBE_PAUSE_MS = 20,
};

// Where the notes window goes: clear of the Player window at 20,100 480x400.
const int NOTES_X = 620, NOTES_Y = 120;
// The NTSC rate, 30000/1001, numbered in drop-frame timecode.
const TimecodeFormat DROP_FRAME_30 = {30, true};

// Pumps this thread's queue and polls until condition() holds or the deadline passes.
template <class F> bool WaitFor(F condition, DWORD deadlineMs)
{
    DWORD start = GetTickCount();
    for (;;) {
        if (condition())
            return true;
        if (GetTickCount() - start > deadlineMs)
            return false;
        MSG msg;
        while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE))
            DispatchMessageA(&msg);
        Sleep(10);
    }
}

// A file name as a test's name: every character but letters and digits becomes '_'.
std::string TestNameOf(std::string fileName);

// Windows paths of a generated clip and of a file in the tests' own scratch folder.
std::string Clip(const char *name);
std::string WorkPath(const std::string &name);
std::wstring WideClip(const std::wstring &name);
// The folder of the test programs, where Zentrix.exe and zentrixctl.exe are built.
std::string BinPath(const char *name);

// The program's settings file in the test prefix's application-data folder.
std::string SettingsPath();
void WriteSettings(const std::string &content);  // the whole file, bytes as given
void DeleteSettings();
std::string ReadSettingsValue(const char *section, const char *key);

// A running Zentrix.exe of this test. Destroying it kills the process when it still runs.
class Player {
public:
    Player() = default;
    Player(const Player &) = delete;
    Player &operator=(const Player &) = delete;
    ~Player() { Kill(); }

    // Starts Zentrix.exe with the text after the program name as its command line, and waits
    // for its window. False when the process or its window did not come up.
    bool Start(const std::string &arguments);
    bool Start(const std::wstring &arguments);  // a command line in any script
    HWND Window() const { return window_; }
    DWORD Pid() const { return pi_.dwProcessId; }
    bool Running() const;
    // Waits for the process to end; its exit code, or STILL_ACTIVE when it did not end.
    DWORD WaitForExit(DWORD deadlineMs);
    void Kill();

    std::string Title() const;
    std::wstring WideTitle() const;  // as other programs read it, in full Unicode
    std::string Display() const;  // the TCDisplay text "HH:MM:SS:FF"
    // The play button's check state mirrors playing; both false when the player does not answer.
    bool PlayChecked() const;
    bool PlayUnchecked() const;
    // The frame number in the picture on screen, -1 when no numbered picture is shown.
    int PictureFrame() const;

    bool WaitForAdvance(DWORD deadlineMs = ADVANCE_DEADLINE_MS) const;
    // Waits until the player says it is paused (its play button is up) and the display and the
    // picture show the same frame; that frame, -1 on deadline.
    int WaitForPaused(TimecodeFormat format, DWORD deadlineMs = SETTLE_DEADLINE_MS) const;
    // Waits until display and picture both show frame (at the timecode rate); prints both.
    ::testing::AssertionResult WaitForFrame(int frame, int rate,
                                            DWORD deadlineMs = SETTLE_DEADLINE_MS) const;
    ::testing::AssertionResult WaitForFrame(int frame, TimecodeFormat format,
                                            DWORD deadlineMs = SETTLE_DEADLINE_MS) const;
    // The text the engine shows in the video area ("Cannot open ..."), "" when none.
    std::string VideoMessage() const;
    // Brings the window to the front with the keyboard.
    bool Activate() const;

    // The Options dialog opened from outside: selects the two typing options and confirms.
    bool SetTypingOptions(const char *appendSign, const char *showFrames) const;
    // Likewise the two hot keys, by name ("F9", "-").
    bool SetHotKeys(const char *tcKey, const char *startStopKey) const;
    // Likewise the TC offset of the file, typed into its field ("01:00:00:00").
    bool SetTcOffset(const char *offset) const;
    // The Decoder dialog: chooses the item (or the first decoder when empty) and confirms.
    // The chosen name, "" when the dialog could not be driven.
    std::string ChooseDecoder(const char *preferred) const;
    // A dialog of this process: class #32770 with the title, once it is up.
    HWND WaitForDialog(const char *title) const;

private:
    struct OptionChoice {
        int id;
        const char *item;
    };
    bool ChooseOptions(const OptionChoice *choices, int count) const;
    PROCESS_INFORMATION pi_ = {};
    HWND window_ = NULL;
};

// zentrixctl ARGS: its exit code (-1 when it did not end) and what it printed, trimmed.
struct CtlResult {
    int exitCode;
    std::string output;
};
CtlResult Ctl(const std::string &arguments);

// "HH:MM:SS:FF" at a timecode rate to a frame number and back; -1 for a malformed text. The
// format forms number the SMPTE way at drop-frame formats and write ';' before their frames; they
// read either separator. zentrixctl, which cannot know the rate, always prints ':'.
int FrameOfTimecode(const std::string &text, int rate);
std::string TimecodeOfFrame(int frame, int rate);
int FrameOfTimecode(const std::string &text, TimecodeFormat format);
std::string TimecodeOfFrame(int frame, TimecodeFormat format);
std::string ColonForm(std::string text);

// The text window of another process (e2e_notes.exe).
class Notes {
public:
    Notes() = default;
    Notes(const Notes &) = delete;
    Notes &operator=(const Notes &) = delete;
    ~Notes() { Close(); }
    bool Start(int x, int y);
    void Close();
    bool Activate() const;  // in front, its edit control with the keyboard focus
    std::string Text() const;
    // The key messages its edit control received: "v7B ^7B" for a tap of F12.
    std::string Keys() const;
    // When each of those messages entered the input queue, in milliseconds (GetMessageTime).
    std::vector<DWORD> KeyTimes() const;
    void Clear() const;  // the text, the keys and their times
    // In front and emptied, then key pressed: the text typed, read once it is length characters
    // long or at the typing deadline; "" when it could not be brought to the front.
    std::string TypedAfter(WORD key, size_t length) const;
    HWND Window() const { return frame_; }

private:
    PROCESS_INFORMATION pi_ = {};
    HWND frame_ = NULL, edit_ = NULL, keys_ = NULL, times_ = NULL;
};

// Settings for a test: the frame rate of every file and the Player window's place.
std::string SettingsText(const char *frameRate, const char *placement = "20,100,480,400");

// Every test starts from a settings file of its own and leaves no player running.
class PlayerTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    // Settings for the rate, then the player on the file; fails the test when it does not start.
    void StartOn(const std::string &file, const char *frameRate);
    // Pauses by remote control and waits until display and picture agree; the frame.
    int PauseAndSettle(int rate);
    int PauseAndSettle(TimecodeFormat format);
    Player player;
};

// The player playing a clip at 30 fps and, clear of it, the text window of another program for
// the hot keys to type into.
class PlayerAndNotesTest : public PlayerTest {
protected:
    void StartWithNotes(const char *clip);
    void TearDown() override;
    Notes notes;
};

// Keeps sending the Player window a message that needs its thread, and notes the longest wait.
class StallProbe {
public:
    explicit StallProbe(HWND window) : window_(window), thread_([this] { Run(); }) {}
    ~StallProbe() { Stop(); }
    DWORD Stop()
    {
        stop_ = true;
        if (thread_.joinable())
            thread_.join();
        return longest_;
    }

private:
    void Run()
    {
        while (!stop_) {
            DWORD start = GetTickCount();
            DWORD_PTR result = 0;
            SendMessageTimeoutA(window_, WM_NULL, 0, 0, SMTO_NORMAL, PROBE_TIMEOUT_MS, &result);
            DWORD waited = GetTickCount() - start;
            if (waited > longest_)
                longest_ = waited;
            Sleep(PROBE_PAUSE_MS);
        }
    }
    HWND window_;
    std::atomic<bool> stop_{false};
    std::atomic<DWORD> longest_{0};
    std::thread thread_;
};

// Key strokes through SendInput, as a keyboard would give them.
void KeyDown(WORD key);
void KeyUp(WORD key);
void PressKey(WORD key);

}  // namespace e2e
