#include "world_page.h"

#include "web_text.h"

namespace starmoat::server {

namespace {

// The game's look: deep space behind, brushed-steel panels, the menus' green (#00FF00) for
// titles and the darker green (#228822) for frames. Narrow screens drop the date column and
// tighten the cells so a phone shows rank, name, country and score without scrolling.
constexpr const char* kStyle = R"css(
:root { color-scheme: dark; }
* { box-sizing: border-box; }
body {
  margin: 0; min-height: 100vh; color: #c9d3dd;
  font: 16px/1.4 "DejaVu Sans", "Segoe UI", Roboto, Helvetica, Arial, sans-serif;
  background:
    radial-gradient(ellipse at 20% 10%, rgba(92, 48, 140, .35), transparent 55%),
    radial-gradient(ellipse at 85% 70%, rgba(40, 70, 160, .30), transparent 60%),
    #05070d;
}
main { max-width: 860px; margin: 0 auto; padding: 24px 16px 40px; }
header { text-align: center; margin-bottom: 18px; }
h1 {
  margin: 0; color: #00ff00; letter-spacing: .35em; font-size: 2.2rem;
  text-shadow: 0 0 12px rgba(0, 255, 0, .45);
}
.subtitle { margin: 4px 0 0; color: #7fbf7f; letter-spacing: .2em; text-transform: uppercase; }
.panel {
  background: linear-gradient(180deg, #2b333d 0%, #1a2028 45%, #11161c 100%);
  border: 1px solid #228822; border-radius: 10px;
  box-shadow: inset 0 1px 0 rgba(255, 255, 255, .12), 0 8px 30px rgba(0, 0, 0, .6);
  padding: 14px;
}
form { display: flex; gap: 8px; flex-wrap: wrap; align-items: center; margin-bottom: 12px; }
label { color: #7fbf7f; }
input[type=text] {
  flex: 1 1 160px; min-width: 0; padding: 8px 10px; color: #00ff00; background: #0a0e13;
  border: 1px solid #3d4853; border-radius: 6px; font: inherit;
}
button, .button {
  padding: 8px 14px; color: #0a0e13; background: linear-gradient(#3cff3c, #1fa51f);
  border: 0; border-radius: 6px; font: inherit; font-weight: bold; text-decoration: none;
  cursor: pointer;
}
.button.quiet { color: #c9d3dd; background: linear-gradient(#46515d, #2a323b); }
table { width: 100%; border-collapse: collapse; }
th {
  text-align: left; color: #00ff00; font-weight: normal; letter-spacing: .08em;
  text-transform: uppercase; font-size: .8rem; padding: 8px 10px;
  border-bottom: 1px solid #228822;
}
td { padding: 7px 10px; border-bottom: 1px solid rgba(90, 101, 114, .35); }
tbody tr:nth-child(odd) { background: rgba(255, 255, 255, .03); }
tbody tr:hover { background: rgba(0, 255, 0, .06); }
td.rank, td.score { font-family: "DejaVu Sans Mono", Menlo, Consolas, monospace; }
td.rank { color: #7fbf7f; width: 3.5em; }
td.score { text-align: right; color: #00ff00; }
th.score { text-align: right; }
td.name { color: #ffffff; font-weight: bold; white-space: nowrap; }
td.country a { color: #9fb4c8; text-decoration: none; overflow-wrap: anywhere; }
td.country a:hover { color: #00ff00; text-decoration: underline; }
td.date { color: #7d8a97; white-space: nowrap; }
tr.top1 td.rank, tr.top1 td.name { color: #ffd34d; }
tr.top2 td.rank, tr.top2 td.name { color: #b4c3d6; }
tr.top3 td.rank, tr.top3 td.name { color: #e3a05c; }
td.replay { white-space: nowrap; text-align: right; font-size: .85rem; }
td.replay a { color: #00ff00; text-decoration: none; }
td.replay a:hover { text-decoration: underline; }
.mark { color: #00ff00; margin-left: .35em; font-weight: normal; }
.unverified { color: #7d8a97; font-style: italic; }
tr.unverified td.name, tr.unverified td.score { color: #8a949e; }
.rows { text-align: right; margin: -4px 0 10px; font-size: .85rem; }
.rows a { color: #9fb4c8; }
.empty { text-align: center; padding: 28px 10px; color: #7fbf7f; }
nav { display: flex; justify-content: space-between; align-items: center; gap: 8px;
      margin-top: 12px; flex-wrap: wrap; }
.where { color: #7d8a97; }
footer { margin-top: 16px; text-align: center; color: #56616c; font-size: .8rem; }
@media (max-width: 560px) {
  body { font-size: 15px; }
  main { padding: 14px 8px 28px; }
  h1 { font-size: 1.6rem; letter-spacing: .25em; }
  .panel { padding: 8px; }
  th, td { padding: 6px 5px; }
  .date { display: none; }
  td.rank { width: 2.2em; }
}
)css";

// Links are relative to the page: the game's path starts with "//", which a browser would
// read as a host name if a link began with it.
constexpr const char* kPagePath = "version.pl?prg=Starmoat&show&type=0";

std::string Row(const ScoreRow& row, int64_t rank, const WorldPageView& view) {
  std::string html = "<tr";
  if (!row.verified) {
    html += " class=\"unverified\"";
  } else if (rank <= 3) {
    html += " class=\"top" + std::to_string(rank) + "\"";
  }
  html += "><td class=\"rank\">" + std::to_string(rank) + "</td><td class=\"name\">" +
          HtmlEscape(row.name);
  if (row.verified) {
    html += "<span class=\"mark\" title=\"verified: its replay was played back on the server\">"
            "\xE2\x9C\x93</span>";
  }
  html += "</td><td class=\"country\">";
  if (!row.country.empty()) {
    html += "<a href=\"" + HtmlEscape(WorldPageLink(row.country, 1, view.rows_choice)) + "\">" +
            HtmlEscape(row.country) + "</a>";
  }
  html += "</td><td class=\"score\">" + std::to_string(row.score) +
          "</td><td class=\"date\">" + UtcDate(row.created_unix) + "</td><td class=\"replay\">";
  html += row.verified ? "<a href=\"" + HtmlEscape(ReplayLink(row.id)) +
                             "\" download title=\"Download the replay\">replay</a>"
                       : "<span class=\"unverified\">unverified</span>";
  html += "</td></tr>\n";
  return html;
}

}  // namespace

std::string WorldPageLink(const std::string& country, int64_t page,
                          const std::string& rows_choice) {
  std::string link = kPagePath;
  if (!country.empty()) link += "&country=" + UrlEncode(country);
  if (page > 1) link += "&page=" + std::to_string(page);
  if (!rows_choice.empty()) link += "&" + rows_choice;
  return link;
}

std::string ReplayLink(int64_t id) { return "/api/replays?id=" + std::to_string(id); }

std::string RenderWorldPage(const WorldPageView& view) {
  const std::string country = HtmlEscape(view.country);
  std::string html;
  html.reserve(8192 + view.rows.size() * 200);
  html += "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
          "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
          "<title>Starmoat world table";
  if (!view.country.empty()) html += " \xE2\x80\x93 " + country;
  html += "</title>\n<style>";
  html += kStyle;
  html += "</style>\n</head>\n<body>\n<main>\n<header>\n<h1>STARMOAT</h1>\n"
          "<p class=\"subtitle\">World table";
  if (!view.country.empty()) html += " \xC2\xB7 " + country;
  html += "</p>\n";
  if (view.play_link) html += "<p><a class=\"button play\" href=\"/play/\">Play</a></p>\n";
  html += "</header>\n<section class=\"panel\">\n";

  // The filter form sends prg, show and type along, so its answer is this page again.
  html += "<form method=\"get\" action=\"version.pl\">\n"
          "<input type=\"hidden\" name=\"prg\" value=\"Starmoat\">"
          "<input type=\"hidden\" name=\"show\" value=\"\">"
          "<input type=\"hidden\" name=\"type\" value=\"0\">\n";
  if (!view.rows_choice.empty()) {
    html += "<input type=\"hidden\" name=\"all\" value=\"" + view.rows_choice.substr(4) +
            "\">\n";
  }
  html += "<label for=\"country\">Country</label>\n"
          "<input type=\"text\" id=\"country\" name=\"country\" maxlength=\"32\" value=\"" +
          country + "\" placeholder=\"every country\">\n<button type=\"submit\">Show</button>\n";
  if (!view.country.empty()) {
    html += "<a class=\"button quiet\" href=\"" +
            HtmlEscape(WorldPageLink("", 1, view.rows_choice)) +
            "\">Whole world</a>\n";
  }
  html += "</form>\n";
  // The other view of the same table: with or without the rows no replay has proved.
  const bool default_all = view.all == view.rows_choice.empty();
  const std::string other = view.all ? (default_all ? "all=0" : "") : (default_all ? "" : "all=1");
  html += "<p class=\"rows\"><a href=\"" + HtmlEscape(WorldPageLink(view.country, 1, other)) +
          "\">" +
          (view.all ? "Verified scores only" : "Show unverified scores too") + "</a></p>\n";

  html += "<table>\n<thead><tr><th>Rank</th><th>Name</th><th>Country</th>"
          "<th class=\"score\">Score</th><th class=\"date\">Date</th><th></th></tr></thead>\n"
          "<tbody>\n";
  for (size_t i = 0; i < view.rows.size(); ++i) {
    html += Row(view.rows[i], view.first_rank + static_cast<int64_t>(i), view);
  }
  if (view.rows.empty()) {
    html += "<tr><td class=\"empty\" colspan=\"6\">";
    html += view.total != 0 ? "No scores on this page."
            : view.all      ? "No scores yet. Be the first!"
                            : "No verified scores yet. Be the first!";
    html += "</td></tr>\n";
  }
  html += "</tbody>\n</table>\n";

  const std::string& choice = view.rows_choice;
  html += "<nav>\n";
  html += view.page > 1 ? "<a class=\"button quiet\" rel=\"prev\" href=\"" +
                              HtmlEscape(WorldPageLink(view.country, view.page - 1, choice)) +
                              "\">&laquo; Better</a>\n"
                        : "<span></span>\n";
  html += "<span class=\"where\">Page " + std::to_string(view.page) + " of " +
          std::to_string(view.pages) + " &middot; ";
  if (view.listed < view.total) html += "the best " + std::to_string(view.listed) + " of ";
  html += std::to_string(view.total) + (view.all ? "" : " verified") +
          (view.total == 1 ? " score" : " scores") + "</span>\n";
  html += view.page < view.pages ? "<a class=\"button quiet\" rel=\"next\" href=\"" +
                                       HtmlEscape(WorldPageLink(view.country, view.page + 1, choice)) +
                                       "\">More &raquo;</a>\n"
                                 : "<span></span>\n";
  html += "</nav>\n</section>\n<footer>Dates are UTC. A verified score's replay was played back on the server to exactly that score.</footer>\n</main>\n</body>\n</html>\n";
  return html;
}

}  // namespace starmoat::server
