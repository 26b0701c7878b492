#pragma once
// The vertical resolution, in dots per inch, of the surface a window is
// drawn on: what the rasterizer's size in points is measured against.
class QWidget;

namespace sylpic {

// The resolution of the screen `widget` is on now; the screen's default when
// it is on none.
int SurfaceDpi(const QWidget* widget);

}  // namespace sylpic
