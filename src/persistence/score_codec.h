// The score wire format shared by the game's submission and the world score server: the token
// reply's field, the result payload and its 32-letter text encoding. No SDL, no I/O: the server
// links this file alone.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The 32 characters of the text encoding: character g stands for the 5-bit value g.
inline constexpr char Alphabet32[] = "ABCDEFGHJKLMNPQRSTUVWXY123456789";
// Our fixed key letter in every payload.
inline constexpr char kScoreKey = 'S';

// Paths and queries as the game sends them (the leading double slash is part of the protocol).
inline constexpr const char* kTokenPath = "//cgi/version.pl?version&prg=Starmoat";
inline constexpr const char* kResultPath = "//cgi/version.pl?hs&prg=Starmoat&inf=";
inline constexpr const char* kWorldTablePath = "//cgi/version.pl?prg=Starmoat&show&type=0";

// Eight characters "0"/"1" per byte, most significant bit first.
std::string BytesToBits(const std::string& bytes);
// "0"s in front up to a multiple of 5, then one Alphabet32 character per 5 bits (any character
// other than "0" counts as a 1 bit).
std::string BitsToText32(std::string bits);
// The fifth "|"-terminated field of the token reply; empty when the reply has fewer than five.
std::string TokenFromReply(std::string reply);
// type, name, score, key, token, country, then "|z=" and as many "0" as bring the length to a
// multiple of 5 bytes. Name and country go as their bytes, unescaped.
std::string BuildPayload(const std::string& name, int32_t score, const std::string& token,
                         const std::string& country);

// The server's side of BitsToText32(BytesToBits(payload)): every 8 letters give 5 bytes.
// Nothing for a letter outside Alphabet32 or a length that is not a multiple of 8 (the game
// always pads its payload to whole 5-byte groups).
std::optional<std::string> Text32ToBytes(std::string_view text);

// The fields of a payload as BuildPayload wrote them. score keeps its text: its range is the
// reader's to judge.
struct ScorePayload {
  std::string type, name, score, key, token, country;
};
// Splits "type=..|name=..|score=..|key=..|p=..|add=..|z=0..". The name runs to "|score=" and
// the country to the last "|z=", so a "|" typed into either survives; the padding after "|z="
// is 0 to 4 "0" characters. Nothing when the text does not have that shape.
std::optional<ScorePayload> ParsePayload(std::string_view payload);
