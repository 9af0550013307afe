#include "shell/menu_commands.h"

#include "audio/sound_bank.h"
#include "persistence/config.h"
#include "platform/platform.h"

// The menu choices arrive with the menu screens.
void MenuCommand() {}

void SetSound(bool on) {
  Settings.Sound = on;
  // The direct plays do not look at the option; the volume keeps them quiet.
  for (TWaveCollectionItem& item : DXWaveList1.Items) item.SetVolume(on ? 0 : -10000);
}

void OpenURL(const std::string& url) {
  if (auto* shell = platform::Services().shell) shell->Open(url);
}
