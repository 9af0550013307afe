#include "fakes/program_harness.h"

#include <unistd.h>

#include <string>

#include "fakes/test_pack.h"
#include "game/frame_input.h"
#include "shell/form.h"
#include "shell/program.h"
#include "shell/program_state.h"

namespace fs = std::filesystem;

void ProgramHarness::SetUp() {
  oldDir_ = fs::current_path();
  std::string templ = (fs::temp_directory_path() / "starmoat-XXXXXX").string();
  ASSERT_NE(mkdtemp(templ.data()), nullptr);
  dir = templ;
  fs::current_path(dir);
  fs::create_directories(dir / "Data");
  const fs::path realPack = fs::path(STARMOAT_GAME_DIR) / "Data" / "Data.pp";
  std::error_code ec;
  if (fs::exists(realPack, ec)) {
    fs::copy_file(realPack, dir / "Data" / "Data.pp");
  } else {
    testpack::WriteTestPack(dir);
  }
  ResetProgramState();
  platform::SetServices(fake.Services());
  fake.clock.Mirror(&FrameInput.Tick);
  BeforeCreate();
  Form1 = new TForm1;
  Form1->FormCreate();
  fake.events.Push(Event(platform::WindowEvent::FocusGained));
  running_ = PumpMessages();
}

void ProgramHarness::TearDown() {
  if (Form1) {
    Form1->FormDestroy();
    delete Form1;
    Form1 = nullptr;
  }
  platform::SetServices({});
  fs::current_path(oldDir_);
  std::error_code ec;
  fs::remove_all(dir, ec);
}

void ProgramHarness::Frame(int n) {
  for (int i = 0; i < n && running_; ++i) {
    fake.clock.NextTick();
    running_ = PumpMessages();
  }
}

void ProgramHarness::Send(const platform::WindowEvent& event) {
  fake.events.Push(event);
  // Without a clock step the 5 ms gate lets no frame through: only the event is handled.
  if (running_) running_ = PumpMessages();
}

void ProgramHarness::Key(int32_t vk, uint8_t shift) {
  platform::WindowEvent e = Event(platform::WindowEvent::KeyDown);
  e.vk = vk;
  e.shift = shift;
  Send(e);
}

void ProgramHarness::MouseMove(int32_t x, int32_t y) {
  platform::WindowEvent e = Event(platform::WindowEvent::MouseMove);
  e.x = x;
  e.y = y;
  Send(e);
}

void ProgramHarness::Click(int32_t x, int32_t y, int32_t button) {
  MouseMove(x, y);
  platform::WindowEvent e = Event(platform::WindowEvent::MouseDown);
  e.x = x;
  e.y = y;
  e.button = button;
  Send(e);
}

uint32_t ProgramHarness::Pixel(int32_t x, int32_t y) const {
  return fake.display.lastFrame.at(static_cast<size_t>(y) * 800 + x);
}

gfx::TSurface& ProgramHarness::Back() { return *Form1->FBackBuffer; }
