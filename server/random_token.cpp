#include "random_token.h"

#include <sys/random.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>

namespace starmoat::server {

namespace {

constexpr char kTokenAlphabet[] =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
constexpr size_t kAlphabetSize = sizeof kTokenAlphabet - 1;
constexpr size_t kTokenLength = 24;

}  // namespace

std::string RandomToken() {
  std::string token;
  token.reserve(kTokenLength);
  unsigned char bytes[64];
  while (token.size() < kTokenLength) {
    const ssize_t got = getrandom(bytes, sizeof bytes, 0);
    if (got < 0) {
      if (errno == EINTR) continue;
      throw std::runtime_error(std::string("getrandom: ") + std::strerror(errno));
    }
    for (ssize_t i = 0; i < got && token.size() < kTokenLength; ++i) {
      // 248 is the largest multiple of 62 that fits a byte: dropping the bytes above it keeps
      // every character equally likely.
      if (bytes[i] < 248) token.push_back(kTokenAlphabet[bytes[i] % kAlphabetSize]);
    }
  }
  return token;
}

}  // namespace starmoat::server
