// The Windows implementations of the platform parts SDL does not cover: finding fonts without
// fontconfig, opening files and URLs, and the folders the game starts from.
#include <SDL.h>
#include <gtest/gtest.h>
#include <windows.h>
#include <shlobj.h>

#include <filesystem>
#include <fstream>

#include "platform/sdl/start_folders.h"
#include "platform/windows/utf16.h"
#include "platform/windows/windows_font_locator.h"
#include "platform/windows/windows_shell.h"

namespace fs = std::filesystem;

namespace {

const fs::path kFonts = fs::path(STARMOAT_GAME_DIR) / "fonts";

TEST(WindowsFontLocator, FindsTheGamesFacesByTheirOwnNames) {
  platform::WindowsFontLocator locator({kFonts});
  struct Case {
    const char* family;
    bool bold;
    const char* file;  // empty: none
  };
  const Case cases[] = {
      {"Play", true, "Play-Bold.ttf"},
      {"nimbus mono ps", true, "NimbusMonoPS-Bold.otf"},  // any case, an OpenType (CFF) face
      {"DejaVu Sans", true, "DejaVuSans-Bold.ttf"},
      {"Play", false, ""},  // only the bold face is shipped
      {"Crystal", true, ""},
      {"", true, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.family);
    const std::string found = locator.FindFont(c.family, c.bold);
    if (*c.file == '\0') {
      EXPECT_EQ(found, "");
    } else {
      EXPECT_EQ(fs::path(found), kFonts / c.file);
    }
  }
}

TEST(WindowsFontLocator, AFolderWithoutFontsFindsNothing) {
  platform::WindowsFontLocator locator({fs::temp_directory_path() / "starmoat-no-such-folder"});
  EXPECT_EQ(locator.FindFont("Play", true), "");
}

TEST(WindowsShell, RefusesWhatIsNeitherAFileNorAURL) {
  platform::WindowsShell shell;
  EXPECT_FALSE(shell.Open(""));
  EXPECT_FALSE(shell.Open((fs::temp_directory_path() / "starmoat-no-such-file.txt").string()));
}

TEST(Utf16, RoundTripsLettersOutsideASCII) {
  const std::string text = "Sp\xC3\xA4ter \xE2\x80\x94 \xF0\x9F\x9A\x80";  // "Später — 🚀"
  EXPECT_EQ(platform::Utf8ToUtf16(text), std::wstring(L"Sp\u00E4ter \u2014 \U0001F680"));
  EXPECT_EQ(platform::Utf16ToUtf8(platform::Utf8ToUtf16(text)), text);
}

// installed.txt beside the executable (here: the test program's own folder) sends the settings
// to %APPDATA%\Starmoat; without it there is no such folder.
TEST(WindowsStartFolders, TheSetupProgramsMarkMovesTheSettingsToAppData) {
  char* base = SDL_GetBasePath();
  ASSERT_NE(base, nullptr);
  const fs::path exeFolder = fs::path(base);
  SDL_free(base);
  const fs::path marker = exeFolder / "installed.txt";
  fs::remove(marker);

  platform::StartFolders start = platform::ReadStartFolders(".");
  EXPECT_EQ(start.executable, exeFolder.parent_path());
  EXPECT_TRUE(start.installedSettings.empty());

  std::ofstream(marker) << "installed\n";
  start = platform::ReadStartFolders(".");
  fs::remove(marker);
  PWSTR appData = nullptr;
  ASSERT_TRUE(SUCCEEDED(SHGetKnownFolderPath(FOLDERID_RoamingAppData, 0, nullptr, &appData)));
  const fs::path expected = fs::path(appData) / "Starmoat";
  CoTaskMemFree(appData);
  EXPECT_EQ(start.installedSettings, expected);
  EXPECT_EQ(start.dataFromExecutable, ".");
}

}  // namespace
