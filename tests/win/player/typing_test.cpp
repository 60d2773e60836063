// The hot keys through real input: the keys the TC hot key types, recorded by a low-level
// keyboard hook of the test, and the text an edit control in front ends up holding.
#include <atomic>
#include <mutex>
#include <thread>

#include "tests/win/player/player_fixture.h"

#include "platform/zentrixkey.h"
#include "player/keystrokes.h"
#include "player/stamps.h"
#include "tests/win/player/keystroke_text.h"
#include "resources/resource.h"
#include "settings/keys.h"
#include "timecode/timecode.h"

namespace {

std::mutex recordLock;
std::vector<KeyStroke> recorded;

LRESULT CALLBACK RecordKeys(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HC_ACTION) {
        const KBDLLHOOKSTRUCT *key = (const KBDLLHOOKSTRUCT *)lParam;
        if (key->flags & LLKHF_INJECTED) {
            std::lock_guard<std::mutex> hold(recordLock);
            bool up = (key->flags & LLKHF_UP) != 0;
            if (key->vkCode == VK_PACKET)  // a character typed as itself
                recorded.push_back({0, up, (uint16_t)key->scanCode});
            else
                recorded.push_back({(uint8_t)key->vkCode, up, 0});
        }
    }
    return CallNextHookEx(NULL, code, wParam, lParam);
}

// A low-level hook needs a thread that waits for messages.
class KeyRecorder {
public:
    KeyRecorder()
    {
        thread_ = std::thread([this] {
            HHOOK hook = SetWindowsHookExA(WH_KEYBOARD_LL, RecordKeys, GetModuleHandleA(NULL), 0);
            threadId_ = GetCurrentThreadId();
            ready_ = true;
            MSG msg;
            while (GetMessageA(&msg, NULL, 0, 0) > 0)
                DispatchMessageA(&msg);
            UnhookWindowsHookEx(hook);
        });
        while (!ready_)
            Sleep(1);
        Clear();
    }
    ~KeyRecorder()
    {
        PostThreadMessageA(threadId_, WM_QUIT, 0, 0);
        thread_.join();
    }
    void Clear()
    {
        std::lock_guard<std::mutex> hold(recordLock);
        recorded.clear();
    }
    std::vector<KeyStroke> Keys()
    {
        std::lock_guard<std::mutex> hold(recordLock);
        return recorded;
    }

private:
    std::thread thread_;
    std::atomic<bool> ready_{false};
    DWORD threadId_ = 0;
};

// A text window of the test in front, so the typed keys land in an edit control.
struct TextWindow {
    HWND frame, edit;
    TextWindow()
    {
        frame = CreateWindowExA(0, "STATIC", "text", WS_POPUP | WS_VISIBLE, 400, 400, 300, 100,
                                NULL, NULL, GetModuleHandleA(NULL), NULL);
        edit = CreateWindowExA(0, "EDIT", "", WS_CHILD | WS_VISIBLE | ES_MULTILINE, 0, 0, 300, 100,
                               frame, NULL, GetModuleHandleA(NULL), NULL);
        SetForegroundWindow(frame);
        SetFocus(edit);
    }
    ~TextWindow() { DestroyWindow(frame); }
    std::string Text()
    {
        char text[256] = "";
        GetWindowTextA(edit, text, sizeof text);
        return text;
    }
};

// Every SendInput of the typing code: the keys it carried, and then SendInput itself.
std::vector<std::vector<INPUT>> sendCalls;

UINT WINAPI CountingSendInput(UINT count, INPUT *inputs, int size)
{
    sendCalls.emplace_back(inputs, inputs + count);
    return SendOwnKeys(count, inputs, size);
}

int16_t ScanInForegroundLayout(uint16_t ch, void *)
{
    HKL layout = GetKeyboardLayout(GetWindowThreadProcessId(GetForegroundWindow(), NULL));
    return VkKeyScanExW(ch, layout);
}

}  // namespace

class TypingTest : public PlayerWindowTest {
protected:
    void SetUp() override
    {
        PlayerWindowTest::SetUp();
        sendCalls.clear();
        TypingSendInput = CountingSendInput;
    }
    void TearDown() override
    {
        TypingSendInput = SendOwnKeys;
        PlayerWindowTest::TearDown();
    }
    std::vector<KeyStroke> Expected(int frames, int append)
    {
        char tc[16];
        FormatTimecode(tc, UnpackTimecode(Player.currentTimecode, Player.timecodeFormat),
                       Player.timecodeFormat);
        KeyStroke strokes[MAX_TIMECODE_KEYSTROKES];
        int n = TimecodeKeystrokes(tc, frames, append, ScanInForegroundLayout, NULL, strokes);
        return std::vector<KeyStroke>(strokes, strokes + n);
    }
};

TEST_F(TypingTest, TcHotKeyTypesTheTimecodeInEachMode)
{
    Start();
    KeyRecorder recorder;
    TextWindow text;
    // 1 h 2 min 3 s 4 frames at 25.
    Player.tcOffset = 3600 * 25 + 2 * 60 * 25 + 3 * 25 + 4;
    SendMessageA(window_, 0x7FFF, 1024, 0);
    struct Case {
        int frames, append;
        const char *typed;
    } cases[] = {
        {SHOW_FRAMES_YES, APPEND_SPACE, "01:02:03:04 "},
        {SHOW_FRAMES_NO, APPEND_SPACE, "01:02:03 "},
        {SHOW_FRAMES_ZERO, APPEND_TAB, "01:02:03:00\t"},
        {SHOW_FRAMES_YES, APPEND_CRLF, "01:02:03:04\r\n"},
        {SHOW_FRAMES_YES, APPEND_NOT, "01:02:03:04"},
    };
    for (const Case &c : cases) {
        Player.showFramesMode = c.frames;
        Player.appendSignMode = c.append;
        SetWindowTextA(text.edit, "");
        recorder.Clear();
        std::vector<KeyStroke> expected = Expected(c.frames, c.append);
        sendCalls.clear();
        SendMessageA(window_, WM_KEYHOOK_HOTKEY, VK_F12, 0);
        PumpUntil([&] { return recorder.Keys().size() >= expected.size(); });
        PumpUntil([&] { return text.Text().size() >= strlen(c.typed); }, 2000);
        EXPECT_EQ(Describe(recorder.Keys()), Describe(expected)) << c.typed;
        EXPECT_EQ(text.Text(), c.typed);
        // One SendInput for the whole timecode, each key marked as ours for the key hook.
        ASSERT_EQ(sendCalls.size(), 1u) << c.typed;
        EXPECT_EQ(sendCalls[0].size(), expected.size()) << c.typed;
        for (const INPUT &input : sendCalls[0])
            EXPECT_EQ(input.ki.dwExtraInfo, KEYHOOK_OWN_INPUT) << c.typed;
    }
}

// The hot key types what the display shows: real seconds at 60, ';' before drop-frame frames.
TEST_F(TypingTest, TcHotKeyTypesTheFilesNumbering)
{
    Start();
    KeyRecorder recorder;
    TextWindow text;
    struct Case {
        TimecodeFormat format;
        int32_t frame;
        int frames, append;
        const char *typed;
    } cases[] = {
        {{60, false}, 90, SHOW_FRAMES_YES, APPEND_SPACE, "00:00:01:30 "},
        {{30, true}, 1800, SHOW_FRAMES_YES, APPEND_SPACE, "00:01:00;02 "},
        {{60, true}, 3600, SHOW_FRAMES_ZERO, APPEND_NOT, "00:01:00;00"},
        {{30, true}, 1800, SHOW_FRAMES_NO, APPEND_NOT, "00:01:00"},
    };
    for (const Case &c : cases) {
        Player.timecodeFormat = c.format;
        Player.tcOffset = 0;
        SendMessageA(window_, 0x7FFF, 1024, c.frame);
        Player.showFramesMode = c.frames;
        Player.appendSignMode = c.append;
        SetWindowTextA(text.edit, "");
        recorder.Clear();
        std::vector<KeyStroke> expected = Expected(c.frames, c.append);
        SendMessageA(window_, WM_KEYHOOK_HOTKEY, VK_F12, 0);
        PumpUntil([&] { return recorder.Keys().size() >= expected.size(); });
        PumpUntil([&] { return text.Text().size() >= strlen(c.typed); }, 2000);
        EXPECT_EQ(Describe(recorder.Keys()), Describe(expected)) << c.typed;
        EXPECT_EQ(text.Text(), c.typed);
    }
}

// The [Stamp] values in force: the template's text, or the designed form, LagSeconds earlier
// and never before the first frame, in one SendInput.
TEST_F(TypingTest, TcHotKeyTypesTheStampTemplateLagSecondsEarlier)
{
    Start();
    TextWindow text;
    struct Case {
        const char *templateText;
        double lag;
        int32_t frame, offset;
        const char *typed;
    } cases[] = {
        {"", 2, 1000, 0, "00:00:38:00"},  // 40 s, less 2 s at 25 fps
        {"", 0.5, 5, 0, "00:00:00:00"},
        {"", 0, 1000, 0, "00:00:40:00"},
        {"[{HH}:{MM}:{SS}.{FF}]", 1, 1000, 90000, "[01:00:39.00]"},
        {"#{HH}:{MM}:{SS}-{T}#", 0, 1012, 0, "#00:00:40-4#"},  // 40.48 s
        {"{TC}{TAB}{HH}", 0.25, 10, 0, "00:00:00:04\t00"},
    };
    for (const Case &c : cases) {
        lstrcpynA(Stamps.templateText, c.templateText, sizeof Stamps.templateText);
        Stamps.lagSeconds = c.lag;
        Stamps.frameRate = 25;
        Player.tcOffset = c.offset;
        Player.showFramesMode = SHOW_FRAMES_YES;
        Player.appendSignMode = APPEND_NOT;
        SendMessageA(window_, 0x7FFF, 1024, c.frame);
        SetWindowTextA(text.edit, "");
        sendCalls.clear();
        SendMessageA(window_, WM_KEYHOOK_HOTKEY, VK_F12, 0);
        PumpUntil([&] { return text.Text().size() >= strlen(c.typed); }, 2000);
        EXPECT_EQ(text.Text(), c.typed) << c.templateText << " lag " << c.lag;
        EXPECT_EQ(sendCalls.size(), 1u) << c.templateText;
    }
    Stamps.templateText[0] = '\0';
    Stamps.lagSeconds = 0;
}

TEST_F(TypingTest, NegativePositionIsTypedAsItsMagnitude)
{
    Start();
    KeyRecorder recorder;
    TextWindow text;
    Player.tcOffset = -250;
    SendMessageA(window_, 0x7FFF, 1024, 0);
    SendMessageA(window_, WM_KEYHOOK_HOTKEY, VK_F12, 0);
    PumpUntil([&] { return text.Text().size() >= 12; }, 3000);
    EXPECT_EQ(text.Text(), "00:00:10:00 ");
}

TEST_F(TypingTest, WhichKeysActBeforeAndAfterTheFirstFile)
{
    WriteIni(SECTION_OPTIONS, KEY_TC_HOTKEY, "F2");
    WriteIni(SECTION_OPTIONS, KEY_STARTSTOP_HOTKEY, "F2");
    // The text window is this program's own, so a typed blank would also reach the Player
    // window as the play key; the settings file asks for no append sign.
    WriteIni(SECTION_OPTIONS, KEY_APPEND_KEY_SIGN, "NOT");
    Start();
    KeyRecorder recorder;
    TextWindow text;
    // Before any file: F12 and F11, whatever the settings file says.
    SendMessageA(window_, WM_KEYHOOK_HOTKEY, VK_F11, 0);
    EXPECT_EQ(Player.playState, 1);
    SendMessageA(window_, WM_KEYHOOK_HOTKEY, VK_F2, 0);
    PumpPending();
    EXPECT_TRUE(recorder.Keys().empty());
    EXPECT_EQ(Player.playState, 1);
    SendMessageA(window_, WM_KEYHOOK_HOTKEY, VK_F12, 0);
    PumpUntil([&] { return text.Text().size() >= 12; }, 3000);
    EXPECT_EQ(text.Text(), "00:00:00:00 ");

    // After the first file: both on F2, so one press toggles, then types.
    Open("C:\\v\\keys.mp4");
    SetForegroundWindow(text.frame);
    SetFocus(text.edit);
    SetWindowTextA(text.edit, "");
    recorder.Clear();
    ClearFakeCalls();
    int toggledAtFirstKey = -1;
    SetFakeCallObserver([&](const std::string &) {
        if (toggledAtFirstKey < 0)
            toggledAtFirstKey = (int)recorder.Keys().size();
    });
    SendMessageA(window_, WM_KEYHOOK_HOTKEY, VK_F2, 0);
    PumpUntil([&] { return text.Text().size() >= 11; }, 3000);
    PumpPending();
    EXPECT_EQ(FakeCalls(), (std::vector<std::string>{"QuorvelControl(4,0)"}));
    EXPECT_EQ(toggledAtFirstKey, 0);
    EXPECT_EQ(text.Text(), "00:00:00:00");
    recorder.Clear();
    SendMessageA(window_, WM_KEYHOOK_HOTKEY, VK_F12, 0);
    PumpPending();
    EXPECT_TRUE(recorder.Keys().empty());
}

TEST_F(TypingTest, DisabledTcHotKeyTypesNothing)
{
    WriteIni(SECTION_OPTIONS, KEY_TC_HOTKEY, "-");
    Start();
    Open("C:\\v\\none.mp4");
    KeyRecorder recorder;
    EXPECT_EQ(Player.tcHotKey, 0);
    SendMessageA(window_, WM_KEYHOOK_HOTKEY, VK_F12, 0);
    SendMessageA(window_, WM_KEYHOOK_HOTKEY, 0, 0);
    PumpPending();
    EXPECT_TRUE(recorder.Keys().empty());
}

TEST_F(TypingTest, HookKeepsTheHotKeysInForce)
{
    WriteIni(SECTION_OPTIONS, KEY_TC_HOTKEY, "F2");
    WriteIni(SECTION_OPTIONS, KEY_STARTSTOP_HOTKEY, "-");
    Start();
    // Before any file, the initial keys whatever the settings file says.
    EXPECT_EQ(KeptKeys(), (std::vector<DWORD>{VK_F11, VK_F12}));
    Open("C:\\v\\kept.mp4");
    EXPECT_EQ(KeptKeys(), (std::vector<DWORD>{VK_F2}));
    WriteIni(SECTION_OPTIONS, KEY_STARTSTOP_HOTKEY, "F2");
    Open("C:\\v\\kept.mp4");
    EXPECT_EQ(KeptKeys(), (std::vector<DWORD>{VK_F2}));
    WriteIni(SECTION_OPTIONS, KEY_TC_HOTKEY, "F13");  // unknown: the key in memory stays
    WriteIni(SECTION_OPTIONS, KEY_STARTSTOP_HOTKEY, "F5");
    Open("C:\\v\\kept.mp4");
    EXPECT_EQ(KeptKeys(), (std::vector<DWORD>{VK_F2, VK_F5}));
    EXPECT_EQ(Close(), 1);
    EXPECT_TRUE(FakeHookKeys().empty());
}
