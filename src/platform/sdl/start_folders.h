// What start-up learns from the system about the process and the user, for FindFilePlaces.
#pragma once

#include <string>

#include "platform/file_places.h"

namespace platform {

// dataFromExecutable: the installed data folder relative to the executable's folder (a build
// setting).
StartFolders ReadStartFolders(const std::string& dataFromExecutable);

}  // namespace platform
