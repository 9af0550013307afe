#include "audio/wave.h"

#include <gtest/gtest.h>

#include "audio/test_wave.h"

using namespace testwave;

namespace {

TWave Read(const std::vector<uint8_t>& bytes) {
  TWave wave;
  wave.LoadFromMemory(bytes.data(), bytes.size());
  return wave;
}

std::string ErrorOf(const std::vector<uint8_t>& bytes) {
  try {
    Read(bytes);
  } catch (const WaveError& e) {
    return e.what();
  }
  return "";
}

}  // namespace

TEST(WaveTest, ReadsFormatAndSamples) {
  const TWave wave = Read(MonoWave(22050, 16, {1, 2, 3, 4}));
  WaveFormat f;
  ASSERT_TRUE(wave.Format(f));
  EXPECT_EQ(f.FormatTag, 1);
  EXPECT_EQ(f.Channels, 1);
  EXPECT_EQ(f.SamplesPerSec, 22050u);
  EXPECT_EQ(f.BitsPerSample, 16);
  EXPECT_EQ(wave.FormatBytes.size(), 16u);
  EXPECT_EQ(wave.Data, (std::vector<uint8_t>{1, 2, 3, 4}));
}

TEST(WaveTest, BadInputIsRefused) {
  std::vector<uint8_t> good = MonoWave(8000, 8, {0x80, 0x90});
  std::vector<uint8_t> notRiff = good;
  notRiff[0] = 'X';
  std::vector<uint8_t> notWave = good;
  notWave[11] = 'X';
  std::vector<uint8_t> truncatedData = good;
  truncatedData.pop_back();
  std::vector<uint8_t> fmtTooLong;
  PutChunk(fmtTooLong, "fmt ", FmtBody(1, 8000, 8));
  fmtTooLong[4] = 40;  // claims 40 bytes, 16 follow
  const struct {
    const char* what;
    std::vector<uint8_t> bytes;
    std::string error;
  } cases[] = {
      {"empty", {}, "Wave is invalid"},
      {"eleven bytes", std::vector<uint8_t>(good.begin(), good.begin() + 11), "Wave is invalid"},
      {"no RIFF", notRiff, "Wave is invalid"},
      {"no WAVE", notWave, "Wave is invalid"},
      {"data past the end", truncatedData, "Stream read error"},
      {"fmt past the end", Riff(fmtTooLong), "Stream read error"},
      {"header only", std::vector<uint8_t>(good.begin(), good.begin() + 12), ""},
  };
  for (const auto& c : cases) EXPECT_EQ(ErrorOf(c.bytes), c.error) << c.what;
}

TEST(WaveTest, OddChunkSizesAreSkippedExactly) {
  std::vector<uint8_t> chunks;
  PutChunk(chunks, "LIST", {'a', 'b', 'c'});  // odd size, no pad byte follows
  PutChunk(chunks, "fmt ", FmtBody(1, 11025, 8));
  PutChunk(chunks, "junk", {9});
  PutChunk(chunks, "data", {5, 6, 7});
  const TWave wave = Read(Riff(chunks));
  WaveFormat f;
  ASSERT_TRUE(wave.Format(f));
  EXPECT_EQ(f.SamplesPerSec, 11025u);
  EXPECT_EQ(wave.Data, (std::vector<uint8_t>{5, 6, 7}));
}

TEST(WaveTest, PaddedOddChunkMisalignsTheRest) {
  // A writer that pads odd chunks leaves a byte this reader takes as the next header's start.
  std::vector<uint8_t> chunks;
  PutChunk(chunks, "LIST", {'a', 'b', 'c'});
  chunks.push_back(0);
  PutChunk(chunks, "fmt ", FmtBody(1, 11025, 8));
  PutChunk(chunks, "data", {5, 6, 7});
  const TWave wave = Read(Riff(chunks));
  WaveFormat f;
  EXPECT_FALSE(wave.Format(f));
  EXPECT_TRUE(wave.Data.empty());
}

TEST(WaveTest, LongFormatIsKeptWhole) {
  std::vector<uint8_t> fmt = FmtBody(1, 8000, 8);
  fmt.insert(fmt.end(), {0, 0});  // cbSize of WAVEFORMATEX
  std::vector<uint8_t> chunks;
  PutChunk(chunks, "fmt ", fmt);
  PutChunk(chunks, "data", {1});
  EXPECT_EQ(Read(Riff(chunks)).FormatBytes.size(), 18u);
}

TEST(WaveTest, AHeaderThatDoesNotFitOrASkipPastTheEndEndsTheLoop) {
  std::vector<uint8_t> base;
  PutChunk(base, "fmt ", FmtBody(1, 8000, 8));
  PutChunk(base, "data", {1});
  std::vector<uint8_t> partialHeader = base;
  partialHeader.insert(partialHeader.end(), {'d', 'a', 't', 'a', 9, 0, 0});
  std::vector<uint8_t> farSkip = base;
  PutChunk(farSkip, "skip", {});
  farSkip[farSkip.size() - 1] = 0x7F;  // claims about 2 GB
  farSkip.insert(farSkip.end(), {'d', 'a', 't', 'a', 1, 0, 0, 0, 2});
  for (const auto& chunks : {partialHeader, farSkip}) {
    const TWave wave = Read(Riff(chunks));
    EXPECT_EQ(wave.FormatBytes.size(), 16u);
    EXPECT_EQ(wave.Data, (std::vector<uint8_t>{1}));
  }
}
