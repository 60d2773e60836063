// The feet from outside, with a text window of another program in front: the hold-to-play key
// plays while held and pauses when released, and neither its presses nor its releases reach
// that window; a USB pedal, read through the reader's own thread from a named pipe this test
// writes reports into (the reader opens it as it opens a pedal), winds, plays and pauses.
#include <stdio.h>

#include <string>

#include <gtest/gtest.h>

#include "pedal/reader.h"
#include "resources/resource.h"
#include "tests/e2e/support.h"

using namespace e2e;

namespace {

const int RATE = 25, REWIND = 2 * RATE;
const char CLIP[] = "long25.mp4";  // 16 s at 25 fps
const DWORD WATCH_MS = 1500;
const WORD MARKER = VK_F8;
const char MARKER_TAP[] = "v77 ^77";

int Shown(const Player &player)
{
    return FrameOfTimecode(player.Display(), RATE);
}

// Paused by remote control and put on frame: a resume then starts there, not earlier.
void PausedAt(Player &player, int frame)
{
    EXPECT_EQ(Ctl("pause").exitCode, 0);
    EXPECT_EQ(Ctl("locate " + TimecodeOfFrame(frame, RATE)).exitCode, 0);
    EXPECT_TRUE(player.WaitForFrame(frame, RATE)) << "locate";
}

// Watches the display while playing for WATCH_MS: the lowest frame it showed, -1 for none.
int LowestPlayed(const Player &player)
{
    int lowest = -1;
    DWORD start = GetTickCount();
    WaitFor(
        [&] {
            int shown = Shown(player);
            if (player.PlayChecked() && shown >= 0 && (lowest < 0 || shown < lowest))
                lowest = shown;
            return GetTickCount() - start > WATCH_MS;
        },
        WATCH_MS * 2);
    return lowest;
}

struct KeyCase {
    const char *name;
    WORD key;
};
void PrintTo(const KeyCase &c, std::ostream *out) { *out << c.name; }

class HoldToPlay : public PlayerTest, public ::testing::WithParamInterface<KeyCase> {
protected:
    void SetUp() override
    {
        PlayerTest::SetUp();
        WriteSettings(SettingsText("25") + "[Playback]\r\nRewindOnResume=2\r\nHoldToPlayHotKey=" +
                      GetParam().name + "\r\n");
        ASSERT_TRUE(player.Start("\"" + Clip(CLIP) + "\""));
        ASSERT_TRUE(player.WaitForAdvance()) << "the display does not advance";
        ASSERT_TRUE(notes.Start(NOTES_X, NOTES_Y));
    }
    void TearDown() override
    {
        notes.Close();
        PlayerTest::TearDown();
    }
    Notes notes;
};

TEST_P(HoldToPlay, PlaysWhileHeldPausesOnReleaseAndStaysOurs)
{
    const WORD key = GetParam().key;
    PausedAt(player, 200);
    ASSERT_TRUE(notes.Activate());
    notes.Clear();

    KeyDown(key);
    EXPECT_TRUE(WaitFor([&] { return player.PlayChecked(); }, SETTLE_DEADLINE_MS))
        << "holding " << GetParam().name << " did not play";
    // The key's auto-repeat: more key-downs without a key-up, an odd number of them, so that a
    // toggle on each would leave the player paused.
    for (int i = 0; i < 3; i++)
        KeyDown(key);
    EXPECT_TRUE(WaitFor([&] { return player.PlayChecked() && Shown(player) >= 240; },
                        ADVANCE_DEADLINE_MS))
        << "not playing on while held: " << player.Display();
    KeyUp(key);
    int paused = player.WaitForPaused(TimecodeFormat{RATE, false});
    ASSERT_GE(paused, 240) << "the release did not pause: " << player.Display();

    // The second hold resumes RewindOnResume earlier than where the release paused.
    KeyDown(key);
    int from = LowestPlayed(player);
    EXPECT_GE(from, paused - REWIND);
    EXPECT_LT(from, paused - REWIND + RATE / 2) << "second hold after a pause at " << paused;
    KeyUp(key);
    EXPECT_GE(player.WaitForPaused(TimecodeFormat{RATE, false}), 0) << "second release";

    // Keys arrive in the order they were pressed: once the marker is there, anything of the
    // hold-to-play key would be there before it.
    PressKey(MARKER);
    std::string keys;
    EXPECT_TRUE(WaitFor([&] { return (keys = notes.Keys()).find(MARKER_TAP) != std::string::npos; },
                        TYPED_DEADLINE_MS))
        << keys;
    EXPECT_EQ(keys, MARKER_TAP) << "the hold-to-play key reached the window in front";
    EXPECT_EQ(notes.Text(), "");
}

INSTANTIATE_TEST_SUITE_P(Keys, HoldToPlay,
                         ::testing::Values(KeyCase{"F13", VK_F13}, KeyCase{"F9", VK_F9}),
                         [](const ::testing::TestParamInfo<KeyCase> &info) {
                             return std::string(info.param.name);
                         });

// The server end of the pipe the reader reads as a pedal.
class PedalPipe {
public:
    ~PedalPipe() { Unplug(); }
    bool Create(const std::string &path)
    {
        pipe_ = CreateNamedPipeA(path.c_str(), PIPE_ACCESS_OUTBOUND | FILE_FLAG_OVERLAPPED,
                                 PIPE_TYPE_BYTE | PIPE_WAIT, 1, PEDAL_REPORT_MOST,
                                 PEDAL_REPORT_MOST, 0, NULL);
        event_ = CreateEventA(NULL, TRUE, FALSE, NULL);
        return pipe_ != INVALID_HANDLE_VALUE && event_;
    }
    bool WaitConnected()
    {
        OVERLAPPED overlapped = {};
        overlapped.hEvent = event_;
        if (ConnectNamedPipe(pipe_, &overlapped))
            return true;
        if (GetLastError() == ERROR_PIPE_CONNECTED)
            return true;
        if (GetLastError() != ERROR_IO_PENDING)
            return false;
        if (WaitForSingleObject(event_, START_DEADLINE_MS) == WAIT_OBJECT_0)
            return true;
        CancelIo(pipe_);
        return false;
    }
    // A report as the reader's ReadFile gives it: the report number 0, then the data byte.
    bool Send(uint8_t buttons)
    {
        const int length = 3;
        uint8_t report[PEDAL_REPORT_MOST] = {0, buttons};
        OVERLAPPED overlapped = {};
        overlapped.hEvent = event_;
        DWORD written = 0;
        if (!WriteFile(pipe_, report, (DWORD)length, &written, &overlapped) &&
            GetLastError() != ERROR_IO_PENDING)
            return false;
        // Until the reader has read it, so that no two reports arrive as one read.
        return GetOverlappedResult(pipe_, &overlapped, &written, TRUE) &&
               written == (DWORD)length && FlushFileBuffers(pipe_);
    }
    // The pedal pulled out: the reader's read fails.
    void Unplug()
    {
        if (pipe_ != INVALID_HANDLE_VALUE) {
            DisconnectNamedPipe(pipe_);
            CloseHandle(pipe_);
        }
        pipe_ = INVALID_HANDLE_VALUE;
        if (event_)
            CloseHandle(event_);
        event_ = NULL;
    }

private:
    HANDLE pipe_ = INVALID_HANDLE_VALUE;
    HANDLE event_ = NULL;
};

class Pedal : public PlayerTest {
protected:
    void SetUp() override
    {
        PlayerTest::SetUp();
        snprintf(path, sizeof path, "\\\\.\\pipe\\vantorel-pedal-%lu", GetCurrentProcessId());
        ASSERT_TRUE(pipe.Create(path));
        // An Infinity pedal, read with its reports of one number byte and two data bytes.
        std::string device = std::string("05F3:00FF,3,") + path;
        SetEnvironmentVariableA(PEDAL_TEST_DEVICE_VARIABLE, device.c_str());
        WriteSettings(SettingsText("25"));
        ASSERT_TRUE(player.Start("\"" + Clip(CLIP) + "\""));
        ASSERT_TRUE(player.WaitForAdvance()) << "the display does not advance";
        ASSERT_TRUE(pipe.WaitConnected()) << "the player never opened the pedal";
    }
    void TearDown() override
    {
        SetEnvironmentVariableA(PEDAL_TEST_DEVICE_VARIABLE, NULL);
        PlayerTest::TearDown();
        pipe.Unplug();
    }
    // The pedal plugged in again: Windows tells the reader's window that devices changed.
    void PlugInAgain()
    {
        ASSERT_TRUE(pipe.Create(path));
        HWND reader = FindWindowExA(HWND_MESSAGE, NULL, "VantorelPedalReader", NULL);
        ASSERT_TRUE(reader) << "no reader window";
        DWORD_PTR ignored = 0;
        SendMessageTimeoutA(reader, WM_DEVICECHANGE, 0x0007 /* DBT_DEVNODES_CHANGED */, 0,
                            SMTO_NORMAL, TYPED_DEADLINE_MS, &ignored);
        ASSERT_TRUE(pipe.WaitConnected()) << "the pedal plugged in again was not opened";
    }
    PedalPipe pipe;
    char path[64] = "";
};

TEST_F(Pedal, DefaultButtonsWindPlayAndPauseAndAnUnplugWhileHeldPauses)
{
    PausedAt(player, 200);

    ASSERT_TRUE(pipe.Send(PEDAL_LEFT));
    EXPECT_TRUE(WaitFor([&] { int n = Shown(player); return n >= 0 && n < 180; },
                        ADVANCE_DEADLINE_MS))
        << "left held did not wind back: " << player.Display();
    ASSERT_TRUE(pipe.Send(0));
    int paused = player.WaitForPaused(TimecodeFormat{RATE, false});
    EXPECT_GE(paused, 0) << "left released: not paused " << player.Display();
    EXPECT_LT(paused, 180);
    PausedAt(player, 100);

    ASSERT_TRUE(pipe.Send(PEDAL_MIDDLE));
    EXPECT_TRUE(WaitFor([&] { return player.PlayChecked() && Shown(player) > 120; },
                        ADVANCE_DEADLINE_MS))
        << "middle held did not play: " << player.Display();
    ASSERT_TRUE(pipe.Send(0));
    paused = player.WaitForPaused(TimecodeFormat{RATE, false});
    EXPECT_GT(paused, 120) << "middle released: not paused " << player.Display();

    ASSERT_TRUE(pipe.Send(PEDAL_RIGHT));
    EXPECT_TRUE(WaitFor([&] { return !player.PlayChecked() && Shown(player) > paused + 40; },
                        ADVANCE_DEADLINE_MS))
        << "right held did not wind forward from " << paused << ": " << player.Display();
    ASSERT_TRUE(pipe.Send(0));
    EXPECT_GE(player.WaitForPaused(TimecodeFormat{RATE, false}), paused + 40)
        << "right released: not paused " << player.Display();
    PausedAt(player, 100);

    // Held to play, and pulled out.
    ASSERT_TRUE(pipe.Send(PEDAL_MIDDLE));
    EXPECT_TRUE(WaitFor([&] { return player.PlayChecked() && Shown(player) > 110; },
                        ADVANCE_DEADLINE_MS))
        << "middle held did not play: " << player.Display();
    pipe.Unplug();
    int unplugged = player.WaitForPaused(TimecodeFormat{RATE, false});
    EXPECT_GE(unplugged, 110) << "unplugged while held: not paused " << player.Display();

    PlugInAgain();
    ASSERT_TRUE(pipe.Send(PEDAL_MIDDLE));
    EXPECT_TRUE(WaitFor([&] { return player.PlayChecked() && Shown(player) > unplugged + 10; },
                        ADVANCE_DEADLINE_MS))
        << "middle held after plugging in again did not play: " << player.Display();
    ASSERT_TRUE(pipe.Send(0));
    EXPECT_GE(player.WaitForPaused(TimecodeFormat{RATE, false}), 0);
}

// The Pedal dialog names the pedal and lights the button held, while the pedal goes on acting.
TEST_F(Pedal, DialogShowsThePedalAndTheButtonHeld)
{
    PausedAt(player, 100);
    PostMessageA(player.Window(), WM_COMMAND, IDM_PEDAL, 0);
    HWND dialog = player.WaitForDialog("Pedal");
    ASSERT_TRUE(dialog);
    auto text = [&](int id) {
        char buffer[128] = "";
        DWORD_PTR ignored = 0;
        SendMessageTimeoutA(GetDlgItem(dialog, id), WM_GETTEXT, sizeof buffer, (LPARAM)buffer,
                            SMTO_NORMAL, TYPED_DEADLINE_MS, &ignored);
        return std::string(buffer);
    };
    EXPECT_TRUE(WaitFor([&] { return text(IDC_PD_MODEL) == "Pedal: VEC Infinity IN-USB"; },
                        SETTLE_DEADLINE_MS))
        << text(IDC_PD_MODEL);
    EXPECT_EQ(text(IDC_PD_LEFT), "Rewind");
    EXPECT_EQ(text(IDC_PD_MIDDLE), "HoldToPlay");
    EXPECT_EQ(text(IDC_PD_RIGHT), "FastForward");

    ASSERT_TRUE(pipe.Send(PEDAL_RIGHT));
    EXPECT_TRUE(WaitFor([&] { return !text(IDC_PD_RIGHT_HELD).empty(); }, SETTLE_DEADLINE_MS))
        << "the right button's light";
    EXPECT_EQ(text(IDC_PD_MIDDLE_HELD), "");
    EXPECT_EQ(text(IDC_PD_LEFT_HELD), "");
    ASSERT_TRUE(pipe.Send(0));
    EXPECT_TRUE(WaitFor([&] { return text(IDC_PD_RIGHT_HELD).empty(); }, SETTLE_DEADLINE_MS))
        << "the light stays on after the release";
    EXPECT_GE(player.WaitForPaused(TimecodeFormat{RATE, false}), 100)
        << "the right button's wind did not end paused";
    PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(dialog); }, SETTLE_DEADLINE_MS));
}

}  // namespace
