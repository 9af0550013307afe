// The program as the player runs it, with one of SDL's virtual pads plugged into it, for the
// real-window test of the pads (a pad is process-local, so the program must hold it). The
// program's own entry (src/platform/sdl/main.cpp, built here as StarmoatMain) runs unchanged;
// a thread reads commands, one a line, from the FIFO (or, where there are no FIFOs, the file
// the test appends to) named by STARMOAT_PAD_FIFO and plays them on the pad:
//   plug | unplug | press <button> | release <button> | axis <axis> <value>
// with SDL's names for the buttons and axes ("a", "dpdown", "start", "leftx", "righttrigger").
// Sticks take -32768..32767, triggers 0..32767. Built for the tests only.
//
// With STARMOAT_DUMP_FRAMES=DIR, the picture of every 64th frame of a game (played or watched
// as a replay) is written as DIR/frame-<n>.ppm, for the replay test; the FIFO is then optional.
//
// The entry is this file's main() on every system (on Windows a console program, so that the
// log reaches the test), not SDL's WinMain.
#define SDL_MAIN_HANDLED
#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "graphics/surface.h"
#include "shell/game_session.h"

int StarmoatMain(int argc, char** argv);

namespace {

class PadDriver {
 public:
  // Returns false on an unknown or failing command.
  bool Run(const std::string& line) {
    std::istringstream in(line);
    std::string verb, name;
    in >> verb >> name;
    if (verb == "plug") return Plug();
    if (verb == "unplug") return Unplug();
    if (!joystick_) return false;
    if (verb == "press" || verb == "release") {
      const SDL_GameControllerButton button = SDL_GameControllerGetButtonFromString(name.c_str());
      if (button == SDL_CONTROLLER_BUTTON_INVALID) return false;
      const Uint8 state = verb == "press" ? 1 : 0;
      return SDL_JoystickSetVirtualButton(joystick_, button, state) == 0 &&
             TakenIn([&] { return SDL_JoystickGetButton(joystick_, button) == state; });
    }
    if (verb == "axis") {
      const SDL_GameControllerAxis axis = SDL_GameControllerGetAxisFromString(name.c_str());
      int value = 0;
      if (axis == SDL_CONTROLLER_AXIS_INVALID || !(in >> value)) return false;
      // The standard layout maps a trigger's whole device range onto 0..32767.
      if (axis == SDL_CONTROLLER_AXIS_TRIGGERLEFT || axis == SDL_CONTROLLER_AXIS_TRIGGERRIGHT) {
        value = value * 2 - 32768;
      }
      return SDL_JoystickSetVirtualAxis(joystick_, axis, static_cast<Sint16>(value)) == 0 &&
             TakenIn([&] { return SDL_JoystickGetAxis(joystick_, axis) == value; });
    }
    return false;
  }

 private:
  // A virtual pad's new state reaches the program when its own event loop next reads the pads.
  // A command returns only once that has happened (up to 10 s), so that on a busy machine a
  // press and its release never both fall between two of the program's frames.
  template <typename Check>
  static bool TakenIn(Check check) {
    for (int i = 0; i < 1000; ++i) {
      if (check()) return true;
      SDL_Delay(10);
    }
    SDL_SetError("the program did not read the pad within 10 s");
    return false;
  }

  bool Plug() {
    if (joystick_) return false;
    const int index = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER,
                                                SDL_CONTROLLER_AXIS_MAX, SDL_CONTROLLER_BUTTON_MAX, 0);
    if (index < 0) return false;
    joystick_ = SDL_JoystickOpen(index);
    if (!joystick_) return false;
    id_ = SDL_JoystickInstanceID(joystick_);
    SDL_JoystickSetVirtualAxis(joystick_, SDL_CONTROLLER_AXIS_TRIGGERLEFT, -32768);
    SDL_JoystickSetVirtualAxis(joystick_, SDL_CONTROLLER_AXIS_TRIGGERRIGHT, -32768);
    // Plugged in once the program has opened it as a game controller of its own.
    return TakenIn([&] { return SDL_GameControllerFromInstanceID(id_) != nullptr; });
  }
  bool Unplug() {
    if (!joystick_) return false;
    SDL_JoystickClose(joystick_);
    joystick_ = nullptr;
    SDL_LockJoysticks();
    bool detached = false;
    for (int i = 0; i < SDL_NumJoysticks() && !detached; ++i) {
      if (SDL_JoystickGetDeviceInstanceID(i) == id_) detached = SDL_JoystickDetachVirtual(i) == 0;
    }
    SDL_UnlockJoysticks();
    return detached;
  }

  SDL_Joystick* joystick_ = nullptr;
  SDL_JoystickID id_ = -1;
};

// True once the program has started SDL's controller part (waits up to 10 s).
bool PadsStarted() {
  for (int i = 0; i < 1000; ++i) {
    if (SDL_WasInit(SDL_INIT_GAMECONTROLLER)) return true;
    SDL_Delay(10);
  }
  return false;
}

void RunCommand(PadDriver& driver, const std::string& line) {
  if (line.empty()) return;
  const bool started = PadsStarted();
  const bool ok = started && driver.Run(line);
  std::fprintf(stderr, "virtual pad: %s%s%s\n", line.c_str(), ok ? "" : " FAILED: ",
               ok ? "" : started ? SDL_GetError() : "the program never started its pads");
}

#if defined(_WIN32)
// Windows has no FIFOs: the test appends the commands to a file, which is read again from where
// the last reading ended (a stream that has met the end of a file does not see what is appended
// after it there), and a line is run once its end has arrived.
void ReadCommands(std::string file) {
  PadDriver driver;
  std::string pending;
  std::streamoff done = 0;
  for (;;) {
    std::ifstream in(file, std::ios::binary);
    if (!in) return;
    in.seekg(done);
    const std::string more{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    done += static_cast<std::streamoff>(more.size());
    pending += more;
    for (size_t end = pending.find('\n'); end != std::string::npos; end = pending.find('\n')) {
      RunCommand(driver, pending.substr(0, end));
      pending.erase(0, end + 1);
    }
    SDL_Delay(10);
  }
}
#else
void ReadCommands(std::string fifo) {
  PadDriver driver;
  std::ifstream in(fifo);
  std::string line;
  while (std::getline(in, line)) RunCommand(driver, line);
}
#endif

void DumpFrame(uint32_t frame, const gfx::TSurface& picture) {
  if (frame % 64 != 0) return;
  const std::string path =
      std::string(std::getenv("STARMOAT_DUMP_FRAMES")) + "/frame-" + std::to_string(frame) + ".ppm";
  std::ofstream out(path, std::ios::binary);
  out << "P6\n" << picture.Width() << " " << picture.Height() << "\n255\n";
  std::vector<char> row(static_cast<size_t>(picture.Width()) * 3);
  for (int32_t y = 0; y < picture.Height(); ++y) {
    for (int32_t x = 0; x < picture.Width(); ++x) {
      const uint32_t p = picture.GetPixel(x, y);
      row[3 * x] = static_cast<char>(p >> 16);
      row[3 * x + 1] = static_cast<char>(p >> 8);
      row[3 * x + 2] = static_cast<char>(p);
    }
    out.write(row.data(), static_cast<std::streamsize>(row.size()));
  }
}

}  // namespace

int main(int argc, char** argv) {
  SDL_SetMainReady();
  if (std::getenv("STARMOAT_DUMP_FRAMES")) SetFrameObserver(DumpFrame);
  const char* fifo = std::getenv("STARMOAT_PAD_FIFO");
  if (!fifo && std::getenv("STARMOAT_DUMP_FRAMES")) return StarmoatMain(argc, argv);
  if (!fifo) {
    std::fprintf(stderr, "STARMOAT_PAD_FIFO names no FIFO\n");
    return 2;
  }
  // Blocks in a FIFO's open and reads until the test closes it (a file: for as long as the
  // process runs); ends with the process.
  std::thread(ReadCommands, std::string(fifo)).detach();
  return StarmoatMain(argc, argv);
}
