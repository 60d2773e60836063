// The file's own timecode in the Player window: with SourceTimecode on and no TC offset of the
// file's own, the display, the remote query and locate, the arrows and the title follow the
// timecode track of the file (written here, read by the real reader); an offset the user set
// for the file wins, and with SourceTimecode off nothing changes.
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
    void Locate(const char *timecode)
    {
        uint32_t packed = PackTimecode(ParseTimecode(timecode, DropFrame30), DropFrame30);
        SendMessageA(window_, WM_REMOTE_CONTROL, REMOTE_LOCATE, (LPARAM)packed);
    }
    uint32_t Query() { return (uint32_t)SendMessageA(window_, WM_REMOTE_CONTROL, REMOTE_QUERY_TIMECODE, 0); }
};

}  // namespace

TEST_F(SourceTimecodeTest, FileTimecodeIsShownLocatedAndSteppedFrom)
{
    std::string path = WriteTimecodeFile("tc-df.mov", {"01:00:00;00"});
    WriteIni(SECTION_PLAYBACK, KEY_SOURCE_TIMECODE, "YES");
    Start();
    Open(path.c_str());
    EXPECT_EQ(Calls("QuorvelSetRate"), std::vector<std::string>{"QuorvelSetRate(29.97)"});
    EXPECT_EQ(Title(window_), path + "   TC from file");
    EXPECT_EQ(Shown(0), "01:00:00;00");
    SendMessageA(window_, WM_COMMAND, IDC_PLAY, 0);  // pause: the arrows step
    ClearFakeCalls();
    Locate("01:00:59;29");
    EXPECT_EQ(Calls("QuorvelControl"), std::vector<std::string>{"QuorvelControl(256,1799)"});
    EXPECT_EQ(Shown(1799), "01:00:59;29");
    ClearFakeCalls();
    SendMessageA(window_, WM_COMMAND, ID_KEYFORWARD, VK_RIGHT);
    EXPECT_EQ(Calls("QuorvelControl"), std::vector<std::string>{"QuorvelControl(256,1800)"});
    EXPECT_EQ(Shown(1800), "01:01:00;02");
    EXPECT_EQ(Query(), 0x01010002u);
}

// Each stretch of a recording with breaks shows its own sample's timecode; a locate finds the
// stretch that holds the timecode.
TEST_F(SourceTimecodeTest, EachStretchShowsItsOwnSample)
{
    std::string path =
        WriteTimecodeFile("tc-breaks.mov", {"01:00:00;00", "01:10:00;00", "02:00:59;28"});
    WriteIni(SECTION_PLAYBACK, KEY_SOURCE_TIMECODE, "YES");
    Start();
    Open(path.c_str());
    const struct { LONG frame; const char *shown; } cases[] = {
        {29, "01:00:00;29"}, {30, "01:10:00;00"}, {45, "01:10:00;15"}, {60, "02:00:59;28"},
        {62, "02:01:00;02"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(Shown(c.frame), c.shown) << c.frame;
    SendMessageA(window_, WM_COMMAND, IDC_PLAY, 0);
    ClearFakeCalls();
    Locate("01:10:00;12");
    Locate("02:01:00;02");
    EXPECT_EQ(Calls("QuorvelControl"), (std::vector<std::string>{"QuorvelControl(256,42)",
                                                                  "QuorvelControl(256,62)"}));
}

// What decides: SourceTimecode off (as it is by default), an offset of the file's own, a file
// without a timecode track. Each as the designed player shows it at 25 fps.
TEST_F(SourceTimecodeTest, OffsetOfTheFileOrSwitchedOffShowsAsBefore)
{
    std::string path = WriteTimecodeFile("tc-other.mov", {"01:00:00;00"});
    std::string plain = TempPath("tc-none.mov");
    std::ofstream(plain, std::ios::binary) << "not a QuickTime file";
    struct Case {
        const char *name, *sourceTimecode, *file, *ownOffset;
        const char *shown;
    } cases[] = {
        {"off by default", NULL, path.c_str(), NULL, "00:00:04:00"},
        {"switched off", "NO", path.c_str(), NULL, "00:00:04:00"},
        {"own offset", "YES", path.c_str(), "00:10:00:00", "00:10:04:00"},
        {"no timecode", "YES", plain.c_str(), NULL, "00:00:04:00"},
    };
    for (const Case &c : cases) {
        SetUp();
        WriteIni(SECTION_PLAYBACK, KEY_SOURCE_TIMECODE, c.sourceTimecode);
        WriteIni(SECTION_TC_OFFSET, c.file, c.ownOffset);
        Start();
        Open(c.file);
        EXPECT_EQ(Calls("QuorvelSetRate"), std::vector<std::string>{"QuorvelSetRate(25)"}) << c.name;
        EXPECT_EQ(Title(window_), c.file) << c.name;
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
