// After a qualifying game: the name entry, the send question, "Please wait..." and the
// connection failure question.
#include <gtest/gtest.h>

#include "fakes/menu_harness.h"
#include "game/game.h"
#include "graphics/images.h"
#include "graphics/widget_layout.h"
#include "graphics/widgets.h"
#include "persistence/config.h"
#include "shell/form.h"
#include "shell/screen_state.h"

using platform::VK_BACK;
using platform::VK_ESCAPE;
using platform::VK_RETURN;
using platform::VK_RIGHT;

namespace {

// A server that never answers.
class RefusingHttp : public platform::IHttpClient {
 public:
  platform::HttpResponse Get(const platform::HttpRequest& request) override {
    urls.push_back(request.url);
    return {false, "", "refused"};
  }
  std::vector<std::string> urls;
};

}  // namespace

class ScoreEntryTest : public MenuHarness {
 protected:
  void SetUp() override {
    MenuHarness::SetUp();
    platform::Platform p = fake.Services();
    p.http = &http;
    platform::SetServices(p);
    SkipIntro();
    // A finished game whose score beats the table, frozen as the game leaves it.
    Game = std::make_unique<TGame>();
    Game->Score = 4321;
    Game->Status = gsGameOver;
    Form1->FSnapshot->Fill(0x102030);
    ScreenState = ssNameEntry;
    Frame();
  }
  void Type(const std::string& letters) {
    for (char c : letters) Key(c);
  }

  RefusingHttp http;
};

TEST_F(ScoreEntryTest, NameEntryScreen) {
  EXPECT_EQ(Pixel(5, 5), 0x102030u) << "the frozen game picture";
  EXPECT_TRUE(TextAt(Back(), 290, 232, 24, 14, "Your score is 4321", 0x228822));
  EXPECT_TRUE(TextAt(Back(), 250, 254, 24, 14, "Please enter your name", 0x228822));
  EXPECT_TRUE(TextAt(Back(), 280, 340, 46, 20, "Ok", 0x00FF00));
  EXPECT_TRUE(PictureAt(Back(), TopRows(*gfx::ScreenImages[37], 10), 236, 280))
      << "the focused name box";
  EXPECT_TRUE(PictureAt(Back(), TopRows(*gfx::ScreenImages[19], 30), 215, 200)) << "the panel";
}

TEST_F(ScoreEntryTest, TypedNameIsNormalisedLimitedAndEntered) {
  Type("JOHNNYBRAVOX");
  Key(VK_BACK);
  Key('1');
  Frame();
  EXPECT_EQ(NameEdit->Text(), "Johnnybra") << "ten letters kept, one erased";
  Key(VK_RETURN);
  EXPECT_EQ(ScreenState, ssSubmitQuestion);
  EXPECT_EQ(HiScores[0].Name, "Johnnybra");
  EXPECT_EQ(HiScores[0].Score, 4321);
}

TEST_F(ScoreEntryTest, CancelAndEscLeaveWithoutEntering) {
  Type("AL");
  Key(VK_RIGHT);
  Key(VK_RETURN);
  EXPECT_EQ(ScreenState, ssMainMenu);
  ScreenState = ssNameEntry;
  Key(VK_ESCAPE);
  EXPECT_EQ(ScreenState, ssMainMenu);
  EXPECT_EQ(HiScores[0].Name, "Anonymous");
  ScreenState = ssNameEntry;
  Frame();
  EXPECT_EQ(NameEdit->Text(), "Al") << "the box keeps the name for the next time";
}

TEST_F(ScoreEntryTest, NoToSendingStillShowsPleaseWaitForOneFrame) {
  Type("AL");
  Key(VK_RETURN);
  ASSERT_EQ(ScreenState, ssSubmitQuestion);
  Frame();
  EXPECT_TRUE(TextAt(Back(), 254, 252, 24, 15, "Send the result to", 0x228822));
  const int presented = fake.display.presentCount;
  Key('N');
  EXPECT_EQ(ScreenState, ssMainMenu) << "N leaves for the main menu without a request";
  EXPECT_EQ(fake.display.presentCount, presented);
  ScreenState = ssSubmitQuestion;
  Key(VK_RIGHT);
  Key(VK_RETURN);
  EXPECT_EQ(ScreenState, ssHighScores);
  EXPECT_EQ(fake.display.presentCount, presented + 1);
  EXPECT_TRUE(TextAt(Back(), 290, 282, 24, 16, "Please wait...", 0x228822));
  EXPECT_TRUE(PictureAt(Back(), *gfx::ScreenImages[23], 0, 0));
  EXPECT_TRUE(http.urls.empty());
}

TEST_F(ScoreEntryTest, FailedConnectionAsksToRepeat) {
  Type("AL");
  Key(VK_RETURN);
  ClickOn(layout::kYes);
  EXPECT_EQ(ScreenState, ssConnectFailed);
  ASSERT_EQ(http.urls.size(), 1u);
  Frame();
  EXPECT_TRUE(TextAt(Back(), 254, 252, 24, 15, "Can not connect to", 0xFF0000));
  EXPECT_TRUE(TextAt(Back(), 290, 282, 24, 15, "server! Repeat?", 0xFF0000));
  EXPECT_TRUE(PictureAt(Back(), *gfx::ScreenImages[23], 0, 0));
  Key('Y');
  EXPECT_EQ(ScreenState, ssConnectFailed);
  EXPECT_EQ(http.urls.size(), 2u) << "Yes tries again";
  ClickOn(layout::kNo);
  EXPECT_EQ(ScreenState, ssHighScores);
  EXPECT_EQ(http.urls.size(), 2u);
}
