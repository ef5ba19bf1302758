#include "layout/fixed_record.h"

#include <gtest/gtest.h>

#include <bit>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "layout/layout.h"

namespace pavecast::layout {
namespace {

// A FixedRecord writes what Layout writes: the same layouts (the listings'
// and some with the awkward parts: Iw.m, Tn, a trailing nX, literals between
// fields) with values chosen to hit the edges (too wide for the field,
// negative, rounding ties, NaN and infinities, texts short and long).
TEST(FixedRecord, WritesWhatTheLayoutWrites) {
  struct Case {
    std::string notation;
    std::string kinds;  // I, F or A for each item
  };
  const std::vector<Case> cases = {
      {"I4,3X,A23,1X,A38,1X,I4,2I5,I6,F8.1,F9.0", "IAAIIIIFF"},
      {"I4,3X,I4,2I5,I6,F9.1,F9.0", "IIIIIFF"},
      {"I4,3X,A23,1X,A38,1X,I4,I4,I5,I6,I5,F9.1,F7.3,F8.3,I4,I3,4X,'Yes'", "IAAIIIIIFFFII"},
      {"I4,3X,I4,I4,I5,I6,I8,F7.1,F8.3,F8.3", "IIIIIIFFF"},
      {"I2,I3,I5,F7.1,I4,3I5,' Forced'", "IIIFIIII"},
      {"'<',I3.2,T8,F4.3,2X,A3,' ',F6.0,5X", "IFAF"},
  };
  std::mt19937 rng(15);
  auto any_int = [&] {
    switch (rng() % 4) {
      case 0: return static_cast<int32_t>(rng() % 10);
      case 1: return static_cast<int32_t>(rng() % 200000) - 1000;
      case 2: return static_cast<int32_t>(rng());
      default: return static_cast<int32_t>(rng() % 100);
    }
  };
  auto any_real = [&] {
    switch (rng() % 5) {
      case 0: return std::bit_cast<float>(static_cast<uint32_t>(rng()));
      case 1: return static_cast<float>(static_cast<int>(rng() % 200000) - 1000) / 8.0f;
      case 2: return static_cast<float>(rng() % 100000) / 100000.0f * 10000.0f;
      case 3: return static_cast<float>(rng() % 1000) / 10.0f;
      default: return static_cast<float>(static_cast<int>(rng() % 40)) * 0.0625f - 1.0f;
    }
  };
  auto any_text = [&] { return std::string(rng() % 45, static_cast<char>('a' + rng() % 26)); };

  for (const Case& c : cases) {
    const Layout layout(c.notation);
    const FixedRecord record(c.notation);
    for (int round = 0; round < 3000; ++round) {
      std::vector<Item> items;
      std::vector<std::string> texts;
      texts.reserve(c.kinds.size());
      std::string line(record.size(), '?');
      record.start(line.data());
      for (std::size_t k = 0; k < c.kinds.size(); ++k) {
        if (c.kinds[k] == 'I') {
          const int32_t v = any_int();
          items.emplace_back(v);
          record.put(line.data(), k, v);
        } else if (c.kinds[k] == 'F') {
          const float v = any_real();
          items.emplace_back(v);
          record.put(line.data(), k, v);
        } else {
          texts.push_back(any_text());
          items.emplace_back(std::string_view(texts.back()));
          record.put(line.data(), k, std::string_view(texts.back()));
        }
      }
      ASSERT_EQ(line, layout.format(std::span<const Item>(items))) << c.notation;
    }
  }
}

TEST(FixedRecord, RefusesWhatHasNoFixedColumnsAndWrongItems) {
  EXPECT_THROW(FixedRecord("I2,/,I3"), std::invalid_argument);
  EXPECT_THROW(FixedRecord("I2,A"), std::invalid_argument);
  EXPECT_THROW(FixedRecord("I2,$"), std::invalid_argument);
  const FixedRecord record("I2,F5.1");
  std::string line(record.size(), ' ');
  EXPECT_THROW(record.put(line.data(), 0, 1.0f), std::invalid_argument);
  EXPECT_THROW(record.put(line.data(), 2, 1), std::invalid_argument);
}

}  // namespace
}  // namespace pavecast::layout
