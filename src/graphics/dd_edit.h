// A one-line text box: the country on the options page and the player's name after a high
// score. At most ten letters, fewer when they would not fit the box. The text is kept
// normalised by Draw ("MARY" becomes "Mary"), so whoever reads it later gets that form.
#pragma once

#include <cstdint>
#include <string>

#include "graphics/surface.h"

class TDDEdit {
 public:
  // The box's look (focused picture or plain frame), the caret while focused and editing
  // (blinking in phases of a little more than 300 ms), and the text. Normalises the text.
  void Draw(gfx::TSurface* target);
  // Appends a letter, or with '~' removes the last character. A letter that would make more
  // than ten characters, or would not fit inside the box, is dropped.
  void InputChar(char c);

  std::string Text() const { return text_; }
  // Puts a text into the box with the typing position at its end (the settings loader's
  // country). Longer texts than the box allows are kept whole; typing can only shorten them.
  void SetText(const std::string& text);

  bool Focused = false;
  bool Editing = false;
  uint8_t Len = 0;  // characters of the text that are drawn; kept equal to its length
  gfx::Rect Rect;
  uint32_t TickNow = 0;
  uint32_t TickBlink = 0;
  bool CaretOn = false;

 private:
  std::string text_;
};

// The box font: face, cell height and average character width in pixels.
inline constexpr int32_t kEditFontHeight = 32;
inline constexpr int32_t kEditFontWidth = 20;
