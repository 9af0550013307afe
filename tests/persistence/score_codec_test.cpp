// The server's half of the score encoding: decoding letters back to bytes and splitting the
// payload, checked against the game's own encoder.
#include <gtest/gtest.h>

#include "persistence/score_codec.h"

TEST(ScoreCodec, DecodingUndoesTheGamesEncoding) {
  const std::string payloads[] = {
      "abc00",
      BuildPayload("Ace", 12345, "T0K3N", "Peru"),
      BuildPayload("", 0, "", ""),
      BuildPayload("a|b", -7, "tok", "Espa\xC3\xB1" "a|z=0"),
      std::string("\x00\xFF\x80\x7F\x01", 5),
  };
  for (const std::string& payload : payloads) {
    const std::string encoded = BitsToText32(BytesToBits(payload));
    EXPECT_EQ(Text32ToBytes(encoded), payload) << encoded;
  }
  EXPECT_EQ(Text32ToBytes("NFTGGNBS"), "abc00");
  EXPECT_EQ(Text32ToBytes(""), "");
}

TEST(ScoreCodec, LettersOutsideTheAlphabetOrAPartialGroupDecodeToNothing) {
  const std::string bad[] = {"NFTGGNB",  "NFTGGNBSN", "NFTGGNBI", "NFTGGNBO", "NFTGGNB0",
                             "nftggnbs", "NFTGGNB%", std::string("NFTGGNB\0", 8), "NFTG NBS"};
  for (const std::string& text : bad) EXPECT_FALSE(Text32ToBytes(text).has_value()) << text;
}

TEST(ScoreCodec, APayloadSplitsIntoItsFields) {
  const std::optional<ScorePayload> fields =
      ParsePayload(BuildPayload("Ace", 12345, "T0K3N", "New Zealand"));
  ASSERT_TRUE(fields.has_value());
  EXPECT_EQ(fields->type, "0");
  EXPECT_EQ(fields->name, "Ace");
  EXPECT_EQ(fields->score, "12345");
  EXPECT_EQ(fields->key, "S");
  EXPECT_EQ(fields->token, "T0K3N");
  EXPECT_EQ(fields->country, "New Zealand");
}

TEST(ScoreCodec, PlayerTextMayHoldBarsAndMarkers) {
  struct Case {
    std::string name, country;
  };
  const Case cases[] = {
      {"a|b", "x|y"}, {"", ""}, {"n", "Land|z=0"}, {"n", "|z=|z="}, {"n|p=x", "|add=|z=00"}};
  for (const Case& c : cases) {
    const std::optional<ScorePayload> fields = ParsePayload(BuildPayload(c.name, -3, "t", c.country));
    ASSERT_TRUE(fields.has_value()) << c.name << " / " << c.country;
    EXPECT_EQ(fields->name, c.name);
    EXPECT_EQ(fields->country, c.country);
    EXPECT_EQ(fields->score, "-3");
    EXPECT_EQ(fields->token, "t");
  }
}

TEST(ScoreCodec, TextsWithoutThePayloadsShapeDoNotParse) {
  const char* bad[] = {
      "",
      "hello world",
      "name=Ace|score=1|key=S|p=t|add=|z=",            // no type
      "type=0|name=Ace|key=S|p=t|add=|z=",             // no score
      "type=0|name=Ace|score=1|key=S|add=x|z=",        // no token
      "type=0|name=Ace|score=1|key=S|p=t|add=x",       // no padding marker
      "type=0|name=Ace|score=1|key=S|p=t|add=x|z=00000",  // five padding zeros
      "type=0|name=Ace|score=1|key=S|p=t|add=x|z=0a",  // padding that is not zeros
      "type=0|name=Ace|score=1|2|key=S|p=t|add=x|z=",  // a bar in our own field
  };
  for (const char* text : bad) EXPECT_FALSE(ParsePayload(text).has_value()) << text;
}
