// Sending a new local high score to the world high-score server: two blocking HTTP GETs on the
// main thread, a token request and then the result packed into one 32-letter text.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "persistence/score_codec.h"

// host[:port] of the score server; the build's STARMOAT_SCORE_HOST unless the environment
// variable of the same name or a test points it at another server.
extern std::string ScoreHost;
// The whole sending (both requests) ends after this many ms, and each request fails after this
// many ms without a connection. A server that accepts and never answers would otherwise hold
// "Please wait..." on screen for good; one that answers the token slowly only leaves the
// result request what is left.
extern uint32_t SubmitTimeoutMs;
extern uint32_t SubmitConnectTimeoutMs;

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

// The submit question's Yes, after the "Please wait..." frame: name is NameEdit's text, score
// the finished game's. Ends with ScreenState ssConnectFailed when the token request failed,
// else ssHighScores (a failed result request goes unnoticed). whileWaiting runs about once per
// clock tick while a request waits for the server.
// Once the result is stored, the game's replay (its file's bytes; none when empty) follows to
// kReplayUploadPath with the token just spent, so the server can play the game back and mark
// the result verified. It gets what is left of the time budget, and whatever becomes of it
// changes nothing the player sees.
void SubmitScore(const std::string& name, int32_t score,
                 const std::function<void()>& whileWaiting = {},
                 const std::string& replay = {});

// Where the replay of a stored result goes, followed by the percent-encoded token.
inline constexpr const char* kReplayUploadPath = "/api/replays?token=";

void ResetSubmissionState();
