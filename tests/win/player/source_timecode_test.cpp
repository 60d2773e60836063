// The file's own timecode in the Player window: which timecode is in force (SourceTimecode, an
// offset of the file's own, a file without a timecode track, written here and read by the real
// reader), what the title, the Options dialog and the Playback dialog's check box show and do.
// Locating, stepping and typing with it are checked end to end (tests/e2e).
#include "tests/win/player/dialog_fixture.h"

#include <fstream>

#include "platform/quorvel.h"
#include "platform/remote.h"
#include "tests/support/quicktime_timecode.h"

namespace {

const TimecodeFormat DropFrame30 = {30, true};

std::string TempPath(const char *name)
{
    char folder[MAX_PATH];
    GetTempPathA(sizeof folder, folder);
    return std::string(folder) + name;
}

// A 29.97 drop-frame timecode track: a sample for each start, 30 frames each (the last runs on).
std::string WriteTimecodeFile(const char *name, const std::vector<const char *> &starts)
{
    std::vector<TimecodeSample> samples;
    for (const char *start : starts)
        samples.push_back(TimecodeSample{(uint32_t)ParseTimecode(start, DropFrame30), 30 * 1001});
    std::string path = TempPath(name);
    std::ofstream(path, std::ios::binary) << TimecodeOnlyFile(1, 30000, 1001, 30, samples);
    return path;
}

std::string Title(HWND window)
{
    char text[600] = "";
    GetWindowTextA(window, text, sizeof text);
    return text;
}

class SourceTimecodeTest : public DialogTest {
protected:
    std::string Display() const
    {
        char text[32] = "";
        GetWindowTextA(Item(IDC_TCDISPLAY), text, sizeof text);
        return text;
    }
    // The display after the engine reports frame.
    std::string Shown(LONG frame)
    {
        SendFakeEngineReport(frame);
        return Display();
    }
};

}  // namespace

// What decides: SourceTimecode (off by default), an offset of the file's own (the "default"
// offset is none), a file without a timecode track. Otherwise the player counts at 25 fps as
// designed.
TEST_F(SourceTimecodeTest, FileTimecodeOnlyWhereOnAndNoOffsetOfTheFilesOwn)
{
    std::string path = WriteTimecodeFile("tc-other.mov", {"01:00:00;00"});
    std::string plain = TempPath("tc-none.mov");
    std::ofstream(plain, std::ios::binary) << "not a QuickTime file";
    struct Case {
        const char *name, *sourceTimecode, *file, *ownOffset, *defaultOffset;
        const char *rate, *shown;
        bool note;  // "TC from file" in the title
    } cases[] = {
        {"in force", "YES", path.c_str(), NULL, NULL, "QuorvelSetRate(29.97)", "01:00:03;10",
         true},
        {"over the default offset", "YES", path.c_str(), NULL, "00:20:00:00",
         "QuorvelSetRate(29.97)", "01:00:03;10", true},
        {"off by default", NULL, path.c_str(), NULL, NULL, "QuorvelSetRate(25)", "00:00:04:00",
         false},
        {"switched off", "NO", path.c_str(), NULL, NULL, "QuorvelSetRate(25)", "00:00:04:00",
         false},
        {"own offset", "YES", path.c_str(), "00:10:00:00", "00:20:00:00", "QuorvelSetRate(25)",
         "00:10:04:00", false},
        {"no timecode", "YES", plain.c_str(), NULL, NULL, "QuorvelSetRate(25)", "00:00:04:00",
         false},
    };
    for (const Case &c : cases) {
        SetUp();
        WriteIni(SECTION_PLAYBACK, KEY_SOURCE_TIMECODE, c.sourceTimecode);
        WriteIni(SECTION_TC_OFFSET, KEY_DEFAULT, c.defaultOffset);
        WriteIni(SECTION_TC_OFFSET, c.file, c.ownOffset);
        Start();
        Open(c.file);
        EXPECT_EQ(Calls("QuorvelSetRate"), std::vector<std::string>{c.rate}) << c.name;
        EXPECT_EQ(Title(window_), std::string(c.file) + (c.note ? "   TC from file" : ""))
            << c.name;
        EXPECT_EQ(Shown(100), c.shown) << c.name;
        TearDown();
    }
}

// Options says which timecode is in force without changing its fields: OK with the offset left
// as it was keeps the file's timecode; an offset typed for the file wins at once.
TEST_F(SourceTimecodeTest, OptionsShowsTheFileTimecodeAndATypedOffsetWins)
{
    std::string path = WriteTimecodeFile("tc-options.mov", {"01:00:00;00"});
    WriteIni(SECTION_PLAYBACK, KEY_SOURCE_TIMECODE, "YES");
    Start();
    Open(path.c_str());
    std::string note, start, offset;
    Options([&](HWND dialog) {
        note = ItemText(dialog, IDC_OPT_TCSOURCE);
        start = ItemText(dialog, IDC_OPT_TCSOURCE_START);
        offset = ItemText(dialog, IDC_OPT_TCOFFSET);
        Ok(dialog);
    });
    EXPECT_EQ(note, "from the file");
    EXPECT_EQ(start, "01:00:00;00");
    EXPECT_EQ(offset, " 00:00:00:00");
    EXPECT_EQ(Ini(SECTION_TC_OFFSET, path.c_str()), "<missing>");
    EXPECT_EQ(Shown(0), "01:00:00;00");
    EXPECT_EQ(Title(window_), path + "   TC from file");

    Options([&](HWND dialog) {
        Select(dialog, IDC_OPT_FRAMERATE, "25");
        SetDlgItemTextA(dialog, IDC_OPT_TCOFFSET, "00:10:00:00");
        Ok(dialog);
    });
    EXPECT_EQ(Shown(0), "00:10:00:00");
    EXPECT_EQ(Title(window_), path);
    Options([&](HWND dialog) {
        note = ItemText(dialog, IDC_OPT_TCSOURCE);
        Ok(dialog);
    });
    EXPECT_EQ(note, "");
}

// The Playback dialog's check box switches it for the open file at once, both ways.
TEST_F(SourceTimecodeTest, PlaybackCheckBoxSwitchesAtOnce)
{
    std::string path = WriteTimecodeFile("tc-switch.mov", {"01:00:00;00"});
    Start();
    Open(path.c_str());
    EXPECT_EQ(Shown(0), "00:00:00:00");
    for (bool on : {true, false}) {
        bool shownChecked = !on;
        RunFromMenu(IDM_PLAYBACK, [&](HWND dialog) {
            shownChecked = IsDlgButtonChecked(dialog, IDC_PB_SOURCETC) == BST_CHECKED;
            CheckDlgButton(dialog, IDC_PB_SOURCETC, on ? BST_CHECKED : BST_UNCHECKED);
            Ok(dialog);
        });
        EXPECT_EQ(shownChecked, !on);
        EXPECT_EQ(Ini(SECTION_PLAYBACK, KEY_SOURCE_TIMECODE), on ? "YES" : "NO");
        EXPECT_EQ(Shown(0), on ? "01:00:00;00" : "00:00:00:00");
        EXPECT_EQ(Title(window_), on ? path + "   TC from file" : path);
    }
}
