// The world table page that the game opens in the browser: one HTML template, every stored
// text escaped on the way out (names and countries are whatever a client sent).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "store.h"

namespace starmoat::server {

struct WorldPageView {
  std::vector<ScoreRow> rows;  // this page's rows, best first
  int64_t first_rank = 1;      // the rank of rows[0]
  int64_t page = 1;            // counted from 1
  int64_t pages = 1;           // at least 1, also for an empty table
  int64_t total = 0;           // rows in the whole (filtered) table
  int64_t listed = 0;          // of those, how many the pages go through (the best ones)
  std::string country;         // the filter; "" for every country
  bool all = false;            // unverified rows are shown too (and marked)
  std::string rows_choice;     // "all=1" or "all=0" for the links, "" for the default
  bool play_link = false;      // a "Play" link to the game's web build at /play/
};

std::string RenderWorldPage(const WorldPageView& view);

// The link, relative to the page itself, to the page of a country filter ("" for all), with
// rows_choice ("all=1", "all=0" or "") appended.
std::string WorldPageLink(const std::string& country, int64_t page,
                          const std::string& rows_choice = "");
// Where a verified row's replay is downloaded (a path from the server's root).
std::string ReplayLink(int64_t id);

}  // namespace starmoat::server
