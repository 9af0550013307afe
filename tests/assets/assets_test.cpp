// The generated assets: the sprite pack, the seven effects (as files and as embedded in the
// program) and the two tunes, checked against the formats the game relies on.
#include <SDL.h>
#include <SDL_mixer.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "audio/embedded_sounds.h"
#include "fakes/test_pack.h"

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

const fs::path kGameDir = STARMOAT_GAME_DIR;
const fs::path kAssetDir = STARMOAT_ASSET_DIR;

Bytes ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

uint32_t U32(const Bytes& b, size_t at) {
  return uint32_t(b[at]) | uint32_t(b[at + 1]) << 8 | uint32_t(b[at + 2]) << 16 |
         uint32_t(b[at + 3]) << 24;
}
uint16_t U16(const Bytes& b, size_t at) { return uint16_t(b[at] | b[at + 1] << 8); }

// Splits the pack into its BMP files; fails the test when the records do not fill the file.
std::vector<Bytes> PackRecords() {
  Bytes pack = ReadAll(kGameDir / "Data" / "Data.pp");
  std::vector<Bytes> records;
  size_t at = 0;
  while (at + 4 <= pack.size()) {
    uint32_t length = U32(pack, at);
    if (at + 4 + length > pack.size()) break;
    records.emplace_back(pack.begin() + long(at + 4), pack.begin() + long(at + 4 + length));
    at += 4 + length;
  }
  EXPECT_EQ(at, pack.size()) << "bytes left over after the last whole record";
  return records;
}


// Decodes a record with SDL into 0xRRGGBB pixels.
struct Decoded {
  int w = 0, h = 0;
  std::vector<uint32_t> rgb;
};
Decoded Decode(const Bytes& bmp) {
  Decoded out;
  SDL_Surface* raw = SDL_LoadBMP_RW(SDL_RWFromConstMem(bmp.data(), int(bmp.size())), 1);
  if (raw == nullptr) return out;
  SDL_Surface* s = SDL_ConvertSurfaceFormat(raw, SDL_PIXELFORMAT_XRGB8888, 0);
  SDL_FreeSurface(raw);
  out.w = s->w;
  out.h = s->h;
  for (int y = 0; y < s->h; ++y) {
    const uint32_t* row = reinterpret_cast<const uint32_t*>(static_cast<uint8_t*>(s->pixels) + y * s->pitch);
    for (int x = 0; x < s->w; ++x) out.rgb.push_back(row[x] & 0xFFFFFF);
  }
  SDL_FreeSurface(s);
  return out;
}

class PackTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    for (const Bytes& record : PackRecords()) decoded_.push_back(Decode(record));
  }
  static void TearDownTestSuite() { decoded_.clear(); }
  static std::vector<Decoded> decoded_;
};
std::vector<Decoded> PackTest::decoded_;

TEST_F(PackTest, HoldsOneHundredAndTwoPicturesOfTheSizesTheGameDraws) {
  ASSERT_EQ(decoded_.size(), 102u);
  for (size_t i = 0; i < decoded_.size(); ++i) {
    EXPECT_EQ(decoded_[i].w, testpack::TestPackSize(int(i)).w) << "record " << i << ": " << SDL_GetError();
    EXPECT_EQ(decoded_[i].h, testpack::TestPackSize(int(i)).h) << "record " << i;
  }
}

// Antialiased edges are blended towards dark, never towards the key: nothing near magenta
// except the key itself.
TEST_F(PackTest, KeyedPicturesHaveNoMagentaFringe) {
  ASSERT_EQ(decoded_.size(), 102u);
  for (size_t i = 0; i < decoded_.size(); ++i) {
    int fringe = 0;
    for (uint32_t c : decoded_[i].rgb) {
      int r = c >> 16, g = (c >> 8) & 0xFF, b = c & 0xFF;
      if (c != 0xFF00FF && r > 120 && b > 120 && g < r / 3 && g < b / 3) ++fringe;
    }
    EXPECT_EQ(fringe, 0) << "record " << i;
  }
}

// Pictures the game copies without a colour key must not show the key colour.
TEST_F(PackTest, PicturesDrawnOpaqueContainNoMagenta) {
  ASSERT_EQ(decoded_.size(), 102u);
  for (int screenSlot : {0, 8, 10, 19, 23, 34, 39, 40}) {
    const Decoded& d = decoded_[60 + screenSlot];
    EXPECT_EQ(std::count(d.rgb.begin(), d.rgb.end(), 0xFF00FFu), 0) << "screen picture " << screenSlot;
  }
}

// Tiles join seamlessly: across each wrapped edge the pixels change no more than across the
// roughest pair of neighbouring rows or columns inside the tile.
TEST_F(PackTest, BackgroundTilesWrapWithoutASeam) {
  ASSERT_EQ(decoded_.size(), 102u);
  auto diff = [](uint32_t a, uint32_t b) {
    int d = 0;
    for (int s = 0; s <= 16; s += 8) d += std::abs(int((a >> s) & 0xFF) - int((b >> s) & 0xFF));
    return d;
  };
  for (int record = 2; record <= 7; ++record) {
    const Decoded& t = decoded_[record];
    auto at = [&](int x, int y) { return t.rgb[size_t(y) * t.w + x]; };
    // Sum of differences between column x and column x + 1 (wrapping), and likewise for rows.
    auto columnStep = [&](int x) {
      long sum = 0;
      for (int y = 0; y < t.h; ++y) sum += diff(at(x, y), at((x + 1) % t.w, y));
      return sum;
    };
    auto rowStep = [&](int y) {
      long sum = 0;
      for (int x = 0; x < t.w; ++x) sum += diff(at(x, y), at(x, (y + 1) % t.h));
      return sum;
    };
    long roughestColumn = 0, roughestRow = 0;
    for (int x = 0; x + 1 < t.w; ++x) roughestColumn = std::max(roughestColumn, columnStep(x));
    for (int y = 0; y + 1 < t.h; ++y) roughestRow = std::max(roughestRow, rowStep(y));
    EXPECT_LE(columnStep(t.w - 1), roughestColumn) << "left/right seam of record " << record;
    EXPECT_LE(rowStep(t.h - 1), roughestRow) << "top/bottom seam of record " << record;
  }
}

TEST(PackGenerator, SecondRunWritesTheSameBytes) {
#if defined(_WIN32)
  GTEST_SKIP() << "the generator is a program of the build machine, not of Windows: a cross "
                  "build runs the native one, and the native build's test checks it";
#endif
  fs::path dir = testpack::MakeTempDir("packgen");
  std::string command = std::string("\"") + STARMOAT_PACKGEN + "\" \"" + (dir / "game").string() +
                        "\" \"" + (dir / "assets").string() + "\" \"" + (dir / "embed.cpp").string() + "\"";
  ASSERT_EQ(std::system(command.c_str()), 0);
  std::vector<std::pair<fs::path, fs::path>> files = {
      {kGameDir / "Data" / "Data.pp", dir / "game" / "Data" / "Data.pp"},
      {kGameDir / "sound" / "1.xm", dir / "game" / "sound" / "1.xm"},
      {kGameDir / "sound" / "2.xm", dir / "game" / "sound" / "2.xm"},
      {kAssetDir / "contact-sheet.png", dir / "assets" / "contact-sheet.png"}};
  for (const char* name : {"MenuClick", "Hit", "Laser_1", "Plasma", "Rocket", "Skeel", "NewStage"}) {
    std::string file = std::string(name) + ".wav";
    files.push_back({kAssetDir / "sfx" / file, dir / "assets" / "sfx" / file});
  }
  for (const char* size : {"48x48", "128x128", "256x256"}) {
    const fs::path icon = fs::path("icons") / "hicolor" / size / "apps" / "starmoat.png";
    files.push_back({kAssetDir / icon, dir / "assets" / icon});
  }
  files.push_back({kAssetDir / "icons" / "starmoat.ico", dir / "assets" / "icons" / "starmoat.ico"});
  for (const auto& [built, again] : files) {
    Bytes a = ReadAll(built), b = ReadAll(again);
    EXPECT_FALSE(a.empty()) << built;
    EXPECT_TRUE(a == b) << built << " differs from a second run";
  }
  fs::remove_all(dir);
}

// The Windows icon file: an icon directory of five PNG images, 16 to 256 pixels, each entry
// naming its own size and where its image lies.
TEST(WindowsIcon, HoldsEachSizeAsAPngImage) {
  const Bytes ico = ReadAll(kAssetDir / "icons" / "starmoat.ico");
  ASSERT_GE(ico.size(), 6u);
  const auto le = [&](size_t at, int bytes) {
    uint32_t value = 0;
    for (int i = bytes - 1; i >= 0; --i) value = value << 8 | ico.at(at + i);
    return value;
  };
  EXPECT_EQ(le(0, 2), 0u);
  EXPECT_EQ(le(2, 2), 1u);  // an icon
  const uint32_t sizes[] = {16, 24, 32, 48, 256};
  ASSERT_EQ(le(4, 2), std::size(sizes));
  for (size_t i = 0; i < std::size(sizes); ++i) {
    SCOPED_TRACE(sizes[i]);
    const size_t entry = 6 + 16 * i;
    EXPECT_EQ(ico.at(entry) == 0 ? 256u : ico.at(entry), sizes[i]);
    EXPECT_EQ(ico.at(entry + 1) == 0 ? 256u : ico.at(entry + 1), sizes[i]);
    const uint32_t length = le(entry + 8, 4), offset = le(entry + 12, 4);
    ASSERT_LE(size_t{offset} + length, ico.size());
    const uint8_t png[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    EXPECT_TRUE(std::equal(std::begin(png), std::end(png), ico.begin() + offset));
    // The PNG's own header (IHDR) says the same size.
    EXPECT_EQ(uint32_t{ico.at(offset + 16)} << 24 | ico.at(offset + 17) << 16 |
                  ico.at(offset + 18) << 8 | ico.at(offset + 19),
              sizes[i]);
  }
}

struct EffectFormat {
  const char* name;
  uint32_t rate, bits, dataBytes, fileBytes;
};
constexpr EffectFormat kEffects[7] = {
    {"MenuClick", 8000, 8, 368, 412},    {"Hit", 16000, 8, 16755, 16799},
    {"Laser_1", 16000, 8, 2603, 2647},   {"Plasma", 22050, 16, 29952, 29996},
    {"Rocket", 22050, 8, 24130, 24174},  {"Skeel", 8000, 8, 14675, 14719},
    {"NewStage", 11025, 8, 73094, 73138}};

TEST(SoundEffects, FilesHaveTheFormatsAndLengthsOfTheBank) {
  for (const EffectFormat& e : kEffects) {
    SCOPED_TRACE(e.name);
    Bytes w = ReadAll(kAssetDir / "sfx" / (std::string(e.name) + ".wav"));
    ASSERT_EQ(w.size(), e.fileBytes);
    EXPECT_EQ(std::string(w.begin(), w.begin() + 4), "RIFF");
    EXPECT_EQ(U32(w, 4), e.fileBytes - 8);
    EXPECT_EQ(std::string(w.begin() + 8, w.begin() + 16), "WAVEfmt ");
    EXPECT_EQ(U32(w, 16), 16u);
    EXPECT_EQ(U16(w, 20), 1);  // PCM
    EXPECT_EQ(U16(w, 22), 1);  // mono
    EXPECT_EQ(U32(w, 24), e.rate);
    EXPECT_EQ(U32(w, 28), e.rate * e.bits / 8);
    EXPECT_EQ(U16(w, 32), e.bits / 8);
    EXPECT_EQ(U16(w, 34), e.bits);
    EXPECT_EQ(std::string(w.begin() + 36, w.begin() + 40), "data");
    EXPECT_EQ(U32(w, 40), e.dataBytes);
  }
}

// Silence at both ends (no click when a voice starts or stops) and headroom (no clipping).
TEST(SoundEffects, StartAndEndSilentAndNeverClip) {
  for (const EffectFormat& e : kEffects) {
    SCOPED_TRACE(e.name);
    Bytes w = ReadAll(kAssetDir / "sfx" / (std::string(e.name) + ".wav"));
    ASSERT_EQ(w.size(), e.fileBytes);
    std::vector<int> s;  // centred on 0, 16-bit scale
    for (size_t at = 44; at + e.bits / 8 <= w.size(); at += e.bits / 8) {
      s.push_back(e.bits == 8 ? (int(w[at]) - 128) * 256 : int(int16_t(U16(w, at))));
    }
    EXPECT_LE(std::abs(s.front()), 256);
    EXPECT_LE(std::abs(s.back()), 256);
    int peak = 0;
    for (int v : s) peak = std::max(peak, std::abs(v));
    EXPECT_LT(peak, 32000);
    // Audible as played: the special weapon's sound always starts as ten voices together.
    const int voices = std::string(e.name) == "Skeel" ? 10 : 1;
    EXPECT_GT(peak * voices, 4000) << "audible";
  }
}

// Full resolution: every effect peaks near full scale and its samples take many distinct values
// (the mixer, not the data, makes an effect quieter). An 8-bit effect squeezed into a small part
// of its range sounds grainy.
TEST(SoundEffects, UseTheirFullRange) {
  for (const EffectFormat& e : kEffects) {
    SCOPED_TRACE(e.name);
    Bytes w = ReadAll(kAssetDir / "sfx" / (std::string(e.name) + ".wav"));
    ASSERT_EQ(w.size(), e.fileBytes);
    std::set<int> values;
    int peak = 0;  // of the sample format's own full scale, in percent
    for (size_t at = 44; at + e.bits / 8 <= w.size(); at += e.bits / 8) {
      const int v = e.bits == 8 ? int(w[at]) - 128 : int(int16_t(U16(w, at)));
      values.insert(v);
      peak = std::max(peak, std::abs(v) * 100 / (e.bits == 8 ? 127 : 32767));
    }
    EXPECT_GE(peak, 90) << "peaks well below full scale";
    // A quarter of the 8-bit codes even for the shortest click; for 16 bits, far more than
    // 8 bits could hold.
    EXPECT_GE(values.size(), e.bits == 8 ? 64u : 2048u) << "few distinct sample values";
  }
}

TEST(SoundEffects, EmbeddedCopiesMatchTheFilesInBankOrder) {
  for (int i = 0; i < 7; ++i) {
    EXPECT_STREQ(kEmbeddedSounds[i].name, kEffects[i].name);
    Bytes file = ReadAll(kAssetDir / "sfx" / (std::string(kEffects[i].name) + ".wav"));
    Bytes embedded(kEmbeddedSounds[i].data, kEmbeddedSounds[i].data + kEmbeddedSounds[i].size);
    EXPECT_TRUE(embedded == file) << kEffects[i].name;
  }
}

// Play time before the order list loops, from the module's own header (fixed speed and tempo).
double XmSeconds(const Bytes& xm) {
  size_t header = 60;
  uint16_t orders = U16(xm, 64), patterns = U16(xm, 70), speed = U16(xm, 76), bpm = U16(xm, 78);
  std::vector<int> rows;
  size_t at = header + U32(xm, header);
  for (int p = 0; p < patterns; ++p) {
    rows.push_back(U16(xm, at + 5));
    at += U32(xm, at) + U16(xm, at + 7);
  }
  int total = 0;
  for (int i = 0; i < orders; ++i) total += rows.at(xm[80 + i]);
  return total * speed * 2.5 / bpm;
}

class ModuleTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SDL_setenv("SDL_AUDIODRIVER", "dummy", 1);
    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_AUDIO), 0) << SDL_GetError();
    ASSERT_EQ(Mix_OpenAudio(44100, AUDIO_S16SYS, 2, 1024), 0) << Mix_GetError();
  }
  void TearDown() override {
    Mix_CloseAudio();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
  }
};

TEST_F(ModuleTest, BothTunesLoadInTheMixerAndLastLongEnough) {
  struct Tune {
    const char* file;
    double minSeconds;
  };
  for (const Tune& tune : {Tune{"1.xm", 60}, Tune{"2.xm", 90}}) {
    SCOPED_TRACE(tune.file);
    fs::path path = kGameDir / "sound" / tune.file;
    Bytes xm = ReadAll(path);
    ASSERT_GT(xm.size(), 336u);
    EXPECT_EQ(std::string(xm.begin(), xm.begin() + 17), "Extended Module: ");
    EXPECT_GE(XmSeconds(xm), tune.minSeconds);
    Mix_Music* music = Mix_LoadMUS(path.string().c_str());
    ASSERT_NE(music, nullptr) << Mix_GetError();
    EXPECT_EQ(Mix_GetMusicType(music), MUS_MOD);
    EXPECT_GE(Mix_MusicDuration(music), tune.minSeconds);
    Mix_FreeMusic(music);
  }
}

}  // namespace
