// What the parts of the skin library share: the theme, the library's one state block, and the
// drawing helpers and window procedures that live in their own files.
#pragma once

#include <windows.h>

// The colours of one look. Every window of the library paints from the current theme only.
struct SkinTheme {
    const char *name;
    COLORREF frame;               // window border
    COLORREF stripActive;         // title strip of the active window
    COLORREF stripInactive;
    COLORREF stripText;
    COLORREF stripTextInactive;
    COLORREF stripButtonPressed;  // min/max/close while held down
    COLORREF panel;               // dialog and Player window background
    COLORREF panelText;
    COLORREF field;               // inside of edit, list and combo controls
    COLORREF fieldText;
    COLORREF border;              // control borders
    COLORREF buttonFace;
    COLORREF buttonPressed;
    COLORREF buttonText;
    COLORREF buttonDefault;       // border of the default push button
    COLORREF menuBack;
    COLORREF menuText;
    COLORREF menuHighlight;
    COLORREF menuHighlightText;
    COLORREF menuGrey;
};

// The library's process-wide state. GDI objects here are made by SetOsgrimTheme and InitOsgrim
// and freed by ExitOsgrim; nothing else keeps a GDI object beyond one paint.
struct SkinState {
    HINSTANCE module;        // OSGRIM.DLL itself: owner of the registered classes
    HINSTANCE program;       // the instance given to InitOsgrim: where button bitmaps come from
    bool initialised;
    const SkinTheme *theme;
    HBRUSH panelBrush;       // answered to WM_CTLCOLOR* of dialog children
    HBRUSH fieldBrush;
    HBRUSH menuBrush;        // background of the popup menu
    HFONT titleFont;         // title strip
    HFONT menuFont;          // popup menu items
    HWND menuOwner;          // hidden window that draws the popup menu's items
};

extern SkinState g_skin;

// Height of the title strip, and the size and places of its buttons.
const int kStripHeight = 18;
const int kStripButtonWidth = 16;
const int kStripButtonHeight = 14;
const int kStripButtonTop = 2;
const int kStripButtonGap = 1;
const int kStripTextIndent = 6;

// theme.cpp
const SkinTheme &DefaultTheme();
const SkinTheme *FindTheme(const char *name);  // NULL when the name is unknown
bool MakeThemeObjects(const SkinTheme &theme);
void FreeThemeObjects();
void FreeFonts();
bool MakeFonts();

// paint.cpp
void FillSolid(HDC dc, const RECT &rect, COLORREF colour);
void FrameSolid(HDC dc, const RECT &rect, COLORREF colour);
void PaintWindowBorder(HWND window, COLORREF colour, int thickness);
void RedrawSkinnedWindows();

// strip.cpp: the title strip inside the top of the client area
enum StripPart { STRIP_NONE, STRIP_CAPTION, STRIP_MINIMIZE, STRIP_MAXIMIZE, STRIP_CLOSE };
RECT StripRect(HWND window);
RECT StripButtonRect(HWND window, StripPart part);  // empty when the window has no such button
StripPart StripPartAt(HWND window, POINT client);
void PaintStrip(HWND window, HDC dc, bool active, StripPart pressed);

// frame.cpp
INT_PTR SkinFrameMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// taskwindow.cpp
bool RegisterTaskWindowClass();
void UnregisterTaskWindowClass();
bool IsTaskWindow(HWND window);
void MinimiseThroughTaskWindow(HWND window);

// popupmenu.cpp
bool RegisterMenuOwnerClass();
void DestroyMenuOwner();

// controls.cpp, bmbutton.cpp, txgbutton.cpp
bool RegisterControlClasses();
void UnregisterControlClasses();
// A superclass: the standard class's procedure and window bytes, and the class's own bytes after
// them.
struct Superclass {
    const char *base;
    const char *name;
    WNDPROC proc;
    int ownBytes;
    WNDPROC baseProc;
    int baseBytes;
};
extern Superclass g_bmButtonClass;
extern Superclass g_txgButtonClass;
LRESULT CALLBACK BmButtonProc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK TxgButtonProc(HWND, UINT, WPARAM, LPARAM);
