// The white header band of the setup dialog: three icons and the three steps in a staircase.
#pragma once
#include <windows.h>

// Paints into `dc`; `client` is the dialog's client rectangle, `divider_top` the top of the
// line under the band, in pixels. The band ends one pixel above the line.
void PaintHeader(HDC dc, const RECT& client, int divider_top, HICON icon);
