// Starting the program by command line, closing it, and the Decoder dialog's choice.
#include <gtest/gtest.h>

#include <string>

#include "resources/resource.h"
#include "tests/e2e/support.h"

using namespace e2e;

namespace {

const int LONG_PATH_LENGTH = 510;
const int PATH_SEGMENT = 120;  // folder names of the long path

std::wstring Wide(const std::string &ansi)
{
    int n = MultiByteToWideChar(CP_ACP, 0, ansi.c_str(), -1, NULL, 0);
    std::wstring wide(n, L'\0');
    MultiByteToWideChar(CP_ACP, 0, ansi.c_str(), -1, &wide[0], n);
    wide.resize(n - 1);
    return wide;
}

// Copies a clip to a path that may be longer than MAX_PATH, making its folders.
bool CopyClipTo(const char *clip, const std::string &path)
{
    std::wstring target = L"\\\\?\\" + Wide(path);
    for (size_t slash = target.find(L'\\', 7); slash != std::wstring::npos;
         slash = target.find(L'\\', slash + 1))
        CreateDirectoryW(target.substr(0, slash).c_str(), NULL);
    return CopyFileW((L"\\\\?\\" + Wide(Clip(clip))).c_str(), target.c_str(), FALSE) != 0;
}

void RemoveCopy(const std::string &path) { DeleteFileW((L"\\\\?\\" + Wide(path)).c_str()); }

// The ANSI code page's e acute, or "" when the code page has none.
std::string AnsiEAcute()
{
    char text[4] = "";
    BOOL lossy = FALSE;
    int n = WideCharToMultiByte(CP_ACP, 0, L"\u00e9", 1, text, sizeof text - 1, NULL, &lossy);
    return n == 1 && !lossy ? std::string(text, 1) : "";
}

// A path of exactly LONG_PATH_LENGTH characters under the scratch folder.
std::string LongPath()
{
    std::string path = WorkPath("long");
    const std::string name = "clip.avi";
    while (path.size() + 1 + PATH_SEGMENT + 1 + name.size() < (size_t)LONG_PATH_LENGTH)
        path += "\\" + std::string(PATH_SEGMENT, 'd');
    size_t rest = LONG_PATH_LENGTH - path.size() - 1 - name.size();
    return path + "\\" + std::string(rest, 'n') + name;
}

struct PathCase {
    const char *what;
    std::string path;
    bool quoted;
    bool mustPlay;  // a path beyond MAX_PATH plays only where the platform allows it
};

class Launch : public PlayerTest {};

TEST_F(Launch, CommandLinePathsAreTakenWhole)
{
    std::vector<PathCase> cases = {
        {"blanks, quoted", WorkPath("a folder with blanks\\the clip 1.avi"), true, true},
        {"blanks, unquoted", WorkPath("a folder with blanks\\the clip 2.avi"), false, true},
        {"510 characters", LongPath(), true, false},
    };
    std::string accent = AnsiEAcute();
    if (!accent.empty())
        cases.push_back({"ANSI e acute", WorkPath("caf" + accent + "\\clip " + accent + ".avi"),
                         true, true});
    else
        ADD_FAILURE() << "the ANSI code page " << GetACP() << " has no e acute";

    for (const PathCase &c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_EQ(c.path.find('"'), std::string::npos);
        bool copied = CopyClipTo("intra25.avi", c.path);
        if (c.mustPlay) {
            ASSERT_TRUE(copied) << c.path;
        }
        WriteSettings(SettingsText("25"));
        ASSERT_TRUE(player.Start(c.quoted ? "\"" + c.path + "\"" : c.path));
        // The window's title is the file's full name, neither cut nor overrun.
        std::string title;
        EXPECT_TRUE(WaitFor([&] { return (title = player.Title()) == c.path; }, SETTLE_DEADLINE_MS))
            << title;
        if (c.mustPlay) {
            EXPECT_TRUE(player.WaitForAdvance()) << "the display does not advance";
        }
        CtlResult query = Ctl("query");
        EXPECT_EQ(query.exitCode, 0);
        EXPECT_GE(FrameOfTimecode(query.output, 25), 0) << query.output;
        EXPECT_TRUE(player.Running());
        PostMessageA(player.Window(), WM_CLOSE, 0, 0);
        EXPECT_EQ(player.WaitForExit(EXIT_DEADLINE_MS), 1u);
        player.Kill();
        RemoveCopy(c.path);
    }
}

TEST_F(Launch, ClosingEndsWithExitCodeOneAndThePlacementSurvives)
{
    struct {
        const char *what;
        UINT message;
        WPARAM wParam;
        RECT place;  // left, top, right, bottom
    } cases[] = {
        {"WM_CLOSE", WM_CLOSE, 0, {130, 150, 130 + 500, 150 + 380}},
        {"close command", WM_COMMAND, IDCANCEL, {60, 40, 60 + 420, 40 + 300}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        StartOn(Clip("intra25.avi"), "25");
        ASSERT_TRUE(player.WaitForAdvance());
        const RECT &p = c.place;
        SetWindowPos(player.Window(), NULL, p.left, p.top, p.right - p.left, p.bottom - p.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        EXPECT_TRUE(WaitFor(
            [&] {
                RECT r;
                GetWindowRect(player.Window(), &r);
                return EqualRect(&r, &p);
            },
            SETTLE_DEADLINE_MS));
        PostMessageA(player.Window(), c.message, c.wParam, 0);
        EXPECT_EQ(player.WaitForExit(EXIT_DEADLINE_MS), 1u);

        char expected[64];
        snprintf(expected, sizeof expected, "%d,%d,%d,%d", (int)p.left, (int)p.top,
                 (int)(p.right - p.left), (int)(p.bottom - p.top));
        EXPECT_EQ(ReadSettingsValue("WindowPosition", "Player"), expected);

        // Started again without a file: the same place.
        ASSERT_TRUE(player.Start(""));
        RECT r;
        GetWindowRect(player.Window(), &r);
        EXPECT_TRUE(EqualRect(&r, &p)) << r.left << "," << r.top << "," << r.right << ","
                                       << r.bottom;
        PostMessageA(player.Window(), WM_CLOSE, 0, 0);
        EXPECT_EQ(player.WaitForExit(EXIT_DEADLINE_MS), 1u);
        player.Kill();
        DeleteSettings();
    }
}

// Under Wine no hand-plugged decoder plays, so the engine falls back to its automatic choice:
// what is checked is that OK reopens the file at once and it plays again.
TEST_F(Launch, DecoderChoiceReopensTheFileAtOnce)
{
    std::string clip = Clip("intra25.avi");
    StartOn(clip, "25");
    ASSERT_TRUE(player.WaitForAdvance());
    CtlResult located = Ctl("locate 00:00:03:00");
    ASSERT_EQ(located.exitCode, 0);
    ASSERT_TRUE(player.WaitForFrame(75, 25));

    std::string chosen = player.ChooseDecoder("AVI Decompressor");
    ASSERT_FALSE(chosen.empty()) << "the Decoder dialog could not be driven";
    EXPECT_EQ(ReadSettingsValue("Decoder", clip.c_str()), chosen);
    // Reopened: from the start again, and playing.
    EXPECT_TRUE(WaitFor([&] { return FrameOfTimecode(player.Display(), 25) < 75; },
                        ADVANCE_DEADLINE_MS))
        << player.Display();
    EXPECT_TRUE(player.WaitForAdvance()) << "the reopened file does not play";
}

}  // namespace
