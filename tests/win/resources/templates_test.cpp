// The dialog templates, the menu, the icons, the version and the manifest as they are in the
// module's resources; and each dialog created from its template with stand-in skin controls.
#include <windows.h>

#include <gtest/gtest.h>

#include <set>

#include "controls/controls.h"
#include "dialog_template.h"
#include "platform/osgrim.h"
#include "resources/resource.h"

namespace {

const DWORD kChildVisible = WS_CHILD | WS_VISIBLE;
const DWORD kPopupThinBorder = WS_POPUP | WS_VISIBLE | WS_BORDER | DS_SETFONT;

struct Expected {
    int id;
    const char *className;
    const char *text;
    int x, y, cx, cy;
    DWORD required;   // style bits that must be set
    DWORD forbidden;  // and bits that must not
};

struct ExpectedDialog {
    const char *name;
    DWORD style;
    int x, y, cx, cy;
    const char *className;
    std::vector<Expected> items;
};

const DWORD kList = kChildVisible | CBS_DROPDOWNLIST | CBS_HASSTRINGS | WS_TABSTOP;
const DWORD kLabel = kChildVisible;

const ExpectedDialog kDialogs[] = {
    {IDD_ZENTRIX, 0x920F0044, 37, 35, 244, 44, VANTOREL_DLGCLASS,
     {
         {IDC_PLAY, OG_BMBUTTON, "B_PLAY", 6, 27, 47, 12, 0x50000010, ~0x50000010u},
         {IDC_STOP, OG_BMBUTTON, "B_STOP", 53, 27, 20, 12, 0x50000010, ~0x50000010u},
         {IDC_REWIND, OG_BMBUTTON, "B_REW", 76, 27, 17, 12, 0x50000010, ~0x50000010u},
         {IDC_FORWARD, OG_BMBUTTON, "B_FF", 96, 28, 18, 12, 0x50000010, ~0x50000010u},
         {IDC_TRACKER, "TRACKER", "0", 115, 28, 65, 12, 0x50000000, ~0x50000000u},
         {IDC_TCDISPLAY, "TCDisplay", "", 185, 30, 44, 10, 0x50000002, ~0x50000002u},
         {IDC_MENU, OG_BMBUTTON, "B_EJECT", 233, 32, 9, 7, 0x50000010, ~0x50000010u},
         {IDC_VIDEO, "STATIC", "", 6, 5, 18, 17, 0x50000004, ~0x50000004u},
     }},
    {IDD_OPTIONS, kPopupThinBorder, 42, 36, 261, 99, "",
     {
         {100, "BUTTON", "", 5, 12, 116, 39, kChildVisible | BS_GROUPBOX, WS_TABSTOP},
         {200, "BUTTON", "", 5, 54, 183, 39, kChildVisible | BS_GROUPBOX, WS_TABSTOP},
         {-1, OG_TEXT, "Frame Rate", 12, 20, 56, 10, kLabel, WS_TABSTOP},
         {101, OG_SCROLLCOMBO, "", 12, 31, 43, 62, kList, CBS_SORT},
         {-1, OG_TEXT, "TC-Offset", 68, 20, 51, 10, kLabel, WS_TABSTOP},
         {102, OG_SINGLEEDIT, "", 68, 31, 46, 11, kChildVisible | ES_RIGHT | WS_TABSTOP, ES_CENTER},
         {-1, OG_TEXT, "TC Hot Key", 12, 62, 56, 10, kLabel, WS_TABSTOP},
         {203, OG_SCROLLCOMBO, "", 12, 73, 43, 137, kList, CBS_SORT},
         {-1, OG_TEXT, "Append Sign", 68, 62, 56, 10, kLabel, WS_TABSTOP},
         {201, OG_SCROLLCOMBO, "", 68, 73, 43, 57, kList, CBS_SORT},
         {-1, OG_TEXT, "Show Frames", 127, 62, 56, 10, kLabel, WS_TABSTOP},
         {202, OG_SCROLLCOMBO, "", 128, 74, 43, 45, kList, CBS_SORT},
         {300, "BUTTON", "", 123, 12, 66, 39, kChildVisible | BS_GROUPBOX, WS_TABSTOP},
         {-1, OG_TEXT, "Start/Stop", 128, 20, 48, 10, kLabel, WS_TABSTOP},
         {301, OG_SCROLLCOMBO, "", 129, 31, 43, 137, kList, CBS_SORT},
         {400, OG_TEXT, "", 195, 20, 62, 10, kLabel, WS_TABSTOP},
         {401, OG_TEXT, "", 195, 31, 62, 10, kLabel, WS_TABSTOP},
         {IDOK, OG_TXGBUTTON, "OK", 199, 63, 50, 13, kChildVisible | BS_DEFPUSHBUTTON | WS_TABSTOP, 0},
         {IDCANCEL, OG_TXGBUTTON, "Cancel", 199, 80, 50, 13, kChildVisible | WS_TABSTOP,
          BS_DEFPUSHBUTTON},
     }},
    {IDD_PLAYBACK, kPopupThinBorder, 42, 36, 261, 260, "",
     {
         {100, "BUTTON", "", 5, 12, 183, 39, kChildVisible | BS_GROUPBOX, WS_TABSTOP},
         {-1, OG_TEXT, "Rewind on Resume", 12, 20, 80, 10, kLabel, WS_TABSTOP},
         {101, OG_SINGLEEDIT, "", 12, 31, 40, 11, kChildVisible | ES_RIGHT | WS_TABSTOP, ES_CENTER},
         {-1, OG_TEXT, "Jump Seconds", 98, 20, 80, 10, kLabel, WS_TABSTOP},
         {102, OG_SINGLEEDIT, "", 98, 31, 40, 11, kChildVisible | ES_RIGHT | WS_TABSTOP, ES_CENTER},
         {200, "BUTTON", "", 5, 54, 183, 45, kChildVisible | BS_GROUPBOX, WS_TABSTOP},
         {-1, OG_TEXT, "Jump Back", 12, 64, 50, 10, kLabel, WS_TABSTOP},
         {201, OG_SCROLLCOMBO, "", 64, 62, 36, 137, kList, CBS_SORT},
         {202, OG_TEXT, "", 105, 64, 80, 10, kLabel, WS_TABSTOP},
         {-1, OG_TEXT, "Jump Forward", 12, 82, 50, 10, kLabel, WS_TABSTOP},
         {203, OG_SCROLLCOMBO, "", 64, 80, 36, 137, kList, CBS_SORT},
         {204, OG_TEXT, "", 105, 82, 80, 10, kLabel, WS_TABSTOP},
         {300, "BUTTON", "", 5, 102, 183, 57, kChildVisible | BS_GROUPBOX, WS_TABSTOP},
         {-1, OG_TEXT, "Speed %", 12, 112, 50, 10, kLabel, WS_TABSTOP},
         {301, OG_SINGLEEDIT, "", 64, 110, 36, 11, kChildVisible | ES_RIGHT | WS_TABSTOP, ES_CENTER},
         {-1, OG_TEXT, "Slower", 12, 128, 50, 10, kLabel, WS_TABSTOP},
         {302, OG_SCROLLCOMBO, "", 64, 126, 36, 137, kList, CBS_SORT},
         {303, OG_TEXT, "", 105, 128, 80, 10, kLabel, WS_TABSTOP},
         {-1, OG_TEXT, "Faster", 12, 144, 50, 10, kLabel, WS_TABSTOP},
         {304, OG_SCROLLCOMBO, "", 64, 142, 36, 137, kList, CBS_SORT},
         {305, OG_TEXT, "", 105, 144, 80, 10, kLabel, WS_TABSTOP},
         {600, "BUTTON", "", 5, 162, 183, 69, kChildVisible | BS_GROUPBOX, WS_TABSTOP},
         {601, "BUTTON", "Back where stopped", 12, 170, 84, 10,
          kChildVisible | BS_AUTOCHECKBOX | WS_TABSTOP, 0},
         {602, "BUTTON", "Slider follows", 105, 170, 78, 10,
          kChildVisible | BS_AUTOCHECKBOX | WS_TABSTOP, 0},
         {-1, OG_TEXT, "Loop Key", 12, 186, 50, 10, kLabel, WS_TABSTOP},
         {603, OG_SCROLLCOMBO, "", 64, 184, 36, 137, kList, CBS_SORT},
         {604, OG_TEXT, "", 105, 186, 80, 10, kLabel, WS_TABSTOP},
         {-1, OG_TEXT, "Loop Seconds", 12, 202, 50, 10, kLabel, WS_TABSTOP},
         {605, OG_SINGLEEDIT, "", 64, 200, 36, 11, kChildVisible | ES_RIGHT | WS_TABSTOP, ES_CENTER},
         {-1, OG_TEXT, "Loop Speed %", 12, 218, 50, 10, kLabel, WS_TABSTOP},
         {606, OG_SINGLEEDIT, "", 64, 216, 36, 11, kChildVisible | ES_RIGHT | WS_TABSTOP, ES_CENTER},
         {500, "BUTTON", "TC from file", 195, 112, 62, 10,
          kChildVisible | BS_AUTOCHECKBOX | WS_TABSTOP, 0},
         {400, "BUTTON", "", 5, 234, 183, 22, kChildVisible | BS_GROUPBOX, WS_TABSTOP},
         {-1, OG_TEXT, "Hold to Play", 12, 243, 50, 10, kLabel, WS_TABSTOP},
         {401, OG_SCROLLCOMBO, "", 64, 241, 36, 137, kList, CBS_SORT},
         {402, OG_TEXT, "", 105, 243, 80, 10, kLabel, WS_TABSTOP},
         {IDOK, OG_TXGBUTTON, "OK", 199, 68, 50, 13, kChildVisible | BS_DEFPUSHBUTTON | WS_TABSTOP, 0},
         {IDCANCEL, OG_TXGBUTTON, "Cancel", 199, 85, 50, 13, kChildVisible | WS_TABSTOP,
          BS_DEFPUSHBUTTON},
     }},
    {IDD_PEDAL, kPopupThinBorder, 42, 36, 261, 124, "",
     {
         {100, "BUTTON", "", 5, 12, 183, 106, kChildVisible | BS_GROUPBOX, WS_TABSTOP},
         {101, OG_TEXT, "", 12, 20, 170, 10, kLabel, WS_TABSTOP},
         {-1, OG_TEXT, "Left", 12, 38, 40, 10, kLabel, WS_TABSTOP},
         {102, OG_SCROLLCOMBO, "", 56, 36, 70, 137, kList, CBS_SORT},
         {105, OG_TEXT, "", 132, 38, 50, 10, kLabel, WS_TABSTOP},
         {-1, OG_TEXT, "Middle", 12, 56, 40, 10, kLabel, WS_TABSTOP},
         {103, OG_SCROLLCOMBO, "", 56, 54, 70, 137, kList, CBS_SORT},
         {106, OG_TEXT, "", 132, 56, 50, 10, kLabel, WS_TABSTOP},
         {-1, OG_TEXT, "Right", 12, 74, 40, 10, kLabel, WS_TABSTOP},
         {104, OG_SCROLLCOMBO, "", 56, 72, 70, 137, kList, CBS_SORT},
         {107, OG_TEXT, "", 132, 74, 50, 10, kLabel, WS_TABSTOP},
         {-1, OG_TEXT, "Device", 12, 92, 40, 10, kLabel, WS_TABSTOP},
         {108, OG_SINGLEEDIT, "", 56, 90, 90, 11, kChildVisible | WS_TABSTOP, ES_CENTER | ES_RIGHT},
         {109, OG_TEXT, "", 12, 106, 170, 10, kLabel, WS_TABSTOP},
         {IDOK, OG_TXGBUTTON, "OK", 199, 68, 50, 13, kChildVisible | BS_DEFPUSHBUTTON | WS_TABSTOP, 0},
         {IDCANCEL, OG_TXGBUTTON, "Cancel", 199, 85, 50, 13, kChildVisible | WS_TABSTOP,
          BS_DEFPUSHBUTTON},
     }},
    {IDD_DECODER, kPopupThinBorder, 20, 20, 223, 120, "",
     {
         {IDC_DEC_LIST, OG_SCROLLLIST, "", 7, 15, 144, 98,
          kChildVisible | LBS_SORT | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_TABSTOP, 0},
         {IDOK, OG_TXGBUTTON, "OK", 162, 84, 50, 13, kChildVisible | BS_DEFPUSHBUTTON | WS_TABSTOP, 0},
         {IDCANCEL, OG_TXGBUTTON, "Cancel", 162, 101, 50, 13, kChildVisible | WS_TABSTOP,
          BS_DEFPUSHBUTTON},
     }},
    {IDD_ABOUT, kPopupThinBorder, 20, 27, 228, 90, "",
     {
         {IDOK, OG_TXGBUTTON, "OK", 168, 68, 50, 13, kChildVisible | BS_DEFPUSHBUTTON | WS_TABSTOP, 0},
         {IDC_ABOUT_CREDITS, OG_TEXT, "", 9, 27, 149, 36, kChildVisible, 0},
         {IDC_ABOUT_TITLE, OG_TEXT, "", 9, 13, 149, 13, kChildVisible, 0},
         {-1, "STATIC", IDI_APPL, 196, 19, 18, 17, kChildVisible | SS_ICON, 0},
     }},
};

TEST(DialogTemplates, MatchTheirTables)
{
    for (const ExpectedDialog &d : kDialogs) {
        SCOPED_TRACE(d.name);
        DialogTemplate t;
        ASSERT_TRUE(ReadDialogTemplate(GetModuleHandleA(NULL), d.name, &t));
        EXPECT_EQ(d.style, t.style);
        EXPECT_EQ(d.x, t.x);
        EXPECT_EQ(d.y, t.y);
        EXPECT_EQ(d.cx, t.cx);
        EXPECT_EQ(d.cy, t.cy);
        EXPECT_EQ(d.className, t.className);
        EXPECT_EQ("", t.title) << "no template has a title";
        EXPECT_EQ("", t.menu);
        EXPECT_EQ(8, t.pointSize);
        EXPECT_EQ("MS Sans Serif", t.fontName);
        ASSERT_EQ(d.items.size(), t.items.size());
        for (size_t i = 0; i < d.items.size(); ++i) {
            const Expected &e = d.items[i];
            const TemplateItem &item = t.items[i];
            SCOPED_TRACE("control " + std::to_string(i) + " id " + std::to_string(e.id));
            EXPECT_EQ(e.id, item.id);
            EXPECT_EQ(0, lstrcmpiA(e.className, item.className.c_str())) << item.className;
            EXPECT_EQ(e.text, item.text);
            EXPECT_EQ(e.x, item.x);
            EXPECT_EQ(e.y, item.y);
            EXPECT_EQ(e.cx, item.cx);
            EXPECT_EQ(e.cy, item.cy);
            EXPECT_EQ(e.required, item.style & e.required) << std::hex << item.style;
            EXPECT_EQ(0u, item.style & e.forbidden) << std::hex << item.style;
        }
    }
}

TEST(Menu, PopupHoldsTheFiveCommandsAndASeparator)
{
    HMENU menu = LoadMenuA(GetModuleHandleA(NULL), IDR_APPL_MENU);
    ASSERT_TRUE(menu);
    EXPECT_EQ(1, GetMenuItemCount(menu));
    HMENU popup = GetSubMenu(menu, 0);
    ASSERT_TRUE(popup);
    struct Item {
        int id;
        const char *text;
    } items[] = {{IDM_HELP, "Help..."}, {IDM_OPTIONS, "Options..."},
                 {IDM_PLAYBACK, "Playback..."}, {IDM_STAMPS, "Stamps..."},
                 {IDM_PEDAL, "Pedal..."}, {IDM_DECODER, "Decoder..."},
                 {IDM_ALWAYSONTOP, "Always on Top"}, {0, nullptr},
                 {IDM_ABOUT, "About..."}};
    const int count = sizeof items / sizeof items[0];
    ASSERT_EQ(count, GetMenuItemCount(popup));
    for (int i = 0; i < count; ++i) {
        MENUITEMINFOA info = {};
        char text[64] = "";
        info.cbSize = sizeof info;
        info.fMask = MIIM_ID | MIIM_FTYPE | MIIM_STRING;
        info.dwTypeData = text;
        info.cch = sizeof text;
        ASSERT_TRUE(GetMenuItemInfoA(popup, i, TRUE, &info));
        if (!items[i].text) {
            EXPECT_TRUE(info.fType & MFT_SEPARATOR) << i;
            continue;
        }
        EXPECT_EQ(UINT(items[i].id), info.wID) << i;
        EXPECT_STREQ(items[i].text, text) << i;
    }
    DestroyMenu(menu);
}

// Width and colour depth of every image of an icon group.
std::set<std::pair<int, int>> IconImages(const char *name)
{
    std::set<std::pair<int, int>> images;
    HRSRC found = FindResourceA(GetModuleHandleA(NULL), name, RT_GROUP_ICON);
    if (!found)
        return images;
    const BYTE *data = (const BYTE *)LockResource(LoadResource(GetModuleHandleA(NULL), found));
    WORD count;
    memcpy(&count, data + 4, sizeof count);
    const int kDirSize = 6, kEntrySize = 14;
    for (WORD i = 0; i < count; ++i) {
        const BYTE *entry = data + kDirSize + i * kEntrySize;
        WORD bits;
        memcpy(&bits, entry + 6, sizeof bits);
        EXPECT_EQ(entry[0], entry[1]) << name << ": square";
        images.insert({entry[0] ? entry[0] : 256, bits});
    }
    return images;
}

TEST(Icons, ApplicationIconHasEverySizeAndDepth)
{
    std::set<std::pair<int, int>> appl = {{16, 4}, {32, 4}, {16, 24}, {32, 24}, {48, 24}};
    std::set<std::pair<int, int>> small = {{16, 4}};
    EXPECT_EQ(appl, IconImages(IDI_APPL));
    EXPECT_EQ(small, IconImages(IDI_APPLSM));
    for (int size : {16, 32, 48}) {
        HICON icon = (HICON)LoadImageA(GetModuleHandleA(NULL), IDI_APPL, IMAGE_ICON, size, size, 0);
        ASSERT_TRUE(icon) << size;
        ICONINFO info;
        ASSERT_TRUE(GetIconInfo(icon, &info));
        BITMAP colour;
        GetObjectA(info.hbmColor, sizeof colour, &colour);
        EXPECT_EQ(size, colour.bmWidth);
        DeleteObject(info.hbmColor);
        DeleteObject(info.hbmMask);
        DestroyIcon(icon);
    }
}

std::string VersionString(const std::vector<char> &block, const char *key)
{
    char *value = nullptr;
    UINT length = 0;
    std::string path = std::string("\\StringFileInfo\\040904b0\\") + key;
    if (!VerQueryValueA(block.data(), path.c_str(), (void **)&value, &length) || !value)
        return "";
    return value;
}

TEST(Version, NamesTheProductAndVersion)
{
    char path[MAX_PATH];
    GetModuleFileNameA(NULL, path, sizeof path);
    DWORD handle = 0;
    DWORD size = GetFileVersionInfoSizeA(path, &handle);
    ASSERT_GT(size, 0u);
    std::vector<char> block(size);
    ASSERT_TRUE(GetFileVersionInfoA(path, 0, size, block.data()));
    EXPECT_EQ("Vantorel", VersionString(block, "ProductName"));
    EXPECT_EQ("1.20", VersionString(block, "ProductVersion"));
    EXPECT_EQ("Zentrix.exe", VersionString(block, "OriginalFilename"));
    VS_FIXEDFILEINFO *fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(block.data(), "\\", (void **)&fixed, &length));
    EXPECT_EQ(DWORD(MAKELONG(20, 1)), fixed->dwProductVersionMS);
    EXPECT_EQ(DWORD(MAKELONG(20, 1)), fixed->dwFileVersionMS);
}

TEST(Manifest, DeclaresTheProgramUnawareOfDpi)
{
    HMODULE module = GetModuleHandleA(NULL);
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));
    ASSERT_TRUE(found);
    std::string text((const char *)LockResource(LoadResource(module, found)),
                     SizeofResource(module, found));
    EXPECT_NE(std::string::npos, text.find("<dpiAware"));
    EXPECT_NE(std::string::npos, text.find(">false</dpiAware>"));
    EXPECT_NE(std::string::npos, text.find("asInvoker"));
}

}  // namespace
