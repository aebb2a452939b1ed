// Where the minimized dialog draws its icon.
#pragma once

struct IconOrigin {
    int x;
    int y;
};

// Centres an icon in a client area; the divisions truncate toward zero, so
// an area smaller than the icon gives a negative origin.
IconOrigin CentredIconOrigin(int clientWidth, int clientHeight, int iconWidth, int iconHeight);
