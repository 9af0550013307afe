#include "graphics/font_cache.h"

#include <SDL.h>
#include <SDL_ttf.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <tuple>

#include "platform/platform.h"

namespace gfx {

namespace {

// The size the face's proportions are measured at: large, so that the rounding of the
// measured pixel values costs well under a percent.
constexpr int kReferencePpem = 1000;
// Rasterised lines kept; the working set of a frame is a few dozen.
constexpr size_t kMaxCachedLines = 512;

// Letter frequencies (per thousand) of the classic average-character-width definition: the
// average width of a GDI font is the width of typical lower-case text, not of the widest glyphs.
constexpr std::array<std::pair<char, int>, 27> kWidthWeights = {{
    {'a', 64}, {'b', 14}, {'c', 27}, {'d', 35}, {'e', 100}, {'f', 20}, {'g', 14}, {'h', 42},
    {'i', 63}, {'j', 3},  {'k', 6},  {'l', 35}, {'m', 20},  {'n', 56}, {'o', 56}, {'p', 17},
    {'q', 4},  {'r', 49}, {'s', 56}, {'t', 71}, {'u', 31},  {'v', 10}, {'w', 18}, {'x', 3},
    {'y', 18}, {'z', 2},  {' ', 166},
}};

struct FontCloser {
  void operator()(TTF_Font* f) const { TTF_CloseFont(f); }
};
using FontPtr = std::unique_ptr<TTF_Font, FontCloser>;

struct SurfaceFreer {
  void operator()(SDL_Surface* s) const { SDL_FreeSurface(s); }
};

// One installed face: the file's bytes (every size opens from them) and its proportions.
struct FaceFile {
  bool loaded = false;  // tried already (successfully or not)
  std::vector<uint8_t> bytes;
  bool synthesiseBold = false;
  double cellPerPpem = 0;   // character cell height / pixels per em
  double widthPerPpem = 0;  // average character width / pixels per em
};

// The code points of a UTF-8 string; a malformed byte stands for itself as U+FFFD.
std::vector<uint32_t> DecodeUtf8(const std::string& text) {
  std::vector<uint32_t> out;
  for (size_t i = 0; i < text.size();) {
    const auto b = static_cast<uint8_t>(text[i]);
    const int extra = b < 0x80 ? 0 : (b >> 5) == 6 ? 1 : (b >> 4) == 14 ? 2 : (b >> 3) == 30 ? 3 : -1;
    uint32_t cp = extra == 0 ? b : extra == 1 ? (b & 0x1Fu) : extra == 2 ? (b & 0x0Fu) : (b & 0x07u);
    bool ok = extra >= 0 && i + static_cast<size_t>(std::max(extra, 0)) < text.size();
    for (int k = 1; ok && k <= extra; ++k) {
      const auto c = static_cast<uint8_t>(text[i + k]);
      ok = (c >> 6) == 2;
      cp = cp << 6 | (c & 0x3Fu);
    }
    out.push_back(ok ? cp : 0xFFFDu);
    i += ok ? static_cast<size_t>(extra) + 1 : 1;
  }
  return out;
}

bool ReadFile(const std::string& path, std::vector<uint8_t>& bytes) {
  if (path.empty()) return false;
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return !bytes.empty();
}

TTF_Font* OpenFromBytes(const std::vector<uint8_t>& bytes, unsigned hdpi, unsigned vdpi) {
  SDL_RWops* rw = SDL_RWFromConstMem(bytes.data(), static_cast<int>(bytes.size()));
  if (!rw) return nullptr;
  // Point size 1 at these resolutions gives hdpi/72 and vdpi/72 pixels per em.
  return TTF_OpenFontDPIRW(rw, 1, 1, hdpi, vdpi);
}

bool IsBoldStyle(TTF_Font* font) {
  const char* style = TTF_FontFaceStyleName(font);
  if (!style) return false;
  const std::string s = style;
  for (const char* word : {"Bold", "Black", "Heavy", "Semibold", "SemiBold", "Extra"}) {
    if (s.find(word) != std::string::npos) return true;
  }
  return false;
}

// Measures the face at the reference size; false when the bytes are not a usable font.
bool Measure(FaceFile& face) {
  FontPtr font(OpenFromBytes(face.bytes, kReferencePpem * 72, kReferencePpem * 72));
  if (!font) return false;
  face.synthesiseBold = !IsBoldStyle(font.get());
  if (face.synthesiseBold) TTF_SetFontStyle(font.get(), TTF_STYLE_BOLD);
  const int cell = TTF_FontAscent(font.get()) - TTF_FontDescent(font.get());
  double weighted = 0;
  for (const auto& [c, weight] : kWidthWeights) {
    int advance = 0;
    if (TTF_GlyphMetrics32(font.get(), static_cast<uint32_t>(c), nullptr, nullptr, nullptr,
                           nullptr, &advance) != 0) {
      return false;
    }
    weighted += advance * weight;
  }
  if (cell <= 0 || weighted <= 0) return false;
  face.cellPerPpem = static_cast<double>(cell) / kReferencePpem;
  face.widthPerPpem = weighted / 1000.0 / kReferencePpem;
  return true;
}

class FontCache {
 public:
  ~FontCache() { Clear(); }

  void Clear() {
    lines_.clear();
    fonts_.clear();
    faces_ = {};
  }

  TTF_Font* Font(Face which, int32_t height, int32_t width) {
    if (height <= 0) return nullptr;
    const auto key = std::make_tuple(static_cast<int>(which), height, width);
    auto it = fonts_.find(key);
    if (it != fonts_.end()) return it->second.get();
    FontPtr font = Open(which, height, width);
    TTF_Font* result = font.get();
    fonts_.emplace(key, std::move(font));  // a failure is remembered too
    return result;
  }

  const TextMask* Line(Face which, int32_t height, int32_t width, const std::string& text) {
    if (text.empty()) return nullptr;
    const auto key = std::make_tuple(static_cast<int>(which), height, width, text);
    auto it = lines_.find(key);
    if (it != lines_.end()) return &it->second;
    TTF_Font* font = Font(which, height, width);
    if (!font) return nullptr;
    TextMask mask;
    if (!Rasterise(font, text, mask)) return nullptr;
    if (lines_.size() >= kMaxCachedLines) lines_.clear();
    return &lines_.emplace(key, std::move(mask)).first->second;
  }

 private:
  FaceFile& FaceFor(Face which) {
    FaceFile& face = faces_[static_cast<size_t>(which)];
    if (face.loaded) return face;
    face.loaded = true;
    const char* family = which == Face::Entry ? kEntryFontFamily : kDisplayFontFamily;
    platform::IFontLocator* locator = platform::Services().fonts;
    // The chosen family, then the fallback family, then the fallback file itself.
    std::vector<std::string> candidates;
    if (locator) {
      candidates.push_back(locator->FindFont(family, true));
      candidates.push_back(locator->FindFont(kFallbackFontFamily, true));
    }
    candidates.push_back(kFallbackFontPath);
    for (const std::string& path : candidates) {
      if (ReadFile(path, face.bytes) && Measure(face)) return face;
    }
    face.bytes.clear();
    return face;
  }

  FontPtr Open(Face which, int32_t height, int32_t width) {
    if (!TTF_WasInit() && TTF_Init() != 0) return nullptr;
    FaceFile& face = FaceFor(which);
    if (face.bytes.empty()) return nullptr;
    // Height: the cell is `height` pixels. Width: 0 means the face's own proportions, as GDI
    // does; otherwise the average character is `width` pixels.
    const double vppem = height / face.cellPerPpem;
    const double hppem = width > 0 ? width / face.widthPerPpem : vppem;
    const auto dpi = [](double ppem) {
      return static_cast<unsigned>(std::max(1L, std::lround(ppem * 72.0)));
    };
    FontPtr font(OpenFromBytes(face.bytes, dpi(hppem), dpi(vppem)));
    if (!font) return nullptr;
    if (face.synthesiseBold) TTF_SetFontStyle(font.get(), TTF_STYLE_BOLD);
    // Hinting only vertically keeps the horizontally scaled outlines smooth.
    TTF_SetFontHinting(font.get(), TTF_HINTING_LIGHT);
    return font;
  }

  static bool Rasterise(TTF_Font* font, const std::string& text, TextMask& mask) {
    const SDL_Color white{255, 255, 255, 255};
    std::unique_ptr<SDL_Surface, SurfaceFreer> rendered(
        TTF_RenderUTF8_Blended(font, text.c_str(), white));
    if (!rendered) return false;
    std::unique_ptr<SDL_Surface, SurfaceFreer> argb(
        SDL_ConvertSurfaceFormat(rendered.get(), SDL_PIXELFORMAT_ARGB8888, 0));
    if (!argb) return false;
    mask.width = argb->w;
    mask.height = argb->h;
    // The renderer moves the whole line down when a glyph rises above the font's ascent.
    int32_t highest = 0;
    for (uint32_t cp : DecodeUtf8(text)) {
      int maxy = 0;
      if (TTF_GlyphMetrics32(font, cp, nullptr, nullptr, nullptr, &maxy, nullptr) == 0) {
        highest = std::max(highest, maxy);
      }
    }
    mask.cellTop = std::clamp(highest - TTF_FontAscent(font), 0,
                              std::max(0, mask.height - TTF_FontHeight(font)));
    mask.alpha.resize(static_cast<size_t>(mask.width) * static_cast<size_t>(mask.height));
    for (int y = 0; y < argb->h; ++y) {
      const auto* row = reinterpret_cast<const uint32_t*>(static_cast<const uint8_t*>(argb->pixels) +
                                                          static_cast<size_t>(y) * argb->pitch);
      uint8_t* out = mask.alpha.data() + static_cast<size_t>(y) * mask.width;
      for (int x = 0; x < argb->w; ++x) out[x] = static_cast<uint8_t>(row[x] >> 24);
    }
    return true;
  }

  std::array<FaceFile, 2> faces_;
  std::map<std::tuple<int, int32_t, int32_t>, FontPtr> fonts_;
  std::map<std::tuple<int, int32_t, int32_t, std::string>, TextMask> lines_;
};

FontCache& Cache() {
  static FontCache cache;
  return cache;
}

}  // namespace

const TextMask* RenderText(Face face, int32_t fontHeight, int32_t fontWidth,
                           const std::string& text) {
  return Cache().Line(face, fontHeight, fontWidth, text);
}

int32_t MeasureText(Face face, int32_t fontHeight, int32_t fontWidth, const std::string& text) {
  if (text.empty()) return 0;
  TTF_Font* font = Cache().Font(face, fontHeight, fontWidth);
  int w = 0;
  int h = 0;
  if (!font || TTF_SizeUTF8(font, text.c_str(), &w, &h) != 0) return 0;
  return w;
}

void ResetFontCache() { Cache().Clear(); }

}  // namespace gfx
