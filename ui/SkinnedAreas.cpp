#include "ui/SkinnedAreas.h"

#include "res/resource.h"
#include "ui/AppObjects.h"
#include "ui/GdiScopes.h"

#include <windowsx.h>

int pressedArea = 0;

namespace {

const int kTileWidth = 61;
const int kTileHeight = 23;

// The skin holds one row of tiles per area: the normal look at the left, the pressed look
// one tile to its right.
struct SkinnedArea
{
    int controlId;
    int tileY;
};

// pressedArea n stands for kAreas[n - 1]. Run is tested first; the two do not overlap.
const SkinnedArea kAreas[] = {
    {IDOK, 0},
    {IDCANCEL, kTileHeight},
};
const int kAreaCount = sizeof kAreas / sizeof kAreas[0];

void DrawTile(HDC dc, const SkinnedArea& area, bool pressed)
{
    dibSkin.Draw(dc, 0, 0, pressed ? kTileWidth : 0, area.tileY, kTileWidth, kTileHeight, SRCCOPY);
}

// Drawn at once through the control's own device context instead of waiting for a paint.
void ShowTile(HWND dialog, const SkinnedArea& area, bool pressed)
{
    WindowDc dc(GetDlgItem(dialog, area.controlId));
    DrawTile(dc.Handle(), area, pressed);
}

// The window rectangle's right and bottom edges lie outside the area.
bool PointInArea(HWND dialog, LPARAM point, const SkinnedArea& area)
{
    POINT screen = {GET_X_LPARAM(point), GET_Y_LPARAM(point)};
    ClientToScreen(dialog, &screen);
    RECT rect = {};
    if (!GetWindowRect(GetDlgItem(dialog, area.controlId), &rect))
        return false;
    return PtInRect(&rect, screen) != FALSE;
}

}  // namespace

void LoadSkin()
{
    MemoryDc screen(nullptr);
    dibSkin.Load(screen.Handle(), IDB_SKIN, appInstance);
}

// Without a skin the controls are left to paint themselves, as the empty statics they are.
void PaintSkinnedAreas(HWND dialog)
{
    if (!dibSkin.Loaded())
        return;
    for (const SkinnedArea& area : kAreas) {
        PaintDc dc(GetDlgItem(dialog, area.controlId));
        DrawTile(dc.Handle(), area, false);
    }
}

void PressSkinnedArea(HWND dialog, LPARAM point)
{
    for (int i = 0; i < kAreaCount; ++i) {
        if (PointInArea(dialog, point, kAreas[i])) {
            ShowTile(dialog, kAreas[i], true);
            SetCapture(dialog);
            pressedArea = i + 1;
            return;
        }
    }
}

// The press is over before the capture goes, so the capture change that follows finds
// nothing to drop.
void ReleaseSkinnedArea(HWND dialog, LPARAM point)
{
    if (pressedArea < 1 || pressedArea > kAreaCount)
        return;
    const SkinnedArea& area = kAreas[pressedArea - 1];
    const bool inside = PointInArea(dialog, point, area);
    pressedArea = 0;
    ReleaseCapture();
    ShowTile(dialog, area, false);
    if (inside)
        PostMessageA(dialog, WM_COMMAND, static_cast<WPARAM>(area.controlId), 0);
}

void DropSkinnedPress(HWND dialog)
{
    if (pressedArea < 1 || pressedArea > kAreaCount)
        return;
    const SkinnedArea& area = kAreas[pressedArea - 1];
    pressedArea = 0;
    ShowTile(dialog, area, false);
}
