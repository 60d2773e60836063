// The playback speed in the Player window: the speed keys, the remote requests, the stored
// setting at start and the title that shows a speed other than normal. Checked as the engine
// requests they make and the settings file they leave.
#include "tests/win/player/player_fixture.h"

#include "platform/quorvel.h"
#include "platform/zentrixkey.h"
#include "settings/settings.h"

using CallList = std::vector<std::string>;

namespace {

const char *const FILE_PATH = "C:\\v\\take1.avi";

std::string SpeedCall(int percent) { return "QuorvelControl(2048," + std::to_string(percent) + ")"; }

std::string StoredSpeed()
{
    char text[SPEED_READ_SIZE];
    ReadSetting(SECTION_PLAYBACK, KEY_SPEED, "(none)", text, sizeof text);
    return text;
}

std::string Title(HWND window)
{
    char text[600];
    GetWindowTextA(window, text, sizeof text);
    return text;
}

}  // namespace

// F7 slower, F8 faster, read with the file's opening; each press is stored and sent at once.
TEST_F(PlayerWindowTest, SpeedKeysStepByTenAndStopAtTheEnds)
{
    WriteIni(SECTION_PLAYBACK, KEY_SLOWER_HOTKEY, "F7");
    WriteIni(SECTION_PLAYBACK, KEY_FASTER_HOTKEY, "F8");
    WriteIni(SECTION_PLAYBACK, KEY_SPEED, "180");
    Start();
    Open(FILE_PATH);
    EXPECT_EQ(KeptKeys(), (std::vector<DWORD>{VK_F7, VK_F8, VK_F11, VK_F12}));
    struct Case {
        WPARAM key;
        int percent;
    } cases[] = {
        {VK_F8, 190}, {VK_F8, 200}, {VK_F8, 200}, {VK_F7, 190}, {VK_F7, 180},
    };
    for (const Case &c : cases) {
        ClearFakeCalls();
        SendMessageA(window_, WM_KEYHOOK_HOTKEY, c.key, 0);
        EXPECT_EQ(FakeCalls(), (CallList{SpeedCall(c.percent)})) << c.percent;
        EXPECT_EQ(StoredSpeed(), std::to_string(c.percent));
        EXPECT_EQ(Title(window_), std::string(FILE_PATH) + "   Speed " +
                                      std::to_string(c.percent) + " %");
    }
    // Down to the slowest and no further; the play state is left alone throughout.
    SetPlayState(window_, PLAY_PLAYING);
    for (int i = 0; i < 15; i++)
        SendMessageA(window_, WM_KEYHOOK_HOTKEY, VK_F7, 0);
    EXPECT_EQ(Player.speedPercent, SPEED_SLOWEST);
    EXPECT_EQ(StoredSpeed(), "50");
    EXPECT_EQ(PlayCheck(), PLAY_PLAYING);
}

// At normal speed the title is the file's name alone, exactly as without the speed.
TEST_F(PlayerWindowTest, RemoteSpeedRequestsAndAnswers)
{
    Start();
    Open(FILE_PATH);
    EXPECT_EQ(SendMessageA(window_, WM_REMOTE_CONTROL, REMOTE_QUERY_SPEED, 0), 100);
    struct Case {
        LPARAM asked;
        int percent;
        const char *title;
    } cases[] = {
        {75, 75, "C:\\v\\take1.avi   Speed 75 %"},
        {300, 200, "C:\\v\\take1.avi   Speed 200 %"},
        {-20, 50, "C:\\v\\take1.avi   Speed 50 %"},
        {100, 100, "C:\\v\\take1.avi"},
    };
    for (const Case &c : cases) {
        ClearFakeCalls();
        EXPECT_EQ(SendMessageA(window_, WM_REMOTE_CONTROL, REMOTE_SET_SPEED, c.asked), 0);
        EXPECT_EQ(FakeCalls(), (CallList{SpeedCall(c.percent)})) << c.asked;
        EXPECT_EQ(SendMessageA(window_, WM_REMOTE_CONTROL, REMOTE_QUERY_SPEED, 0), c.percent);
        EXPECT_EQ(StoredSpeed(), std::to_string(c.percent));
        EXPECT_EQ(Title(window_), c.title);
    }
}

// The stored speed is in force from the start, for the first file too; a normal speed asks
// nothing of the engine, so that a start without the setting is what it always was.
TEST_F(PlayerWindowTest, StoredSpeedIsHandedToTheEngineAtStart)
{
    WriteIni(SECTION_PLAYBACK, KEY_SPEED, "250");
    Start();
    EXPECT_EQ(Player.speedPercent, 200);
    EXPECT_EQ(Calls("QuorvelControl"), (CallList{SpeedCall(200)}));
    EXPECT_EQ(Title(window_), "Speed 200 %");
    Open(FILE_PATH);
    EXPECT_EQ(Title(window_), std::string(FILE_PATH) + "   Speed 200 %");
}

TEST_F(PlayerWindowTest, NormalStoredSpeedAsksNothingAtStart)
{
    WriteIni(SECTION_PLAYBACK, KEY_SPEED, "100");
    Start();
    EXPECT_EQ(Player.speedPercent, 100);
    EXPECT_EQ(Calls("QuorvelControl"), CallList{});
}
