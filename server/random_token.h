// Tokens handed out by the token request: letters and digits from the kernel's random source.
#pragma once

#include <string>

namespace starmoat::server {

// 24 characters from [A-Za-z0-9], each drawn uniformly with getrandom(2): about 142 random
// bits, far beyond guessing. Throws std::runtime_error if the kernel refuses.
std::string RandomToken();

}  // namespace starmoat::server
