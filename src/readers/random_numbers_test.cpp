#include "readers/random_numbers.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "support/test_support.h"

namespace pavecast::testing {
namespace {

// `count` draws from data/random.dat holding `content` (no file when
// nullopt): the number, or nullopt where the draw fails.
std::vector<std::optional<float>> draws(const std::optional<std::string>& content, int count) {
  TempDir dir;
  if (content) dir.write("data/random.dat", *content);
  RandomFile numbers(
      InputFile::open_or_fatal(dir.workdir().data("random.dat"), IfMissing::kCreateEmpty));
  std::vector<std::optional<float>> out;
  for (int n = 0; n < count; ++n) {
    float number = -1.0f;
    out.push_back(numbers.next(number) ? std::optional<float>(number) : std::nullopt);
  }
  return out;
}

TEST(RandomFile, DrawsInTurnAndRestartsAfterTheEnd) {
  // " 20000": blanks are ignored and the last five digits are decimals.
  EXPECT_EQ(draws(".10000\n 20000\n.30000\n", 9),
            (std::vector<std::optional<float>>{0.1f, 0.2f, 0.3f, std::nullopt, 0.1f, 0.2f, 0.3f,
                                               std::nullopt, 0.1f}));
}

TEST(RandomFile, UnreadableLineRestartsLikeTheEnd) {
  EXPECT_EQ(draws(".10000\nx.y\n.30000\n", 4),
            (std::vector<std::optional<float>>{0.1f, std::nullopt, 0.1f, std::nullopt}));
}

TEST(RandomFile, MissingFileIsCreatedEmptyAndEveryDrawFails) {
  EXPECT_EQ(draws(std::nullopt, 2), (std::vector<std::optional<float>>{std::nullopt, std::nullopt}));
}

TEST(RandomFile, NumberOf21OrMoreStopsTheRunWhenDrawn) {
  EXPECT_EQ(fatal_text_of([] { draws(".50000\n21.000\n", 2); }),
            " ** Fatal Error: a number of 21.0 or more, file data/random.dat, line 2\n");
}

}  // namespace
}  // namespace pavecast::testing
