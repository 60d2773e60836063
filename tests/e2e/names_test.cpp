// A file named in Japanese and Greek on a Western Windows, started as the installer's "Open with"
// starts it: it plays, the title shows its name, and the rate chosen for it outlives the player.
#include <gtest/gtest.h>

#include <stdio.h>

#include "resources/resource.h"
#include "tests/e2e/support.h"

using namespace e2e;

namespace {

const WCHAR SCRIPT_NAME[] = L"\u65E5\u672C\u8A9E \u0395\u03BB\u03BB\u03B7\u03BD\u03B9\u03BA\u03AC.mp4";
const int CLIP_RATE = 30, CLIP_FRAMES = 120, CHOSEN_RATE = 25;

std::string Utf8(const std::wstring &text)
{
    char bytes[2048] = "";
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, bytes, sizeof bytes, NULL, NULL);
    return bytes;
}

std::string FileBytes(const std::string &path)
{
    std::string bytes;
    FILE *file = fopen(path.c_str(), "rb");
    if (!file)
        return bytes;
    char buffer[4096];
    size_t got;
    while ((got = fread(buffer, 1, sizeof buffer, file)) > 0)
        bytes.append(buffer, got);
    fclose(file);
    return bytes;
}

// The Options dialog from outside: the frame rate for the loaded file, confirmed.
bool ChooseFrameRate(const Player &player, const char *rate)
{
    PostMessageA(player.Window(), WM_COMMAND, IDM_OPTIONS, 0);
    HWND dialog = player.WaitForDialog("Options");
    if (!dialog)
        return false;
    DWORD_PTR index = (DWORD_PTR)CB_ERR;
    SendMessageTimeoutA(GetDlgItem(dialog, IDC_OPT_FRAMERATE), CB_SELECTSTRING, (WPARAM)-1,
                        (LPARAM)rate, SMTO_NORMAL, 5000, &index);
    if ((LRESULT)index == CB_ERR)
        return false;
    PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    return WaitFor([&] { return !IsWindow(dialog); }, 5000);
}

using Names = PlayerTest;

TEST_F(Names, FileNamedInAnyScriptOpensAndKeepsItsRate)
{
    // Precondition of the test, not of the program: the name must be one the code page lacks.
    BOOL lossy = FALSE;
    char ansi[MAX_PATH];
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, SCRIPT_NAME, -1, ansi, sizeof ansi, NULL,
                        &lossy);
    ASSERT_TRUE(lossy) << "the ANSI code page " << GetACP() << " holds the name";

    const std::wstring path = WideClip(SCRIPT_NAME);
    ASSERT_NE(GetFileAttributesW(path.c_str()), INVALID_FILE_ATTRIBUTES);
    WriteSettings(SettingsText("30"));
    // Quoted as the installer's "Open with" command quotes %1, then bare as a user types it.
    const std::wstring commandLines[] = {L"\"" + path + L"\"", path};

    ASSERT_TRUE(player.Start(commandLines[0]));
    ASSERT_TRUE(player.WaitForAdvance()) << "the display does not advance: " << player.Display();
    EXPECT_EQ(player.VideoMessage(), "");
    EXPECT_TRUE(WaitFor([&] { return player.WideTitle() == path; }, SETTLE_DEADLINE_MS))
        << Utf8(player.WideTitle());
    EXPECT_EQ(Ctl("length").output, std::to_string(CLIP_FRAMES));

    ASSERT_TRUE(ChooseFrameRate(player, "25"));
    // Kept under the path's UTF-8 bytes, next to the ANSI keys of other files.
    EXPECT_EQ(ReadSettingsValue("FrameRate", Utf8(path).c_str()), "25");
    EXPECT_NE(FileBytes(SettingsPath()).find(Utf8(SCRIPT_NAME) + "=25"), std::string::npos);
    EXPECT_EQ(ReadSettingsValue("FrameRate", "default"), "30");

    PostMessageA(player.Window(), WM_CLOSE, 0, 0);
    ASSERT_EQ(player.WaitForExit(EXIT_DEADLINE_MS), 1u);

    ASSERT_TRUE(player.Start(commandLines[1]));
    ASSERT_TRUE(player.WaitForAdvance());
    EXPECT_EQ(player.WideTitle(), path);
    // Counted at 25 a second: the 4 s clip is 100 frames long, and 2 s in shows picture 60.
    EXPECT_EQ(Ctl("length").output, std::to_string(CLIP_FRAMES * CHOSEN_RATE / CLIP_RATE));
    ASSERT_EQ(Ctl("locate 00:00:02:00").exitCode, 0);
    EXPECT_TRUE(WaitFor([&] { return player.PictureFrame() == 2 * CLIP_RATE; }, SETTLE_DEADLINE_MS))
        << "picture " << player.PictureFrame();
    EXPECT_EQ(player.Display(), "00:00:02:00");
}

}  // namespace
