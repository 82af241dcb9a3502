#pragma once

#include <vector>

struct ScreenRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

// Where the view's window opens. The panel fills the first monitor, so a
// second one, when there is one, gets the view large in its middle. On one
// monitor the view is small and sits over the top left of the panel's side
// view, the part of the panel that nothing is typed or clicked in and that
// the view repeats in 3D; the action bar above it and the column of boxes on
// the right stay clear.
ScreenRect viewPlacement(const std::vector<ScreenRect>& monitors);
