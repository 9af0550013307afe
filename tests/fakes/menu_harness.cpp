#include "fakes/menu_harness.h"

#include "graphics/draw.h"
#include "graphics/widgets.h"
#include "platform/platform.h"
#include "shell/screen_state.h"

void MenuHarness::SkipIntro() {
  Click(1, 1);
  Frame();
}

void MenuHarness::PointAt(const gfx::Rect& r) {
  MouseMove((r.left + r.right) / 2, (r.top + r.bottom) / 2);
  Frame();
}

void MenuHarness::ClickOn(const gfx::Rect& r) {
  PointAt(r);
  Click((r.left + r.right) / 2, (r.top + r.bottom) / 2);
}

void MenuHarness::Notify(platform::WindowEvent::Kind kind) {
  platform::WindowEvent e;
  e.kind = kind;
  Send(e);
}

void MenuHarness::OpenMainMenuItem(int item) {
  if (ScreenState == ssIntro) SkipIntro();
  while (MainMenuButtons->ItemIndex != item) Key(platform::VK_DOWN);
  Key(platform::VK_RETURN);
  Frame();
}

bool PictureAt(const gfx::TSurface& frame, const gfx::TSurface& picture, int32_t x, int32_t y) {
  const auto key = picture.ColorKey();
  for (int32_t py = 0; py < picture.Height(); ++py) {
    for (int32_t px = 0; px < picture.Width(); ++px) {
      const uint32_t p = picture.GetPixel(px, py);
      if (key && p == *key) continue;
      if (x + px >= frame.Width() || y + py >= frame.Height()) continue;
      if (frame.GetPixel(x + px, y + py) != p) return false;
    }
  }
  return true;
}

gfx::TSurface TopRows(const gfx::TSurface& picture, int32_t rows) {
  gfx::TSurface top(picture.Width(), rows);
  top.BltFast(0, 0, picture, nullptr, gfx::kBltWait);
  if (picture.ColorKey()) top.SetColorKey(*picture.ColorKey());
  return top;
}

bool TextAt(const gfx::TSurface& frame, int32_t x, int32_t y, int32_t height, int32_t width,
            const std::string& text, uint32_t rgb, gfx::Face face) {
  // The same text on black, in a colour that cannot come from blending: its full pixels.
  constexpr uint32_t kMarker = 0xFFFFFF;
  gfx::TSurface probe(frame.Width(), frame.Height());
  probe.Fill(0);
  gfx::DrawTextFace(face, x, y, height, width, text, &probe, kMarker, 0);
  int found = 0;
  for (int32_t py = 0; py < probe.Height(); ++py) {
    for (int32_t px = 0; px < probe.Width(); ++px) {
      if (probe.GetPixel(px, py) != kMarker) continue;
      if (frame.GetPixel(px, py) != rgb) return false;
      ++found;
    }
  }
  return found > 0;
}
