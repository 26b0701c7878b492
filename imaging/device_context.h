#pragma once
// What the rasterizer needs of a drawing surface: its vertical resolution.
// A null surface stands for the screen, at 96 dots per inch.

namespace sylpic {

inline constexpr int kScreenDpi = 96;

struct DeviceContext {
    int logPixelsY = kScreenDpi;  // vertical dots per inch
};

}  // namespace sylpic
