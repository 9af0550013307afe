#include "persistence/score_codec.h"

#include <cstring>

std::string BytesToBits(const std::string& bytes) {
  std::string bits;
  bits.reserve(bytes.size() * 8);
  for (const char c : bytes) {
    const auto value = static_cast<uint8_t>(c);
    for (int bit = 7; bit >= 0; --bit) bits.push_back((value >> bit) & 1 ? '1' : '0');
  }
  return bits;
}

std::string BitsToText32(std::string bits) {
  if (bits.size() % 5 != 0) bits.insert(0, 5 - bits.size() % 5, '0');
  std::string text;
  text.reserve(bits.size() / 5);
  for (size_t start = 0; start < bits.size(); start += 5) {
    int group = 0;
    for (size_t i = start; i < start + 5; ++i) group = group * 2 + (bits[i] != '0' ? 1 : 0);
    text.push_back(Alphabet32[group]);
  }
  return text;
}

std::string TokenFromReply(std::string reply) {
  std::string token;
  for (int pass = 0; pass < 5; ++pass) {
    const size_t bar = reply.find('|');
    if (bar == std::string::npos) {
      token.clear();
      continue;
    }
    token = reply.substr(0, bar);
    reply.erase(0, bar + 1);
  }
  return token;
}

std::string BuildPayload(const std::string& name, int32_t score, const std::string& token,
                         const std::string& country) {
  std::string payload = "type=0|name=" + name + "|score=" + std::to_string(score) + "|key=" +
                        kScoreKey + "|p=" + token + "|add=" + country + "|z=";
  payload.append((5 - payload.size() % 5) % 5, '0');
  return payload;
}

std::optional<std::string> Text32ToBytes(std::string_view text) {
  if (text.size() % 8 != 0) return std::nullopt;
  std::string bytes;
  bytes.reserve(text.size() / 8 * 5);
  for (size_t start = 0; start < text.size(); start += 8) {
    // Eight 5-bit letters are exactly one 40-bit group of five bytes.
    uint64_t group = 0;
    for (size_t i = start; i < start + 8; ++i) {
      const char* at = text[i] == '\0' ? nullptr : std::strchr(Alphabet32, text[i]);
      if (at == nullptr) return std::nullopt;
      group = group << 5 | static_cast<uint64_t>(at - Alphabet32);
    }
    for (int shift = 32; shift >= 0; shift -= 8) {
      bytes.push_back(static_cast<char>((group >> shift) & 0xFF));
    }
  }
  return bytes;
}

std::optional<ScorePayload> ParsePayload(std::string_view payload) {
  // Fixed markers in BuildPayload's order; each field runs to the next marker.
  constexpr std::string_view kType = "type=", kName = "|name=", kScore = "|score=",
                             kKey = "|key=", kToken = "|p=", kCountry = "|add=", kPad = "|z=";
  if (payload.substr(0, kType.size()) != kType) return std::nullopt;
  const size_t name = payload.find(kName);
  if (name == std::string_view::npos) return std::nullopt;
  // The name is player text and may hold "|": it ends at the first "|score=" after it. The
  // fields after it are ours and hold no "|".
  const size_t score = payload.find(kScore, name + kName.size());
  if (score == std::string_view::npos) return std::nullopt;
  const size_t key = payload.find(kKey, score + kScore.size());
  if (key == std::string_view::npos) return std::nullopt;
  const size_t token = payload.find(kToken, key + kKey.size());
  if (token == std::string_view::npos) return std::nullopt;
  const size_t country = payload.find(kCountry, token + kToken.size());
  if (country == std::string_view::npos) return std::nullopt;
  const size_t pad = payload.rfind(kPad);
  if (pad == std::string_view::npos || pad < country + kCountry.size()) return std::nullopt;
  const std::string_view zeros = payload.substr(pad + kPad.size());
  if (zeros.size() > 4 || zeros.find_first_not_of('0') != std::string_view::npos) {
    return std::nullopt;
  }

  auto between = [&](size_t from, std::string_view marker, size_t to) {
    return std::string(payload.substr(from + marker.size(), to - from - marker.size()));
  };
  ScorePayload fields;
  fields.type = between(0, kType, name);
  fields.name = between(name, kName, score);
  fields.score = between(score, kScore, key);
  fields.key = between(key, kKey, token);
  fields.token = between(token, kToken, country);
  fields.country = between(country, kCountry, pad);
  // Our own fields never hold a "|"; one there means the markers were found in the wrong text.
  for (const std::string* field : {&fields.type, &fields.score, &fields.key, &fields.token}) {
    if (field->find('|') != std::string::npos) return std::nullopt;
  }
  return fields;
}
