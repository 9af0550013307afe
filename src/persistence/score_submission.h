// Sending a new local high score to the world high-score server: two blocking HTTP GETs on the
// main thread, a token request and then the result packed into one 32-letter text.
#pragma once

#include <cstdint>
#include <string>

// host[:port] of the score server; the build's STARMOAT_SCORE_HOST unless the environment
// variable of the same name or a test points it at another server.
extern std::string ScoreHost;
// Each request fails after this many ms without a complete reply, or this many ms without a
// connection. A server that accepts and never answers would otherwise hold "Please wait..."
// on screen for good.
extern uint32_t SubmitTimeoutMs;
extern uint32_t SubmitConnectTimeoutMs;

// The 32 characters of the text encoding: character g stands for the 5-bit value g.
inline constexpr char Alphabet32[] = "ABCDEFGHJKLMNPQRSTUVWXY123456789";
// Our fixed key letter in every payload.
inline constexpr char kScoreKey = 'S';

inline constexpr const char* kTokenPath = "//cgi/version.pl?version&prg=Starmoat";
inline constexpr const char* kResultPath = "//cgi/version.pl?hs&prg=Starmoat&inf=";
inline constexpr const char* kWorldTablePath = "//cgi/version.pl?prg=Starmoat&show&type=0";

// The score host for a value of the STARMOAT_SCORE_HOST environment variable: that value when
// it is set and not empty (players pointing at a public server, tests at their own), else the
// build's default.
std::string ChooseScoreHost(const char* environmentValue);
// Called once at start-up, after the program's globals are reset: ScoreHost from the
// environment variable STARMOAT_SCORE_HOST.
void UseScoreHostFromEnvironment();

// "http://", ScoreHost, then the path (which keeps its leading double slash).
std::string ScoreServerUrl(const std::string& pathAndQuery);
// The world table page that the high-score page opens in the browser.
std::string WorldTableUrl();

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

// The submit question's Yes, after the "Please wait..." frame: name is NameEdit's text, score
// the finished game's. Ends with ScreenState ssConnectFailed when the token request failed,
// else ssHighScores (a failed result request goes unnoticed).
void SubmitScore(const std::string& name, int32_t score);

void ResetSubmissionState();
