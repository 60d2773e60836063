// What the [Playback] settings change in the Player window: the resume that starts a little
// earlier, and the jump keys. Checked as the sequences of engine requests they make.
#include "tests/win/player/player_fixture.h"

#include "platform/quorvel.h"
#include "platform/zentrixkey.h"
#include "resources/resource.h"
#include "settings/settings.h"

using CallList = std::vector<std::string>;

namespace {

const char *const Seek250 = "QuorvelControl(256,250)";
const char *const Play = "QuorvelControl(1,0)";

}  // namespace

// Each case: playing at 25 fps from the report of frame 300, paused by F11, something done while
// paused, then F11 again; RewindOnResume is 2 s.
TEST_F(PlayerWindowTest, ResumeStartsEarlierOnlyWherePaused)
{
    Start();
    WriteIni(SECTION_PLAYBACK, KEY_REWIND_ON_RESUME, "2");
    HWND w = window_;
    struct Case {
        const char *name;
        int32_t pausedAt;
        std::function<void()> whilePaused;
        CallList resume;
    } cases[] = {
        {"untouched", 300, [] {}, {Seek250, Play}},
        {"near the start", 30, [] {}, {"QuorvelControl(256,0)", Play}},
        {"exactly 2 s in", 50, [] {}, {"QuorvelControl(256,0)", Play}},
        {"a report of the same frame", 300, [] { SendFakeEngineReport(300); }, {Seek250, Play}},
        {"locate", 300,
         [w] {
             SendMessageA(w, WM_REMOTE_CONTROL, REMOTE_LOCATE, 0x00000400);  // 4 s: frame 100
             SendFakeEngineReport(100);
         },
         {Play}},
        {"remote step", 300, [w] { SendMessageA(w, WM_REMOTE_CONTROL, REMOTE_STEP, 1); }, {Play}},
        {"arrow key", 300, [w] { SendMessageA(w, WM_COMMAND, ID_KEYFORWARD, VK_LEFT); }, {Play}},
        {"slider", 300, [w] { SendMessageA(w, WM_COMMAND, IDC_TRACKER, 40); }, {Play}},
        {"stop", 300, [w] { SendMessageA(w, WM_COMMAND, IDC_STOP, 0); }, {Play}},
        {"wind", 300, [w] { SendMessageA(w, WM_REMOTE_CONTROL, REMOTE_REWIND, 0); }, {Play}},
        {"end of the media", 300,
         [w] { SendMessageA(w, WM_ENGINE_NOTIFY, ENGINE_NOTIFY_PAUSED, 300); }, {Play}},
    };
    for (const Case &c : cases) {
        SendMessageA(window_, WM_COMMAND, IDC_PLAY, 0);
        ASSERT_EQ(Player.playState, PLAY_PLAYING) << c.name;
        SendFakeEngineReport(c.pausedAt);
        SendMessageA(window_, WM_KEYHOOK_HOTKEY, VK_F11, 0);
        ASSERT_EQ(Player.playState, PLAY_STOPPED) << c.name;
        c.whilePaused();
        ClearFakeCalls();
        SendMessageA(window_, WM_KEYHOOK_HOTKEY, VK_F11, 0);
        EXPECT_EQ(FakeCalls(), c.resume) << c.name;
        EXPECT_EQ(PlayCheck(), PLAY_PLAYING) << c.name;
        // The next pause and resume start from the same kind of pause again.
        SendMessageA(window_, WM_KEYHOOK_HOTKEY, VK_F11, 0);
    }
}

TEST_F(PlayerWindowTest, ResumeRewindReadAtEachResumeWithTheOffsetAndRemotePause)
{
    Start();
    Player.tcOffset = 3600 * 25;  // the rewind counts media frames, not labels
    struct Case {
        const char *setting;  // NULL: no key
        CallList resume;
    } cases[] = {
        {NULL, {Play}},
        {"0", {Play}},
        {"0.5", {"QuorvelControl(256,287)", Play}},  // 12.5 frames: 13
        {"10", {"QuorvelControl(256,50)", Play}},
        {"30", {"QuorvelControl(256,50)", Play}},   // clamped to 10
        {"-4", {Play}},
        {"x", {Play}},
    };
    for (const Case &c : cases) {
        WriteIni(SECTION_PLAYBACK, KEY_REWIND_ON_RESUME, c.setting);
        SendMessageA(window_, WM_REMOTE_CONTROL, REMOTE_PLAY, 0);
        SendFakeEngineReport(300);
        SendMessageA(window_, WM_REMOTE_CONTROL, REMOTE_PAUSE, 0);
        ClearFakeCalls();
        SendMessageA(window_, WM_REMOTE_CONTROL, REMOTE_PLAY, 0);
        EXPECT_EQ(FakeCalls(), c.resume) << (c.setting ? c.setting : "(none)");
    }
    // A pause from winding is no pause where playing stopped: the wind put the position there.
    WriteIni(SECTION_PLAYBACK, KEY_REWIND_ON_RESUME, "2");
    SendMessageA(window_, WM_REMOTE_CONTROL, REMOTE_FORWARD, 0);
    SendMessageA(window_, WM_REMOTE_CONTROL, REMOTE_PAUSE, 0);
    ClearFakeCalls();
    SendMessageA(window_, WM_COMMAND, IDC_PLAY, 0);
    EXPECT_EQ(FakeCalls(), (CallList{Play}));
}

// JumpSeconds 5 at 25 fps: 125 frames; F5 back, F6 forward, read with the file's opening.
TEST_F(PlayerWindowTest, JumpKeysMoveByJumpSecondsWithinTheMedia)
{
    WriteIni(SECTION_PLAYBACK, KEY_JUMP_BACK_HOTKEY, "F5");
    WriteIni(SECTION_PLAYBACK, KEY_JUMP_FORWARD_HOTKEY, "F6");
    Start();
    EXPECT_EQ(Player.jumpBackHotKey, 0);  // until a file is opened
    Open("C:\\v\\take1.avi");
    EXPECT_EQ(KeptKeys(), (std::vector<DWORD>{VK_F5, VK_F6, VK_F11, VK_F12}));
    SetFakeEngineLength(5000);
    const char *const query = "QuorvelControl(-32767,0)";
    struct Case {
        int stateBefore;
        int32_t frame;
        WPARAM key;
        CallList calls;
        int stateAfter;
    } cases[] = {
        {PLAY_STOPPED, 1000, VK_F5, {query, "QuorvelControl(256,875)"}, PLAY_STOPPED},
        {PLAY_STOPPED, 1000, VK_F6, {query, "QuorvelControl(256,1125)"}, PLAY_STOPPED},
        {PLAY_STOPPED, 100, VK_F5, {query, "QuorvelControl(256,0)"}, PLAY_STOPPED},
        {PLAY_STOPPED, 125, VK_F5, {query, "QuorvelControl(256,0)"}, PLAY_STOPPED},
        {PLAY_STOPPED, 4900, VK_F6, {query, "QuorvelControl(256,4999)"}, PLAY_STOPPED},
        {PLAY_STOPPED, 4874, VK_F6, {query, "QuorvelControl(256,4999)"}, PLAY_STOPPED},
        {PLAY_STOPPED, 4873, VK_F6, {query, "QuorvelControl(256,4998)"}, PLAY_STOPPED},
        {PLAY_PLAYING, 1000, VK_F5, {query, "QuorvelControl(256,875)", Play}, PLAY_PLAYING},
        {PLAY_PLAYING, 4950, VK_F6, {query, "QuorvelControl(256,4999)", Play}, PLAY_PLAYING},
        {PLAY_WINDING, 1000, VK_F6, {query, "QuorvelControl(256,1125)"}, PLAY_STOPPED},
        {PLAY_STOPPED, 1000, VK_F7, {}, PLAY_STOPPED},  // not a jump key
    };
    for (const Case &c : cases) {
        SetPlayState(window_, c.stateBefore);
        SendFakeEngineReport(c.frame);
        ClearFakeCalls();
        SendMessageA(window_, WM_KEYHOOK_HOTKEY, c.key, 0);
        EXPECT_EQ(FakeCalls(), c.calls) << c.frame << " key " << c.key;
        EXPECT_EQ(PlayCheck(), c.stateAfter) << c.frame << " key " << c.key;
    }

    // JumpSeconds is read at each jump, and counts in the file's own frames.
    WriteIni(SECTION_PLAYBACK, KEY_JUMP_SECONDS, "60");
    Player.timecodeRate = 30;
    SetPlayState(window_, PLAY_STOPPED);
    SendFakeEngineReport(2000);
    ClearFakeCalls();
    SendMessageA(window_, WM_KEYHOOK_HOTKEY, VK_F5, 0);
    EXPECT_EQ(FakeCalls(), (CallList{query, "QuorvelControl(256,200)"}));
}

// A jump while paused is the user moving the position: the resume starts there.
TEST_F(PlayerWindowTest, ResumeAfterAJumpStartsAtTheJump)
{
    Start();
    WriteIni(SECTION_PLAYBACK, KEY_REWIND_ON_RESUME, "2");
    Player.jumpForwardHotKey = VK_F6;
    SetFakeEngineLength(5000);
    SendMessageA(window_, WM_COMMAND, IDC_PLAY, 0);
    SendFakeEngineReport(300);
    SendMessageA(window_, WM_COMMAND, IDC_PLAY, 0);
    SendMessageA(window_, WM_KEYHOOK_HOTKEY, VK_F6, 0);
    SendFakeEngineReport(425);
    ClearFakeCalls();
    SendMessageA(window_, WM_COMMAND, IDC_PLAY, 0);
    EXPECT_EQ(FakeCalls(), (CallList{Play}));
}
