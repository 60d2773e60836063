// Small drawing helpers that need no GDI object of their own.
#include "libs/osgrim/skin.h"

void FillSolid(HDC dc, const RECT &rect, COLORREF colour)
{
    COLORREF old = SetBkColor(dc, colour);
    ExtTextOutA(dc, 0, 0, ETO_OPAQUE, &rect, NULL, 0, NULL);
    SetBkColor(dc, old);
}

void FrameSolid(HDC dc, const RECT &rect, COLORREF colour)
{
    RECT edge = rect;
    edge.bottom = edge.top + 1;
    FillSolid(dc, edge, colour);
    edge = rect;
    edge.top = edge.bottom - 1;
    FillSolid(dc, edge, colour);
    edge = rect;
    edge.right = edge.left + 1;
    FillSolid(dc, edge, colour);
    edge = rect;
    edge.left = edge.right - 1;
    FillSolid(dc, edge, colour);
}

// Paints the non-client border of a window (thin or sizing) in one colour, leaving the client
// area and any scroll bars alone.
void PaintWindowBorder(HWND window, COLORREF colour, int thickness)
{
    RECT outer;
    GetWindowRect(window, &outer);
    OffsetRect(&outer, -outer.left, -outer.top);
    HDC dc = GetWindowDC(window);
    if (!dc) return;
    RECT ring = outer;
    for (int i = 0; i < thickness && ring.right > ring.left && ring.bottom > ring.top; ++i) {
        FrameSolid(dc, ring, colour);
        InflateRect(&ring, -1, -1);
    }
    ReleaseDC(window, dc);
}

namespace {

BOOL CALLBACK RedrawOne(HWND window, LPARAM)
{
    RedrawWindow(window, NULL, NULL,
                 RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
    return TRUE;
}

}  // namespace

// After a change of theme, every window of this thread shows the new colours.
void RedrawSkinnedWindows()
{
    EnumThreadWindows(GetCurrentThreadId(), RedrawOne, 0);
}
