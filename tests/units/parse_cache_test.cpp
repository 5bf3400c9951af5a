// The table of recently parsed texts answers exactly as the parser does, remembers only what
// parsed, gives way to new texts, and keeps one table per thread.
#include "units/parse_cache.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <thread>
#include <vector>

namespace {

// What the parser says about a text, compared bit for bit.
struct Answer {
  int ok;
  std::string error;
  ParsedUnit parsed;

  bool operator==(const Answer& other) const {
    return ok == other.ok && error == other.error &&
           (!ok || std::memcmp(&parsed, &other.parsed, sizeof parsed) == 0);
  }
};

template <class Parse>
Answer AnswerOf(Parse parse, const std::string& text) {
  Answer answer{0, "", {}};
  char error_string[kUnitTextSize];
  answer.ok = parse(text.c_str(), &answer.parsed, error_string);
  answer.error = error_string;
  return answer;
}

Answer Parsed(const std::string& text) { return AnswerOf(ParseUnits, text); }

// Texts side by side that differ in one byte or in length, failures among them, at and beyond
// the longest text remembered.
std::vector<std::string> NearTwins() {
  std::vector<std::string> texts = {
      "kg m/s^2", "kg m/s^3", "kg m/s^2 ", " kg m/s^2", "kg m/s", "m", "m ", "mm", "", " ",
      "ft", "fT", "degC", "degC ", "degF", "xyz", "xyy", "m/0", "m/1", "\xC2\xB5m", "\xC2\xB5n",
      // These two collide in the table's hash (h * 33 + byte), so they share a set and only the
      // bytes tell them apart; the first round meets them one after the other.
      "mm/D", "nL/D"};
  const std::string longest = "m" + std::string(254, ' ');  // 255 bytes: the longest key
  texts.push_back(longest);
  texts.push_back(longest.substr(0, 254) + "s");
  texts.push_back(longest + " ");                          // 256: too long
  texts.push_back("m" + std::string(84, '\xC2') + "\xB5");  // not UTF-8 a parser would accept
  // 255 characters, 509 bytes: parses, but is too long a key to remember.
  std::string wide = "m";
  for (int i = 0; i < 254; ++i) wide += "\xC2\xA0";
  texts.push_back(wide);
  return texts;
}

TEST(ParseCache, AnswersAsTheParserDoesAndRemembersOnlySuccesses) {
  const std::vector<std::string> texts = NearTwins();
  ASSERT_GT(texts.size(), 20u);
  const auto cache = std::make_unique<ParseCache>();
  std::vector<std::string> order = texts;
  std::mt19937 random(14);
  for (int round = 0; round < 4; ++round) {
    for (const std::string& text : order) {
      SCOPED_TRACE("\"" + text.substr(0, 20) + "\", " + std::to_string(text.size()) + " bytes");
      const Answer expected = Parsed(text);
      const Answer answer =
          AnswerOf([&](const char* t, ParsedUnit* p, char* e) { return cache->Parse(t, p, e); },
                   text);
      EXPECT_TRUE(answer == expected) << answer.error << " / " << expected.error;
      EXPECT_EQ(cache->Remembers(text.c_str()),
                expected.ok == 1 && text.size() <= ParseCache::kLongestKey);
    }
    std::shuffle(order.begin(), order.end(), random);
  }
  EXPECT_FALSE(cache->Remembers("xyz")) << "a failure is parsed again every time";
}

TEST(ParseCache, GivesWayToNewTextsButKeepsTheOnesInUse) {
  const auto cache = std::make_unique<ParseCache>();
  ParsedUnit parsed;
  char error_string[kUnitTextSize];
  std::vector<std::string> texts;
  for (int power = 2; power < 300; ++power) texts.push_back("m^" + std::to_string(power));
  ASSERT_GT(texts.size(), 4u * ParseCache::kEntryCount);
  for (const std::string& text : texts) {
    ASSERT_EQ(cache->Parse(text.c_str(), &parsed, error_string), 1);
    // A text in use at every step, as a column's units are, and a failure at every step.
    ASSERT_EQ(cache->Parse("psi", &parsed, error_string), 1);
    ASSERT_EQ(cache->Parse("xyz", &parsed, error_string), 0);
  }
  const auto remembered = std::count_if(texts.begin(), texts.end(), [&](const std::string& t) {
    return cache->Remembers(t.c_str());
  });
  EXPECT_EQ(remembered, ParseCache::kEntryCount - 1) << "every entry but the one for \"psi\"";
  EXPECT_TRUE(cache->Remembers("psi"));
  EXPECT_FALSE(cache->Remembers(texts.front().c_str()));
  for (auto last = texts.end() - (ParseCache::kWays - 1); last != texts.end(); ++last) {
    EXPECT_TRUE(cache->Remembers(last->c_str())) << *last;
  }
}

TEST(ParseUnitsRemembered, TwoThreadsConvertingAtOnceEachGetTheirOwnAnswers) {
  std::vector<std::string> texts = NearTwins();
  for (int power = 2; power < 60; ++power) texts.push_back("ft^" + std::to_string(power) + "/s");
  std::vector<Answer> expected;
  for (const std::string& text : texts) expected.push_back(Parsed(text));
  ASSERT_GT(texts.size(), 2u * ParseCache::kEntryCount);

  // Each thread walks the texts in an order of its own, so that their tables, were they one,
  // would be overwritten under each other's feet.
  auto walk = [&](unsigned seed, int* wrong) {
    std::vector<std::size_t> order(texts.size());
    for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
    std::mt19937 random(seed);
    for (int round = 0; round < 300; ++round) {
      std::shuffle(order.begin(), order.end(), random);
      for (std::size_t i : order) {
        *wrong += !(AnswerOf(ParseUnitsRemembered, texts[i]) == expected[i]);
      }
    }
  };
  int wrong_first = 0;
  int wrong_second = 0;
  std::thread first(walk, 1u, &wrong_first);
  std::thread second(walk, 2u, &wrong_second);
  first.join();
  second.join();
  EXPECT_EQ(wrong_first, 0);
  EXPECT_EQ(wrong_second, 0);
}

}  // namespace
