// The game's web build served at /play/ by a real front over HTTP: types, compression,
// validators, what is refused, and the world page's link to it.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "command_line.h"
#include "server/live_server.h"
#include "web_root.h"

namespace starmoat::server {
namespace {

namespace fs = std::filesystem;

void Write(const fs::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

class WebRootFolder : public ::testing::Test {
 protected:
  WebRootFolder() {
    dir_ = fs::temp_directory_path() /
           ("starmoat-web-root-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
            "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_ / "below");
    Write(dir_ / "index.html", "<!doctype html><title>Starmoat</title>");
    Write(dir_ / "starmoat.wasm", wasm_);
    Write(dir_ / "starmoat.wasm.gz", "GZ-COPY");  // smaller than the file: sent when allowed
    Write(dir_ / "starmoat.js", "var Module;");
    Write(dir_ / "starmoat.js.gz", "a copy longer than the file itself");  // never sent
    Write(dir_ / "below" / "secret.txt", "not served");
    Write(dir_.parent_path() / "starmoat-outside.txt", "not served");
  }
  ~WebRootFolder() override { fs::remove_all(dir_); }

  std::unique_ptr<LiveServer> Serve() {
    FrontOptions options;
    options.web_root = WebRoot::Load(dir_.string());
    options.protocol.play_link = true;
    return std::make_unique<LiveServer>(options);
  }

  static httplib::Result Get(LiveServer& server, const std::string& target,
                             const httplib::Headers& headers = {}) {
    httplib::Client client("127.0.0.1", server.port());
    client.set_decompress(false);  // the bytes as sent
    return client.Get(target, headers);
  }

  fs::path dir_;
  const std::string wasm_ = std::string("\0asm\x01\0\0\0", 8) + std::string(4000, 'w');
};

TEST_F(WebRootFolder, ServesEachFileWithItsTypeCachingAndCompression) {
  auto server = Serve();
  httplib::Result page = Get(*server, "/play/");
  ASSERT_TRUE(page);
  EXPECT_EQ(page->status, 200);
  EXPECT_EQ(page->body, "<!doctype html><title>Starmoat</title>");
  EXPECT_EQ(page->get_header_value("Content-Type"), "text/html; charset=utf-8");
  EXPECT_EQ(page->get_header_value("Cache-Control"), "no-cache");

  httplib::Result plain = Get(*server, "/play/starmoat.wasm");
  ASSERT_TRUE(plain);
  EXPECT_EQ(plain->status, 200);
  EXPECT_EQ(plain->body, wasm_);
  EXPECT_EQ(plain->get_header_value("Content-Type"), "application/wasm");
  EXPECT_FALSE(plain->has_header("Content-Encoding"));
  EXPECT_EQ(plain->get_header_value("Cache-Control"), "public, max-age=3600");
  EXPECT_EQ(plain->get_header_value("Vary"), "Accept-Encoding");

  httplib::Result packed = Get(*server, "/play/starmoat.wasm", {{"Accept-Encoding", "br, gzip"}});
  ASSERT_TRUE(packed);
  EXPECT_EQ(packed->body, "GZ-COPY");
  EXPECT_EQ(packed->get_header_value("Content-Encoding"), "gzip");
  EXPECT_EQ(packed->get_header_value("Content-Type"), "application/wasm");

  // A "compressed" copy larger than the file is not worth sending.
  httplib::Result script = Get(*server, "/play/starmoat.js", {{"Accept-Encoding", "gzip"}});
  ASSERT_TRUE(script);
  EXPECT_EQ(script->body, "var Module;");
  EXPECT_FALSE(script->has_header("Content-Encoding"));
  EXPECT_EQ(script->get_header_value("Content-Type"), "text/javascript; charset=utf-8");
}

TEST_F(WebRootFolder, AnUnchangedFileIsNotSentAgain) {
  auto server = Serve();
  httplib::Result first = Get(*server, "/play/starmoat.wasm");
  ASSERT_TRUE(first);
  const std::string etag = first->get_header_value("ETag");
  ASSERT_FALSE(etag.empty());
  httplib::Result again = Get(*server, "/play/starmoat.wasm", {{"If-None-Match", etag}});
  ASSERT_TRUE(again);
  EXPECT_EQ(again->status, 304);
  EXPECT_TRUE(again->body.empty());
  // Another file's tag, or a tag of an older build, gets the whole file.
  const std::string other = Get(*server, "/play/starmoat.js")->get_header_value("ETag");
  EXPECT_NE(other, etag);
  httplib::Result stale = Get(*server, "/play/starmoat.wasm", {{"If-None-Match", other}});
  ASSERT_TRUE(stale);
  EXPECT_EQ(stale->status, 200);
  EXPECT_EQ(stale->body, wasm_);
}

TEST_F(WebRootFolder, OnlyTheFolderItselfIsServed) {
  auto server = Serve();
  for (const char* target : {"/play/below/secret.txt", "/play/../starmoat-outside.txt",
                             "/play/%2e%2e/starmoat-outside.txt", "/play/nothing.js",
                             "/play/starmoat.wasm.gz", "/playground"}) {
    httplib::Result reply = Get(*server, target);
    ASSERT_TRUE(reply) << target;
    EXPECT_EQ(reply->status, 404) << target;
  }
  httplib::Result bare = Get(*server, "/play");
  ASSERT_TRUE(bare);
  EXPECT_EQ(bare->status, 301);
  EXPECT_EQ(bare->get_header_value("Location"), "/play/");
  // The page is a GET only.
  httplib::Client client("127.0.0.1", server->port());
  httplib::Result post = client.Post("/play/", "x", "text/plain");
  ASSERT_TRUE(post);
  EXPECT_EQ(post->status, 405);
}

TEST_F(WebRootFolder, TheWorldPageLinksToTheGameOnlyWhenItIsServed) {
  auto with = Serve();
  httplib::Result page = with->Get("//cgi/version.pl?prg=Starmoat&show&type=0");
  ASSERT_TRUE(page);
  EXPECT_NE(page->body.find("<a class=\"button play\" href=\"/play/\">Play</a>"), std::string::npos);
  LiveServer without;
  httplib::Result plain = without.Get("//cgi/version.pl?prg=Starmoat&show&type=0");
  ASSERT_TRUE(plain);
  EXPECT_EQ(plain->body.find("/play/"), std::string::npos);
  EXPECT_EQ(without.Get("/play/")->status, 404);
}

TEST_F(WebRootFolder, AFolderWithoutThePageOrNoFolderIsRefusedAtStart) {
  fs::remove(dir_ / "index.html");
  EXPECT_THROW(WebRoot::Load(dir_.string()), std::runtime_error);
  EXPECT_THROW(WebRoot::Load((dir_ / "missing").string()), std::runtime_error);

  const std::string missing = (dir_ / "missing").string();
  const char* argv[] = {"starmoat-scores", "serve", "--listen", "127.0.0.1:0",
                        "--database", "unused.sqlite", "--web-root", missing.c_str()};
  std::ostringstream out, err;
  EXPECT_EQ(RunCommandLine(8, argv, out, err), 1);
  EXPECT_EQ(err.str(), "starmoat-scores: --web-root: " + missing + " is not a folder\n");
  EXPECT_FALSE(fs::exists("unused.sqlite"));
}

TEST(AcceptsGzip, ReadsTheHeaderAsBrowsersWriteIt) {
  const struct {
    const char* header;
    bool gzip;
  } cases[] = {
      {"", false},           {"gzip", true},          {"gzip, deflate, br", true},
      {"br;q=1, GZIP", true}, {"deflate, br", false},  {"gzip;q=0", false},
      {"gzip; q=0.000", false}, {"gzip;q=0.5", true},  {"*", true},
      {"identity", false},   {"x-gzip2", false},
  };
  for (const auto& c : cases) EXPECT_EQ(AcceptsGzip(c.header), c.gzip) << c.header;
}

}  // namespace
}  // namespace starmoat::server
