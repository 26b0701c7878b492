#include "app/qt/surface_resolution.h"

#include <QScreen>
#include <QWidget>
#include <cmath>

#include "imaging/device_context.h"

namespace sylpic {

namespace {

// The bounds the command line's --dpi accepts.
constexpr double kLowestDpi = 1;
constexpr double kHighestDpi = 10000;

}  // namespace

int SurfaceDpi(const QWidget* widget)
{
    const QScreen* screen = widget ? widget->screen() : nullptr;
    if (!screen)
        return kScreenDpi;
    // Qt keeps the logical resolution at 96 and carries a desktop's scaling
    // in the device pixel ratio (a 120 dpi desktop is 96 at 1.25), so the
    // pixels drawn per inch are the two multiplied. Where scaling is turned
    // off the ratio is 1 and the logical resolution is the desktop's own.
    const double dpi = screen->logicalDotsPerInchY() * screen->devicePixelRatio();
    if (!(dpi >= kLowestDpi && dpi <= kHighestDpi))
        return kScreenDpi;
    return static_cast<int>(std::lround(dpi));
}

}  // namespace sylpic
