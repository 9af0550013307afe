#include "platform/sdl/sdl_font_locator.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

// DejaVu is a build dependency, so it is always installed.
TEST(SdlFontLocatorTest, FindsAnInstalledFamilyAtBothWeights) {
  platform::SdlFontLocator fonts;
  const std::string regular = fonts.FindFont("DejaVu Sans", false);
  const std::string bold = fonts.FindFont("dejavu sans", true);
  EXPECT_TRUE(std::filesystem::exists(regular)) << regular;
  EXPECT_TRUE(std::filesystem::exists(bold)) << bold;
  EXPECT_NE(regular, bold);
  EXPECT_NE(bold.find("Bold"), std::string::npos) << bold;
}

TEST(SdlFontLocatorTest, AnUnknownFamilyGivesNothing) {
  platform::SdlFontLocator fonts;
  EXPECT_EQ(fonts.FindFont("No Such Face Starmoat", false), "");
  EXPECT_EQ(fonts.FindFont("", true), "");
}

}  // namespace
