// A whole program on the fake platform, driven frame by frame: a fresh working directory with
// a sprite pack, every global at its start-up value, the main window created.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>

#include "fakes/fake_platform.h"
#include "graphics/surface.h"

class ProgramHarness : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Prepares the working directory before the window is created (e.g. writes Config.cfg).
  virtual void BeforeCreate() {}

  // Moves the clock to the next tick and runs the message loop once: n frames.
  void Frame(int n = 1);
  // Queues a window event and pumps it (with no new frame: the clock does not move).
  void Send(const platform::WindowEvent& event);
  void Send(platform::WindowEvent::Kind kind) { Send(Event(kind)); }
  static platform::WindowEvent Event(platform::WindowEvent::Kind kind) {
    platform::WindowEvent e;
    e.kind = kind;
    return e;
  }
  void Key(int32_t vk, uint8_t shift = 0);
  void MouseMove(int32_t x, int32_t y);
  void Click(int32_t x, int32_t y, int32_t button = 0);
  // The picture the window last presented.
  uint32_t Pixel(int32_t x, int32_t y) const;
  gfx::TSurface& Back();
  // True while the message loop would go on.
  bool Running() const { return running_; }

  fake::FakePlatform fake;
  std::filesystem::path dir;

 private:
  std::filesystem::path oldDir_;
  bool running_ = true;
};
