// The locate key: from a stamp in whatever program is in front back to its place. The text is
// read the only way every program offers, by copying it; the clipboard's earlier contents are
// put back at once, and the user's selection and caret are left where they were.
#include "player/stamps.h"

#include "platform/quorvel.h"
#include "platform/zentrixkey.h"
#include "player/player.h"
#include "player/seek.h"

enum {
    SAVED_FORMATS_MOST = 64,
    LOCATE_TEXT_SIZE = 8192,      // characters of a selection or line examined
    COPY_WAIT_MS = 400,           // the program in front has this long to answer Ctrl + C
    CLIPBOARD_TRIES = 20,         // another program may hold the clipboard open for a moment
    CLIPBOARD_RETRY_MS = 5,
    KEY_C = 'C',
};

struct SavedClipboard {
    UINT formats[SAVED_FORMATS_MOST];
    HGLOBAL data[SAVED_FORMATS_MOST];
    int count;
};

static bool OpenClipboardSoon(HWND window)
{
    for (int i = 0; i < CLIPBOARD_TRIES; i++) {
        if (OpenClipboard(window))
            return true;
        Sleep(CLIPBOARD_RETRY_MS);
    }
    return false;
}

// Formats whose handle is not global memory (bitmaps, palettes, metafiles, the owner's own
// display) cannot be copied as bytes; a program that offers a bitmap offers it as a DIB too.
static bool IsMemoryFormat(UINT format)
{
    switch (format) {
    case CF_BITMAP: case CF_METAFILEPICT: case CF_PALETTE: case CF_ENHMETAFILE:
    case CF_OWNERDISPLAY: case CF_DSPBITMAP: case CF_DSPMETAFILEPICT: case CF_DSPENHMETAFILE:
        return false;
    default:
        return !(format >= CF_GDIOBJFIRST && format <= CF_GDIOBJLAST);
    }
}

static HGLOBAL CopyOfMemory(HANDLE handle)
{
    SIZE_T size = handle ? GlobalSize(handle) : 0;
    const void *from = size ? GlobalLock(handle) : NULL;
    if (!from)
        return NULL;
    HGLOBAL copy = GlobalAlloc(GMEM_MOVEABLE, size);
    void *to = copy ? GlobalLock(copy) : NULL;
    if (to) {
        memcpy(to, from, size);
        GlobalUnlock(copy);
    }
    GlobalUnlock(handle);
    return to ? copy : NULL;
}

// Takes a copy of every format that can be put back, and empties the clipboard so that a copy
// that does not happen (nothing selected) is told from one that does. Emptied without an owner:
// the program that copies next sends the owner WM_DESTROYCLIPBOARD and waits for the answer,
// which this thread, waiting for the copy, would give only after the wait had run out.
static bool SaveAndEmptyClipboard(SavedClipboard *saved)
{
    saved->count = 0;
    if (!OpenClipboardSoon(NULL))
        return false;
    for (UINT format = EnumClipboardFormats(0); format && saved->count < SAVED_FORMATS_MOST;
         format = EnumClipboardFormats(format)) {
        if (!IsMemoryFormat(format))
            continue;
        HGLOBAL copy = CopyOfMemory(GetClipboardData(format));
        if (!copy)
            continue;
        saved->formats[saved->count] = format;
        saved->data[saved->count++] = copy;
    }
    EmptyClipboard();
    CloseClipboard();
    return true;
}

static void RestoreClipboard(HWND window, SavedClipboard *saved)
{
    bool open = OpenClipboardSoon(window);
    if (open)
        EmptyClipboard();
    for (int i = 0; i < saved->count; i++) {
        // The clipboard owns what it took; what it did not take is ours to free.
        if (!open || !SetClipboardData(saved->formats[i], saved->data[i]))
            GlobalFree(saved->data[i]);
    }
    saved->count = 0;
    if (open)
        CloseClipboard();
}

static void AddKey(INPUT *inputs, int *count, WORD key, bool up)
{
    INPUT &input = inputs[(*count)++];
    input = INPUT{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.wScan = (WORD)MapVirtualKeyA(key, MAPVK_VK_TO_VSC);
    bool extended = key == VK_HOME || key == VK_LEFT || key == VK_RIGHT;
    input.ki.dwFlags = (up ? KEYEVENTF_KEYUP : 0) | (extended ? KEYEVENTF_EXTENDEDKEY : 0);
    input.ki.dwExtraInfo = KEYHOOK_OWN_INPUT;
}

static void AddChord(INPUT *inputs, int *count, WORD modifier, WORD key)
{
    AddKey(inputs, count, modifier, false);
    AddKey(inputs, count, key, false);
    AddKey(inputs, count, key, true);
    AddKey(inputs, count, modifier, true);
}

// Sends the keys and waits for text on the emptied clipboard: the text copied (in the code page
// the templates are in), empty when none came in time. Text, not a new sequence number: Wine's
// clipboard manager changes that by itself after an emptying.
static int CopyWithKeys(HWND window, INPUT *inputs, int count, char *text, int size)
{
    TypingSendInput((UINT)count, inputs, sizeof(INPUT));
    DWORD start = GetTickCount();
    while (!IsClipboardFormatAvailable(CF_UNICODETEXT) && GetTickCount() - start < COPY_WAIT_MS)
        Sleep(1);
    text[0] = '\0';
    if (!IsClipboardFormatAvailable(CF_UNICODETEXT) || !OpenClipboardSoon(window))
        return 0;
    HANDLE handle = GetClipboardData(CF_UNICODETEXT);
    const WCHAR *wide = handle ? (const WCHAR *)GlobalLock(handle) : NULL;
    int length = 0;
    if (wide) {
        WCHAR cut[LOCATE_TEXT_SIZE];
        lstrcpynW(cut, wide, LOCATE_TEXT_SIZE);
        length = WideCharToMultiByte(CP_ACP, 0, cut, -1, text, size, NULL, NULL);
        length = length > 0 ? length - 1 : 0;
        GlobalUnlock(handle);
    }
    CloseClipboard();
    text[length] = '\0';
    return length;
}

// The characters Shift + Left must go back over: what Shift + Home selected, as UTF-16 units.
static int UnitsOf(const char *text)
{
    int units = MultiByteToWideChar(CP_ACP, 0, text, -1, NULL, 0);
    return units > 0 ? units - 1 : 0;
}

// The selection when there is one. Otherwise the caret's line up to the caret: Shift + Home
// selects it and Shift + Right as often as it has characters gives the selection back to the
// caret, which leaves the caret where it was in every editor (a plain Right or Left would put it
// at the line's start in some).
static bool ReadStampText(HWND window, char *text, int size, bool *selected)
{
    static INPUT inputs[4 + 8 + 4 * LOCATE_TEXT_SIZE];
    int count = 0;
    AddChord(inputs, &count, VK_CONTROL, KEY_C);
    *selected = CopyWithKeys(window, inputs, count, text, size) > 0;
    if (*selected)
        return true;
    count = 0;
    AddChord(inputs, &count, VK_SHIFT, VK_HOME);
    AddChord(inputs, &count, VK_CONTROL, KEY_C);
    CopyWithKeys(window, inputs, count, text, size);
    count = 0;
    int units = UnitsOf(text);
    if (units > 0) {
        AddKey(inputs, &count, VK_SHIFT, false);
        for (int i = 0; i < units && i < LOCATE_TEXT_SIZE; i++) {
            AddKey(inputs, &count, VK_RIGHT, false);
            AddKey(inputs, &count, VK_RIGHT, true);
        }
        AddKey(inputs, &count, VK_SHIFT, true);
    } else {
        // Shift + Home selected nothing, or the program copied nothing: the caret stays.
        AddKey(inputs, &count, VK_SHIFT, false);
        AddKey(inputs, &count, VK_SHIFT, true);
    }
    TypingSendInput((UINT)count, inputs, sizeof(INPUT));
    return text[0] != '\0';
}

void LocateMediaFrame(HWND window, int32_t frame)
{
    LONG length = QuorvelControl(QUORVEL_QUERY_LENGTH, 0);
    SeekPlayingOn(window, JumpFrame(frame, 0, length));  // a stamp beyond the end: the last frame
}

void LocateFromStamp(HWND window)
{
    static char text[LOCATE_TEXT_SIZE * 2];
    SavedClipboard saved;
    if (!SaveAndEmptyClipboard(&saved)) {
        ShowTitleNotice(window, L"The clipboard is busy: no stamp read");
        return;
    }
    bool selected = false;
    bool read = ReadStampText(window, text, sizeof text, &selected);
    RestoreClipboard(window, &saved);
    int32_t frame = 0;
    StampClock clock = CurrentStampClock();
    if (read && FindStamp(text, (int)strlen(text), selected, Stamps.templateText, clock, &frame)) {
        // Read as the file's first stretch counts; a recording with breaks has its own.
        LocateMediaFrame(window, MediaFrameOfTimecode(
                                     (int32_t)((uint32_t)frame + (uint32_t)clock.offsetFrames)));
        return;
    }
    ShowTitleNotice(window, selected ? L"No stamp in the selection" : L"No stamp before the caret");
}
