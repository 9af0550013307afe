#include "graphics/images.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "fakes/test_pack.h"
#include "graphics/bitmap_util.h"
#include "graphics/draw.h"

namespace gfx {
namespace {

using testpack::TestPackPixel;
using testpack::TestPackSize;

std::vector<uint8_t> ReadAll(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteAll(const std::filesystem::path& path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

void ExpectTestPackPicture(const TSurface* s, int record) {
  ASSERT_NE(s, nullptr) << record;
  const auto size = TestPackSize(record);
  ASSERT_EQ(s->Width(), size.w) << record;
  ASSERT_EQ(s->Height(), size.h) << record;
  for (int y = 0; y < size.h; ++y)
    for (int x = 0; x < size.w; ++x)
      ASSERT_EQ(s->GetPixel(x, y), TestPackPixel(record, x, y)) << record << " " << x << "," << y;
}

// The pack's name as the system writes it in messages: Data\Data.pp on Windows.
std::string PackName() { return (std::filesystem::path("Data") / "Data.pp").string(); }

// Expects PackError whose message contains every given piece.
template <typename F>
void ExpectPackError(F&& f, std::initializer_list<const char*> pieces) {
  try {
    f();
    ADD_FAILURE() << "no PackError";
  } catch (const PackError& e) {
    const std::string message = e.what();
    for (const char* piece : pieces) EXPECT_NE(message.find(piece), std::string::npos) << message;
  }
}

class ImagesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetImages();
    dir_ = testpack::MakeTempDir("images");
    cwd_ = std::make_unique<testpack::ScopedCurrentDir>(dir_);
  }
  void TearDown() override {
    ResetImages();
    cwd_.reset();
    std::filesystem::remove_all(dir_);
  }
  std::filesystem::path PackPath() const { return dir_ / "Data" / "Data.pp"; }
  // The "Data\Data.pp" of the program, relative to the current folder.
  const std::string pack_ = kPackPath;
  std::filesystem::path dir_;
  std::unique_ptr<testpack::ScopedCurrentDir> cwd_;
};

TEST_F(ImagesTest, ReadsFirstAndLastRecord) {
  testpack::WriteTestPack(dir_);
  for (int record : {0, 1, 59, 60, 101}) {
    auto s = LoadPackImage(pack_, static_cast<uint8_t>(record));
    ExpectTestPackPicture(s.get(), record);
    EXPECT_EQ(s->ColorKey(), std::optional<uint32_t>(kMagenta));
  }
}

TEST_F(ImagesTest, LoadImagesFillsEveryTableWithItsKeys) {
  testpack::WriteTestPack(dir_);
  LoadImages();
  for (int i = 0; i < kSpriteCount; ++i) {
    ExpectTestPackPicture(SpriteImages[i].get(), i);
    EXPECT_EQ(SpriteImages[i]->ColorKey(),
              std::optional<uint32_t>(i >= 3 && i <= 7 ? kBlack : kMagenta)) << i;
  }
  for (int j = 0; j < kScreenImageCount; ++j) {
    ExpectTestPackPicture(ScreenImages[j].get(), 60 + j);
    EXPECT_EQ(ScreenImages[j]->ColorKey(), std::optional<uint32_t>(kMagenta)) << j;
  }
  for (int k = 0; k < kFlippedShotCount; ++k) {
    EXPECT_EQ(FlippedShotImages[k]->ColorKey(), std::optional<uint32_t>(kMagenta)) << k;
  }
}

TEST_F(ImagesTest, FlippedShotsMirrorTheShotSpritesRowByRow) {
  testpack::WriteTestPack(dir_);
  LoadImages();
  for (int k = 0; k < kFlippedShotCount; ++k) {
    const TSurface& shot = *SpriteImages[22 + k];
    const TSurface& flipped = *FlippedShotImages[k];
    ASSERT_EQ(flipped.Width(), shot.Width());
    ASSERT_EQ(flipped.Height(), shot.Height());
    const int h = shot.Height();
    for (int r = 0; r < h; ++r)
      for (int c = 0; c < shot.Width(); ++c)
        ASSERT_EQ(flipped.GetPixel(c, r), shot.GetPixel(c, h - 1 - r)) << k << " " << c << "," << r;
  }
}

TEST_F(ImagesTest, BlackKeyedSlotsKeepMagentaAndOthersKeepBlack) {
  // Records 3 and 10 get a black pixel at (0, 0) and a magenta one at (1, 0).
  auto records = testpack::TestPackRecords();
  for (int record : {3, 10}) {
    const auto size = TestPackSize(record);
    records[record] = testpack::MakeBmp24(size.w, size.h, [record](int x, int y) {
      if (y == 0 && x == 0) return 0x000000u;
      if (y == 0 && x == 1) return 0xFF00FFu;
      return TestPackPixel(record, x, y);
    });
  }
  testpack::WritePack(PackPath(), records);
  LoadImages();
  struct Case {
    int slot;
    uint32_t atBlack, atMagenta;
  } cases[] = {{3, 0x445566, 0xFF00FF}, {10, 0x000000, 0x445566}};
  for (const Case& c : cases) {
    TSurface screen(800, 600);
    screen.Fill(0x445566);
    DrawSprite(SpriteImages[c.slot].get(), &screen, Rect{0, 0, 2, 1}, 100, 100);
    EXPECT_EQ(screen.GetPixel(100, 100), c.atBlack) << c.slot;
    EXPECT_EQ(screen.GetPixel(101, 100), c.atMagenta) << c.slot;
  }
}

TEST_F(ImagesTest, RecordsAfterTheLastAreIgnored) {
  auto records = testpack::TestPackRecords();
  records.push_back({'n', 'o', 't', ' ', 'B', 'M', 'P'});
  records.push_back(testpack::MakeBmp24(3, 3, [](int, int) { return 0x111111u; }));
  testpack::WritePack(PackPath(), records);
  // A last extra record whose length claims more than the file holds.
  auto bytes = ReadAll(PackPath());
  for (int b : {0xFF, 0xFF, 0x00, 0x00, int{'B'}, int{'M'}}) bytes.push_back(static_cast<uint8_t>(b));
  WriteAll(PackPath(), bytes);
  LoadImages();
  ExpectTestPackPicture(ScreenImages[41].get(), 101);
}

TEST_F(ImagesTest, ReloadGivesNewSurfacesWithTheSameContent) {
  testpack::WriteTestPack(dir_);
  LoadImages();
  const TSurface* before = SpriteImages[8].get();
  LoadImages();
  EXPECT_NE(SpriteImages[8].get(), before);
  ExpectTestPackPicture(SpriteImages[8].get(), 8);
  ReleaseImages();
  for (const auto& s : SpriteImages) EXPECT_EQ(s, nullptr);
  for (const auto& s : ScreenImages) EXPECT_EQ(s, nullptr);
  for (const auto& s : FlippedShotImages) EXPECT_EQ(s, nullptr);
}

TEST_F(ImagesTest, MissingPack) {
  ExpectPackError([] { LoadImages(); },
                  {("Cannot open file \"" + PackName() + "\". No such file or directory").c_str()});
  EXPECT_EQ(SpriteImages[0], nullptr);
}

TEST_F(ImagesTest, PackThatIsAFolder) {
  std::filesystem::create_directories(PackPath());
  const std::string message = "Cannot open file \"" + PackName() + "\". Is a directory";
  ExpectPackError([] { LoadImages(); }, {message.c_str()});
}

TEST_F(ImagesTest, ShortPackNamesTheMissingRecord) {
  auto records = testpack::TestPackRecords();
  records.resize(50);
  testpack::WritePack(PackPath(), records);
  ExpectPackError([] { LoadImages(); }, {"Stream read error", "record 50", PackName().c_str()});
  // A failed load leaves the tables as they were.
  EXPECT_EQ(SpriteImages[0], nullptr);
}

TEST_F(ImagesTest, FailedReloadKeepsThePreviousPictures) {
  testpack::WriteTestPack(dir_);
  LoadImages();
  const TSurface* before = ScreenImages[0].get();
  std::filesystem::resize_file(PackPath(), std::filesystem::file_size(PackPath()) - 10);
  ExpectPackError([] { LoadImages(); }, {"Stream read error", "record 101"});
  EXPECT_EQ(ScreenImages[0].get(), before);
}

TEST_F(ImagesTest, BadBitmapNamesTheRecord) {
  auto records = testpack::TestPackRecords();
  records[5] = {'B', 'M', 'n', 'o', 't', ' ', 'a', ' ', 'p', 'i', 'c', 't', 'u', 'r', 'e'};
  testpack::WritePack(PackPath(), records);
  ExpectPackError([] { LoadImages(); }, {"Bitmap image is not valid", "record 5"});
}

TEST_F(ImagesTest, BadLengthsAreRefused) {
  const auto bmp = testpack::MakeBmp24(2, 2, [](int, int) { return 0x010203u; });
  struct Case {
    const char* name;
    std::vector<uint8_t> length;
    const char* message;
  } cases[] = {
      {"negative", {0xFE, 0xFF, 0xFF, 0xFF}, "negative length"},
      {"absurd", {0x00, 0x00, 0x00, 0x7F}, "but only"},
      {"short_length", {0x10}, "is missing"},
  };
  for (const Case& c : cases) {
    std::vector<uint8_t> bytes = {static_cast<uint8_t>(bmp.size()), 0, 0, 0};
    bytes.insert(bytes.end(), bmp.begin(), bmp.end());
    bytes.insert(bytes.end(), c.length.begin(), c.length.end());
    std::filesystem::create_directories(PackPath().parent_path());
    WriteAll(PackPath(), bytes);
    SCOPED_TRACE(c.name);
    EXPECT_NE(LoadPackImage(pack_, 0), nullptr);
    ExpectPackError([this] { LoadPackImage(pack_, 1); }, {"Stream read error", "record 1"});
    ExpectPackError([this] { LoadPackImage(pack_, 2); }, {c.message});
  }
}

TEST_F(ImagesTest, BitmapWithImpossibleSizeIsRefused) {
  auto bmp = testpack::MakeBmp24(2, 2, [](int, int) { return 0x010203u; });
  // Width 0x40000000: the decoder must not try to allocate it.
  bmp[18] = 0;
  bmp[19] = 0;
  bmp[20] = 0;
  bmp[21] = 0x40;
  testpack::WritePack(PackPath(), {bmp});
  ExpectPackError([this] { LoadPackImage(pack_, 0); },
                  {"Bitmap image is not valid", "record 0", "impossible picture size"});
}

TEST_F(ImagesTest, EveryTruncationOrCorruptionFailsCleanly) {
  std::vector<std::vector<uint8_t>> records;
  for (int i = 0; i < 3; ++i) {
    records.push_back(testpack::MakeBmp24(3 + i, 2, [i](int x, int y) {
      return TestPackPixel(i, x, y);
    }));
  }
  testpack::WritePack(PackPath(), records);
  const auto whole = ReadAll(PackPath());
  for (size_t cut = 0; cut < whole.size(); ++cut) {
    WriteAll(PackPath(), std::vector<uint8_t>(whole.begin(), whole.begin() + cut));
    EXPECT_THROW(LoadPackImage(pack_, 2), PackError) << "cut at " << cut;
  }
  // Any single damaged byte: an error or a picture, never a crash.
  for (size_t at = 0; at < whole.size(); ++at) {
    for (uint8_t value : {0x00, 0x7F, 0xFF}) {
      auto bytes = whole;
      bytes[at] = value;
      WriteAll(PackPath(), bytes);
      try {
        auto s = LoadPackImage(pack_, 2);
        ASSERT_NE(s, nullptr);
        EXPECT_GT(s->Width(), 0);
      } catch (const PackError&) {
      }
    }
  }
}

TEST(FlipVerticalTest, MirrorsTopToBottom) {
  TSurface src(3, 4);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 3; ++x) src.SetPixel(x, y, static_cast<uint32_t>(y * 16 + x));
  TSurface dst(3, 4);
  FlipVertical(src, dst);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 3; ++x) EXPECT_EQ(dst.GetPixel(x, y), static_cast<uint32_t>((3 - y) * 16 + x));
}

}  // namespace
}  // namespace gfx
