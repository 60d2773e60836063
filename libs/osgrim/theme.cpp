// The themes and the GDI objects made from them.
#include "libs/osgrim/skin.h"

namespace {

// Longest theme name the program may hand over (its settings keep 30 characters).
const size_t kMaxThemeName = 30;

// The default look: a slate title strip over light grey panels.
const SkinTheme kSlate = {
    "",
    RGB(58, 64, 74),    RGB(44, 70, 112),   RGB(104, 110, 120), RGB(255, 255, 255),
    RGB(208, 212, 218), RGB(24, 40, 68),    RGB(212, 214, 218), RGB(20, 20, 24),
    RGB(255, 255, 255), RGB(0, 0, 0),       RGB(110, 116, 126), RGB(228, 230, 234),
    RGB(188, 196, 208), RGB(0, 0, 0),       RGB(44, 70, 112),   RGB(242, 243, 245),
    RGB(0, 0, 0),       RGB(66, 110, 170),  RGB(255, 255, 255), RGB(150, 150, 150),
};

const SkinTheme kDark = {
    "Dark",
    RGB(16, 16, 18),    RGB(34, 34, 38),    RGB(52, 52, 56),    RGB(232, 232, 232),
    RGB(140, 140, 140), RGB(0, 122, 204),   RGB(45, 45, 48),    RGB(220, 220, 220),
    RGB(28, 28, 30),    RGB(232, 232, 232), RGB(96, 96, 104),   RGB(62, 62, 66),
    RGB(92, 92, 100),   RGB(232, 232, 232), RGB(0, 122, 204),   RGB(38, 38, 40),
    RGB(232, 232, 232), RGB(0, 122, 204),   RGB(255, 255, 255), RGB(112, 112, 112),
};

const SkinTheme kLight = {
    "Light",
    RGB(196, 200, 208), RGB(226, 232, 242), RGB(244, 245, 247), RGB(28, 28, 28),
    RGB(140, 140, 140), RGB(190, 204, 226), RGB(251, 251, 252), RGB(28, 28, 28),
    RGB(255, 255, 255), RGB(0, 0, 0),       RGB(176, 182, 190), RGB(240, 242, 245),
    RGB(208, 216, 228), RGB(0, 0, 0),       RGB(80, 130, 200),  RGB(255, 255, 255),
    RGB(0, 0, 0),       RGB(204, 228, 247), RGB(0, 0, 0),       RGB(164, 164, 164),
};

const SkinTheme *const kThemes[] = {&kSlate, &kDark, &kLight};

// Title strip and menu text: the dialogs' own face, 8 points at 96 dpi.
const int kFontHeight = -11;
const char kFontFace[] = "MS Sans Serif";

HFONT MakeFont(int weight)
{
    LOGFONTA font = {};
    font.lfHeight = kFontHeight;
    font.lfWeight = weight;
    font.lfCharSet = DEFAULT_CHARSET;
    font.lfQuality = DEFAULT_QUALITY;
    lstrcpynA(font.lfFaceName, kFontFace, LF_FACESIZE);
    return CreateFontIndirectA(&font);
}

void DeleteAndClear(HGDIOBJ &object)
{
    if (object) DeleteObject(object);
    object = NULL;
}

}  // namespace

const SkinTheme &DefaultTheme()
{
    return kSlate;
}

const SkinTheme *FindTheme(const char *name)
{
    if (!name) return NULL;
    size_t length = 0;
    while (length <= kMaxThemeName && name[length]) ++length;
    if (length > kMaxThemeName) return NULL;
    for (const SkinTheme *theme : kThemes) {
        if (lstrcmpiA(theme->name, name) == 0) return theme;
    }
    if (lstrcmpiA(name, "Default") == 0) return &kSlate;
    return NULL;
}

bool MakeThemeObjects(const SkinTheme &theme)
{
    HBRUSH panel = CreateSolidBrush(theme.panel);
    HBRUSH field = CreateSolidBrush(theme.field);
    HBRUSH menu = CreateSolidBrush(theme.menuBack);
    if (!panel || !field || !menu) {
        if (panel) DeleteObject(panel);
        if (field) DeleteObject(field);
        if (menu) DeleteObject(menu);
        return false;
    }
    FreeThemeObjects();
    g_skin.panelBrush = panel;
    g_skin.fieldBrush = field;
    g_skin.menuBrush = menu;
    g_skin.theme = &theme;
    return true;
}

void FreeThemeObjects()
{
    DeleteAndClear(reinterpret_cast<HGDIOBJ &>(g_skin.panelBrush));
    DeleteAndClear(reinterpret_cast<HGDIOBJ &>(g_skin.fieldBrush));
    DeleteAndClear(reinterpret_cast<HGDIOBJ &>(g_skin.menuBrush));
}

bool MakeFonts()
{
    g_skin.titleFont = MakeFont(FW_BOLD);
    g_skin.menuFont = MakeFont(FW_NORMAL);
    return g_skin.titleFont && g_skin.menuFont;
}

void FreeFonts()
{
    DeleteAndClear(reinterpret_cast<HGDIOBJ &>(g_skin.titleFont));
    DeleteAndClear(reinterpret_cast<HGDIOBJ &>(g_skin.menuFont));
}
