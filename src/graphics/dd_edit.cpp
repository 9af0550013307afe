#include "graphics/dd_edit.h"

#include <algorithm>
#include <cctype>

#include "graphics/draw.h"
#include "graphics/images.h"
#include "platform/platform.h"

namespace {

constexpr uint32_t kGreen = 0x00FF00;
constexpr uint32_t kBlinkMs = 300;
constexpr uint8_t kMaxLetters = 10;
constexpr char kDeleteCode = '~';
constexpr int kFocusedBoxImage = 37;
constexpr int kPlainBoxImage = 8;

int32_t BoxTextWidth(const std::string& text) {
  return gfx::TextWidth(gfx::Face::Entry, kEditFontHeight, kEditFontWidth, text);
}

}  // namespace

void TDDEdit::SetText(const std::string& text) {
  // Len is a byte: a longer stored text is cut where the box could never show it anyway.
  text_ = text.substr(0, 255);
  Len = static_cast<uint8_t>(text_.size());
}

void TDDEdit::Draw(gfx::TSurface* target) {
  if (!target) return;
  if (Focused) {
    if (const gfx::TSurface* box = gfx::ScreenImages[kFocusedBoxImage].get()) {
      target->BltFast(Rect.left, Rect.top, *box, nullptr, gfx::kBltWaitSrcKey);
    }
  } else if (const gfx::TSurface* box = gfx::ScreenImages[kPlainBoxImage].get()) {
    target->BltFast(Rect.left + 4, Rect.top + 4, *box, nullptr, gfx::kBltWait);
  }

  TickNow = platform::Services().clock->TickCount();
  if (static_cast<uint32_t>(TickNow - TickBlink) > kBlinkMs) {
    CaretOn = !CaretOn;
    TickBlink = platform::Services().clock->TickCount();
  }

  const int32_t w = BoxTextWidth(text_);
  if (CaretOn && Focused && Editing) {
    // A pen 3 pixels wide centred on the caret's column; the line's end point is not drawn.
    const int32_t x = Rect.left + w + 15;
    target->FillRect({x - 1, Rect.top + 12, x + 2, Rect.bottom - 2}, kGreen);
  }

  std::transform(text_.begin(), text_.end(), text_.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  if (Len > 0) text_[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(text_[0])));

  gfx::DrawTextFace(gfx::Face::Entry, Rect.left + 12, Rect.top + 10, kEditFontHeight,
                    kEditFontWidth, text_.substr(0, Len), target, kGreen, 0);
}

void TDDEdit::InputChar(char c) {
  if (c == kDeleteCode) {
    if (Len > 0) {
      text_.pop_back();
      --Len;
    }
    return;
  }
  const int32_t widthWith = BoxTextWidth(text_ + c);
  if (Len < kMaxLetters && Rect.left + widthWith + 5 < Rect.right) {
    text_.push_back(c);
    ++Len;
  }
}
