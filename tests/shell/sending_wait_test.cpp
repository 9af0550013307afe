// While the score is being sent the window stays alive: "Please wait..." keeps being shown,
// window events are taken off the queue, input is dropped, and a close or quit is acted on
// once the sending is over. Both requests share one time budget.
#include <gtest/gtest.h>

#include <functional>
#include <map>

#include "fakes/menu_harness.h"
#include "game/game.h"
#include "graphics/widget_layout.h"
#include "persistence/score_submission.h"
#include "graphics/widgets.h"
#include "shell/form.h"
#include "shell/input.h"
#include "shell/screen_state.h"

using platform::WindowEvent;

namespace {

// A server that takes its time: each request waits a number of clock ticks, calling the
// request's waiting hook on each, and the test may send window events at given ticks.
class SlowHttp : public platform::IHttpClient {
 public:
  SlowHttp(fake::FakePlatform& fake) : fake_(fake) {}

  platform::HttpResponse Get(const platform::HttpRequest& request) override {
    requests.push_back(request);
    const size_t index = requests.size() - 1;
    const int ticks = index < ticksPerRequest.size() ? ticksPerRequest[index] : 20;
    for (int tick = 0; tick < ticks; ++tick) {
      fake_.clock.NextTick();
      const auto due = events.find({index, tick});
      if (due != events.end()) fake_.events.Push(due->second);
      if (request.whileWaiting) request.whileWaiting();
      queueEmptiedEveryTick = queueEmptiedEveryTick && fake_.events.queue.empty();
      presentsWhileWaiting.push_back(fake_.display.presentCount);
      if (onTick) onTick();
    }
    if (index == 0) return {true, "1.0|x|y|z|T0K3N|", ""};
    return {true, "thanks", ""};
  }

  std::vector<platform::HttpRequest> requests;
  std::vector<int> ticksPerRequest = {20, 20};
  // (request, tick) -> the event the window receives then.
  std::map<std::pair<size_t, int>, WindowEvent> events;
  std::function<void()> onTick;
  bool queueEmptiedEveryTick = true;
  std::vector<int> presentsWhileWaiting;

 private:
  fake::FakePlatform& fake_;
};

WindowEvent KeyEvent(int32_t vk) {
  WindowEvent e;
  e.kind = WindowEvent::KeyDown;
  e.vk = vk;
  return e;
}

}  // namespace

class SendingWaitTest : public MenuHarness {
 protected:
  void SetUp() override {
    MenuHarness::SetUp();
    platform::Platform p = fake.Services();
    p.http = &http;
    platform::SetServices(p);
    SkipIntro();
    Game = std::make_unique<TGame>();
    Game->Score = 4321;
    Game->Status = gsGameOver;
    ScreenState = ssSubmitQuestion;
    Frame();
  }
  // The submit question's Yes, by mouse.
  void Yes() { ClickOn(layout::kYes); }

  SlowHttp http{fake};
};

TEST_F(SendingWaitTest, PleaseWaitKeepsBeingShownAndTheQueueEmptiedOnEveryTick) {
  bool alwaysPleaseWait = true;
  http.onTick = [&] {
    alwaysPleaseWait = alwaysPleaseWait && ScreenState == ssSending &&
                       TextAt(Back(), 290, 282, 24, 16, "Please wait...", 0x228822) &&
                       fake.display.lastFrame ==
                           std::vector<uint32_t>(Back().Pixels(), Back().Pixels() + 800 * 600);
  };
  http.events[{0, 3}] = Event(WindowEvent::FocusLost);
  http.events[{1, 4}] = Event(WindowEvent::FocusGained);
  const int before = fake.display.presentCount;
  Yes();

  ASSERT_EQ(http.requests.size(), 2u);
  EXPECT_TRUE(alwaysPleaseWait);
  EXPECT_TRUE(http.queueEmptiedEveryTick);
  ASSERT_EQ(http.presentsWhileWaiting.size(), 40u);
  // A new picture on every tick of both requests.
  int last = before;
  for (size_t i = 0; i < http.presentsWhileWaiting.size(); ++i) {
    EXPECT_GT(http.presentsWhileWaiting[i], last) << "tick " << i;
    last = http.presentsWhileWaiting[i];
  }
  EXPECT_EQ(ScreenState, ssHighScores) << "the flow after sending is unchanged";
  EXPECT_TRUE(Running());
}

TEST_F(SendingWaitTest, KeysAndClicksDuringTheWaitAreDropped) {
  WindowEvent click = Event(WindowEvent::MouseDown);
  click.x = 300;
  click.y = 360;
  http.events[{0, 2}] = KeyEvent(platform::VK_ESCAPE);
  http.events[{0, 5}] = click;
  http.events[{1, 1}] = KeyEvent(platform::VK_RETURN);
  http.events[{1, 2}] = KeyEvent('N');
  Yes();
  EXPECT_EQ(ScreenState, ssHighScores);
  EXPECT_TRUE(fake.events.queue.empty());
  Frame(3);
  EXPECT_EQ(ScreenState, ssHighScores) << "nothing typed during the wait arrives later";
  EXPECT_EQ(http.requests.size(), 2u);
}

// The pointer moved during the wait (the Yes came from the keyboard): afterwards it is known to
// be where it went, so a click with no further move hits the button under it.
TEST_F(SendingWaitTest, WhereThePointerWentDuringTheWaitCountsAfterwards) {
  const gfx::Rect back = layout::kHighScore[2].rect;  // the high-score page's back button
  const int32_t x = (back.left + back.right) / 2, y = (back.top + back.bottom) / 2;
  WindowEvent move = Event(WindowEvent::MouseMove);
  move.x = 5;
  move.y = 5;
  http.events[{0, 2}] = move;
  move.x = x - 20;
  move.y = y - 10;
  http.events[{0, 9}] = move;
  move.x = x;
  move.y = y;
  http.events[{1, 4}] = move;
  Key(platform::VK_LEFT);  // "Yes"
  Key(platform::VK_RETURN);
  ASSERT_EQ(http.requests.size(), 2u);
  ASSERT_EQ(ScreenState, ssHighScores);
  EXPECT_EQ(MouseX, x);
  EXPECT_EQ(MouseY, y);
  EXPECT_EQ(Form1->FMouseActive, -1) << "the last input came from the mouse";
  Frame();
  EXPECT_EQ(HighScoreButtons->ItemIndex, 2) << "the hover follows the pointer";

  WindowEvent click = Event(WindowEvent::MouseDown);
  click.x = x;
  click.y = y;
  Send(click);
  EXPECT_EQ(ScreenState, ssMainMenu);
}

TEST_F(SendingWaitTest, ACloseDuringTheWaitIsActedOnWhenTheSendingEnds) {
  http.events[{0, 5}] = Event(WindowEvent::CloseRequested);
  // Had this key reached the exit question, it would have answered Yes.
  http.events[{1, 3}] = KeyEvent(platform::VK_RETURN);
  Yes();
  EXPECT_EQ(http.requests.size(), 2u) << "the close does not cut the sending short";
  EXPECT_EQ(ScreenState, ssExitConfirm) << "the close from the high-score page asks first";
  EXPECT_TRUE(Running());
}

TEST_F(SendingWaitTest, AQuitDuringTheWaitEndsTheProgramWhenTheSendingEnds) {
  http.events[{0, 5}] = Event(WindowEvent::Quit);
  Yes();
  EXPECT_EQ(http.requests.size(), 2u);
  EXPECT_FALSE(Running());
}

TEST_F(SendingWaitTest, BothRequestsShareOneBudget) {
  // 576 ticks of 15.625 ms: the token arrives after 9 s of the 10 s budget.
  http.ticksPerRequest = {576, 1};
  Yes();
  ASSERT_EQ(http.requests.size(), 2u);
  EXPECT_EQ(http.requests[0].timeoutMs, 10000u);
  EXPECT_GT(http.requests[1].timeoutMs, 0u);
  EXPECT_LE(http.requests[1].timeoutMs, 1000u);
  EXPECT_LE(http.requests[1].connectTimeoutMs, http.requests[1].timeoutMs);
  EXPECT_EQ(ScreenState, ssHighScores);
}

TEST_F(SendingWaitTest, ATokenThatUsedTheWholeBudgetSendsNoResult) {
  http.ticksPerRequest = {640};  // exactly 10 s
  Yes();
  EXPECT_EQ(http.requests.size(), 1u);
  EXPECT_EQ(ScreenState, ssHighScores) << "a result that could not be sent goes unnoticed";
}
