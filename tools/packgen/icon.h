// The program's icon: the player's warship climbing out of a ring of green light on a rounded
// tile of deep space. Drawn at any size from the same paths, so the 48, 128 and 256 pixel
// desktop icons and the window's own icon are one picture.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace packgen {

// The sizes installed for the desktop, and the one the window carries at run time.
inline constexpr int kDesktopIconSizes[] = {48, 128, 256};
inline constexpr int kWindowIconSize = 128;
// The sizes in the Windows icon file (title bar, taskbar, Explorer's views).
inline constexpr int kWindowsIconSizes[] = {16, 24, 32, 48, 256};

// size x size pixels, row-major, top row first, 0xAARRGGBB with straight (not premultiplied)
// alpha: the corners outside the tile are transparent.
std::vector<uint32_t> DrawIcon(int size);

// Writes the icon of that size as a PNG file, creating its folder.
void WriteIconPng(int size, const std::string& path);

// Writes a Windows icon file (.ico) holding the icon at each of `sizes`, each image stored as
// PNG (which Windows reads in icon files since Vista), creating its folder.
void WriteIconIco(const std::vector<int>& sizes, const std::string& path);

}  // namespace packgen
