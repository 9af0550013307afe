#include "shell/menu_commands.h"

#include "persistence/config.h"
#include "platform/platform.h"

// The menu choices arrive with the menu screens.
void MenuCommand() {}

void SetSound(bool on) { Settings.Sound = on; }

void OpenURL(const std::string& url) {
  if (auto* shell = platform::Services().shell) shell->Open(url);
}
