#include <gtest/gtest.h>

#include <set>

#include "persistence/score_submission.h"
#include "shell/program_state.h"

TEST(ScoreEncoding, Alphabet32SkipsIAndO) {
  const std::string alphabet = Alphabet32;
  EXPECT_EQ(alphabet.size(), 32u);
  EXPECT_EQ(std::set<char>(alphabet.begin(), alphabet.end()).size(), 32u);
  EXPECT_EQ(alphabet.find_first_of("IO0"), std::string::npos);
}

TEST(ScoreEncoding, BytesBecomeEightBitsMostSignificantFirst) {
  EXPECT_EQ(BytesToBits(std::string("\x05\xFF\x80\x00", 4)),
            "00000101" "11111111" "10000000" "00000000");
  EXPECT_EQ(BytesToBits(""), "");
}

TEST(ScoreEncoding, FiveBitGroupsBecomeLetters) {
  struct Case {
    std::string bits, text;
  };
  const Case cases[] = {
      {BytesToBits("abc00"), "NFTGGNBS"},
      {"00000" "11111", "A9"},
      {"1", "B"},            // filled in front to 00001
      {"111111", "B9"},      // 0000111111
      {"x0000", "S"},        // any character but "0" is a one bit
      {"", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(BitsToText32(c.bits), c.text) << c.bits;
}

TEST(ScoreEncoding, TheTokenIsTheFifthBarTerminatedField) {
  struct Case {
    std::string reply, token;
  };
  const Case cases[] = {
      {"1|2|3|4|token|6|7", "token"},
      {"1|2|3|4|token|", "token"},
      {"||||x|", "x"},
      {"1|2|3|4|", ""},
      {"1|2|3|4|text after the fourth", ""},  // only four bars: no token
      {"no bars at all", ""},
      {"", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(TokenFromReply(c.reply), c.token) << c.reply;
}

TEST(ScoreEncoding, ThePayloadIsPaddedWithZerosToAMultipleOfFive) {
  struct Case {
    std::string name;
    int32_t score;
    std::string token, country, payload;
  };
  const Case cases[] = {
      // 40 bytes already: nothing after "|z=".
      {"abc", 0, "", "", "type=0|name=abc|score=0|key=S|p=|add=|z="},
      // 41 bytes: four zeros.
      {"abcd", 0, "", "", "type=0|name=abcd|score=0|key=S|p=|add=|z=0000"},
      {"Ace", -1234, "tok", "Peruvi", "type=0|name=Ace|score=-1234|key=S|p=tok|add=Peruvi|z=00"},
      {"a|b", 7, "t", "xyz", "type=0|name=a|b|score=7|key=S|p=t|add=xyz|z=0"},
  };
  for (const Case& c : cases) {
    const std::string payload = BuildPayload(c.name, c.score, c.token, c.country);
    EXPECT_EQ(payload, c.payload);
    EXPECT_EQ(payload.size() % 5, 0u);
    const std::string encoded = BitsToText32(BytesToBits(payload));
    EXPECT_EQ(encoded.size(), payload.size() / 5 * 8);
    EXPECT_EQ(encoded.find_first_not_of(Alphabet32), std::string::npos);
  }
}

TEST(ScoreEncoding, UrlsCarryTheServerHostAndTheDoubleSlashPath) {
  ResetProgramState();
  EXPECT_EQ(ScoreHost, STARMOAT_SCORE_HOST);
  ScoreHost = "scores.example:8077";
  EXPECT_EQ(ScoreServerUrl(kTokenPath),
            "http://scores.example:8077//cgi/version.pl?version&prg=Starmoat");
  EXPECT_EQ(WorldTableUrl(), "http://scores.example:8077//cgi/version.pl?prg=Starmoat&show&type=0");
  ResetProgramState();
}
