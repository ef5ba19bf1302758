// Layout behaviour the gfortran vectors do not reach: the notation itself
// (groups, repeats, '/', '$', reversion), the report and file layouts the
// program uses, and reading across records and into text targets.
#include "layout/layout.h"

#include <gtest/gtest.h>

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "layout/text.h"
#include "support/gcc_bugs.h"

namespace pavecast::layout {
namespace {

class Lines : public RecordSource {
 public:
  explicit Lines(std::vector<std::string> lines) : lines_(std::move(lines)) {}
  bool next(std::string_view& record) override {
    if (at_ == lines_.size()) return false;
    record = lines_[at_++];
    return true;
  }
  size_t used() const { return at_; }

 private:
  std::vector<std::string> lines_;
  size_t at_ = 0;
};

TEST(LayoutParse, AcceptsTheProgramsLayouts) {
  const char* layouts[] = {
      "I2,I3,I5,F7.1,I4,3I5,' Forced'",
      "A9,T1,9A1,T1,A4",
      "A3,T1,I3",
      "A1,T1,A12",
      "6(1X,A10,1X)",
      "/,/,' Enter the number of the type of printout? ',I1",
      "1X,A8,$",
      "A1,'[',I2.2,';',I2.2,'H'",
      "14X,2(3('-'),1X),29('-'),' -----',T57,14X,5('-'),T68,14X,3(8('-'),2X)",
      "T58,14X,I2,4X,5F10.2",
      "I2,F7.2,I4,I2,1X,A23,1X,A38",
  };
  for (const char* notation : layouts) {
    EXPECT_NO_THROW(Layout{notation}) << notation;
  }
  EXPECT_EQ(Layout("(I2)").notation(), "(I2)");
}

TEST(LayoutParse, BlanksCaseQuotesAndOptionalCommasParseAsMeant) {
  EXPECT_EQ(Layout("(I4, 1X, A5)").format({1996, "NAMES"}), "1996 NAMES\n");
  EXPECT_EQ(Layout("  ( F 6 . 2 )  ").format({1.5f}), "  1.50\n");
  EXPECT_EQ(Layout("i2,f5.1,a,1x,t3").format({1, 2.5f, "x"}), " 1  2.5x\n");
  EXPECT_EQ(Layout("'it''s',\"a\"\"b\"").format({}), "it'sa\"b\n");
  EXPECT_EQ(Layout("I2/I3").format({1, 2}), " 1\n  2\n");
  EXPECT_EQ(Layout("2/,A").format({"x"}), "\n\nx\n");
  EXPECT_EQ(Layout("I2,2/I3").format({1, 2}), " 1\n\n  2\n");
  EXPECT_EQ(Layout("").format({}), "\n");
  EXPECT_EQ(Layout("()").format({}), "\n");
  // Parentheses around the whole layout are optional, but "(I2),(I3)" is
  // two groups, the second one the group a longer list goes back to.
  EXPECT_EQ(Layout("(I2),(I3)").format({1, 2, 3}), " 1  2\n  3\n");
  EXPECT_EQ(Layout("((I2),I3)").format({1, 2, 3}), " 1  2\n 3\n");
}

TEST(LayoutParse, RejectsMalformedNotation) {
  const char* layouts[] = {
      "I",       "I0",    "F5",     "F5.",    "I2.3",  "X",     "T0",    "T",   "2T5",
      "0I2",     "2()",   "(I2",    "I2)",    "I2,",   ",I2",   "I2,,I3", "I2 F5.1",
      "'abc",    "3'x'",  "Q5",     "F5.100", "I999",  "2$",    "A0",
      "65535(65535(I1))",
  };
  for (const char* notation : layouts) {
    EXPECT_THROW(Layout{notation}, std::invalid_argument) << notation;
  }
}

TEST(LayoutWrite, TraceAndListRecords) {
  Layout trace("I2,I3,I5,F7.1,I4,3I5,' Forced'");
  EXPECT_EQ(trace.format({3, 2, 7, 1.25f, 14, 15, 4, 2}),
            " 3  2    7    1.2  14   15    4    2 Forced\n");
  // The literal after the last field is written only when every field has
  // an item; a short list stops at the first field without one.
  EXPECT_EQ(trace.format({3, 2}), " 3  2\n");
  EXPECT_EQ(Layout("'x=',I3,' y=',I3").format({5}), "x=  5 y=\n");
  EXPECT_EQ(Layout("A1").format({}), "\n");
}

TEST(LayoutWrite, TrailingSkipsWriteNothing) {
  Layout names("6(1X,A10,1X)");
  EXPECT_EQ(names.format({"Alpha     ", "Beta      ", "Gamma     "}),
            " Alpha       Beta        Gamma     \n");
  EXPECT_EQ(names.format({"a", "b", "c", "d", "e", "f"}).size(), 6u * 12 - 1 + 1);
  EXPECT_EQ(Layout("A1,T10").format({"x"}), "x\n");
  // An empty literal or text after the skip does count.
  EXPECT_EQ(Layout("A1,3X,A").format({"x", ""}), "x   \n");
}

TEST(LayoutWrite, SlashesAndDollar) {
  EXPECT_EQ(Layout("/,/,' Enter the number of the type of printout? ',I1").format({2}),
            "\n\n Enter the number of the type of printout? 2\n");
  EXPECT_EQ(Layout("A,2/,A").format({"r", "s"}), "r\n\ns\n");
  EXPECT_EQ(Layout("'a',3X,/,'b'").format({}), "a\nb\n");
  // '/' before a field without an item still ends its record.
  EXPECT_EQ(Layout("I2,/,I3").format({5}), " 5\n\n");

  Layout cursor("A1,'[',I2.2,';',I2.2,'H'");
  Layout send("1X,A8,$");
  std::string sequence = cursor.format({'\x1b', 22, 1});
  EXPECT_EQ(sequence, "\x1b[22;01H\n");
  std::string out;
  send.write(out, {std::string_view(sequence).substr(0, 8)});
  EXPECT_EQ(out, " \x1b[22;01H");
  // The next record goes on the same line, its columns counted from there.
  Layout("T3,A1,T1,A1").write(out, {'b', 'a'});
  EXPECT_EQ(out, " \x1b[22;01Ha b\n");
}

TEST(LayoutWrite, TabMovesBothWays) {
  EXPECT_EQ(Layout("A5,T2,A2").format({"abcde", "XY"}), "aXYde\n");
  EXPECT_EQ(Layout("A,T2,5X,A").format({"abc", "d"}), "abc   d\n");
  // Columns count from the start of the record even when `out` holds text.
  std::string out = "previous\n";
  Layout("T4,A1,T1,A1").write(out, {'x', 'y'});
  EXPECT_EQ(out, "previous\ny  x\n");
}

TEST(LayoutWrite, ReportLayouts) {
  EXPECT_EQ(Layout("14X,2(3('-'),1X),29('-'),' -----',T57,14X,5('-'),T68,14X,3(8('-'),2X)")
                .format({}),
            "              --- --- ----------------------------- -----             -----      "
            "--------  --------  --------\n");
  EXPECT_EQ(
      Layout("/,/,/,14X,8X,'Repetition of Action Policy',T71,14X,'Deterioration Rates',/,38X,"
             "14X,'Cost',/,14X,'Act #Of',31X,'Per 2',/,14X,' #  Rep     Description of Policy"
             "     Ln-Mi',T57,14X,'Score  ',T68,14X,A8,2X,2(A8,2X)")
          .format({"Asphalt ", "Concrete", "Composit"}),
      "\n\n\n                      Repetition of Action Policy                                   "
      "Deterioration Rates\n                                                    Cost\n"
      "              Act #Of                               Per 2\n"
      "               #  Rep     Description of Policy     Ln-Mi             Score      "
      "Asphalt   Concrete  Composit\n");
  EXPECT_EQ(Layout("14X,2(I2,2X),A29,F6.3,T58,14X,I2,4X,5F10.2")
                .format({12, 3, Text<29>("Thin overlay").view(), 1.5f, 10, 0.25f, 0.5f}),
            "              12   3  Thin overlay                  1.500              10          "
            "0.25      0.50\n");
  EXPECT_EQ(Layout("T58,14X,I2,4X,5F10.2").format({9, 0.25f, 0.5f, 0.75f}),
            std::string(71, ' ') + " 9          0.25      0.50      0.75\n");
  EXPECT_EQ(
      Layout("20X,26X,'  Cost   Avg.  ','Mi`s  $/Mi',11X,'Cost By Action',/,20X,'Year  % Poor  "
             "% Fair ','Mean   (m$)   $/Yr  Rep.  Rep.  ',11(1X,I4,1X)")
          .format({1, 2, 3, 4, 5}),
      "                                                Cost   Avg.  Mi`s  $/Mi           Cost "
      "By Action\n                    Year  % Poor  % Fair Mean   (m$)   $/Yr  Rep.  Rep.      "
      "1     2     3     4     5\n");
  EXPECT_EQ(Layout("20X,I4,I6,I8,F7.1,2F7.1,1X,I5,2X,F4.3,3X,F5.1,10F6.1")
                .format({1997, 12, 30, 6.5f, 25.0f, 24.5f, 120, 0.208f, 1.5f, 2.0f, 3.0f, 4.0f,
                         5.0f}),
            "                    1997    12      30    6.5   25.0   24.5   120  .208     1.5   2.0"
            "   3.0   4.0   5.0\n");
  EXPECT_EQ(Layout("20X,I4,I6,I8,4X,F3.1").format({1996, 12, 30, 10.0f}),
            "                    1996    12      30    ***\n");
  EXPECT_EQ(Layout("/,/,'Percent of Miles by Score from 1 to 10:',10(F5.1,','),' Average = ',"
                   "F4.2,/")
                .format({1.f, 2.f, 3.f, 4.f, 5.f, 6.f, 7.f, 8.f, 9.f, 55.f, 7.25f}),
            "\n\nPercent of Miles by Score from 1 to 10:  1.0,  2.0,  3.0,  4.0,  5.0,  6.0,  7.0,"
            "  8.0,  9.0, 55.0, Average = 7.25\n\n");
}

TEST(LayoutWrite, LongListReusesTheLastGroup) {
  EXPECT_EQ(Layout("I2,2X,(I3,1X,I2)").format({1, 2, 3, 4, 5, 6, 7}),
            " 1    2  3\n  4  5\n  6  7\n");
  EXPECT_EQ(Layout("(I2,2(I3,(I1)))").format({1, 2, 3, 4, 5, 6, 7, 8, 9}),
            " 1  23  45\n  67  89\n");
  EXPECT_EQ(Layout("I1").format({1, 2, 3}), "1\n2\n3\n");
  EXPECT_THROW(Layout("I2,('x')").format({1, 2}), std::invalid_argument);
  EXPECT_THROW(Layout("'x'").format({1}), std::invalid_argument);
}

// Reals are rounded from their exact binary value, ties to even, at every
// magnitude and number of decimals; the reference is to_chars on the same
// value (which the writer falls back on for the rare cases its own rounding
// does not cover).
TEST(LayoutWrite, RealsAreTheExactValueRounded) {
  std::mt19937 rng(11);
  std::uniform_int_distribution<uint32_t> bits;
  std::vector<float> values = {0.5f, 1.5f, 2.5f, 0.125f, 0.375f, -0.125f, 1e-9f, 99999.9f,
                               1e15f, 3e38f, -0.0f, 0.0f, 0.045f, 5.4951f};
  for (int k = 0; k < 20000; ++k) {
    float v = std::bit_cast<float>(bits(rng));
    if (std::isfinite(v)) values.push_back(v);
    values.push_back(static_cast<float>(bits(rng) % 1000000) / 1024.0f);  // many ties
  }
  for (uint32_t d = 0; d <= 12; ++d) {
    const Layout f("F60." + std::to_string(d));
    for (float v : values) {
      char buf[128];
      char* end = std::to_chars(buf, buf + sizeof buf, std::fabs(static_cast<double>(v)),
                                std::chars_format::fixed, static_cast<int>(d))
                      .ptr;
      std::string expected = std::string(std::signbit(v) ? "-" : "") + std::string(buf, end) +
                             (d == 0 ? "." : "");
      std::string written = f.format({v});
      ASSERT_EQ(written, std::string(60 - expected.size(), ' ') + expected + "\n")
          << "F60." << d << " of " << v;
    }
  }
}

TEST(LayoutWrite, ItemMustMatchItsField) {
  EXPECT_THROW(Layout("I3").format({1.0f}), std::invalid_argument);
  EXPECT_THROW(Layout("F5.1").format({1}), std::invalid_argument);
  EXPECT_THROW(Layout("A1").format({1}), std::invalid_argument);
  EXPECT_EQ(Layout("A1,A").format({'Y', 'n'}), "Yn\n");
  Text<8> name("Asphalt");
  EXPECT_EQ(Layout("'(',A,')'").format({name}), "(Asphalt )\n");
}

PAVECAST_GCC_BUG_105651_BEGIN
// A real read is the decimal rounded once, correctly, to a float: strtof of
// the same digits is the reference, for short fields (which the reader
// rounds itself) and long ones, with and without a point (d implied
// decimals then) and with signs.
TEST(LayoutRead, RealsAreTheDecimalCorrectlyRounded) {
  std::mt19937 rng(13);
  for (int k = 0; k < 60000; ++k) {
    const int digits = 1 + static_cast<int>(rng() % 11);
    std::string number;
    for (int j = 0; j < digits; ++j) number += static_cast<char>('0' + rng() % 10);
    const uint32_t decimals = rng() % 8;
    const int point = static_cast<int>(rng() % (digits + 2)) - 1;  // -1: none
    std::string field = number;
    std::string decimal = number;
    if (point >= 0) {
      field.insert(static_cast<std::size_t>(point), ".");
      decimal = field;
    } else {
      decimal += "e-" + std::to_string(decimals);
    }
    if (rng() % 3 == 0) {
      field = "-" + field;
      decimal = "-" + decimal;
    }
    const Layout f("F14." + std::to_string(decimals));
    float value = 0.0f;
    ASSERT_EQ(f.read(std::string(14 - field.size(), ' ') + field, {value}), ReadStatus::kOk)
        << field;
    const float expected = std::strtof(decimal.c_str(), nullptr);
    ASSERT_EQ(std::bit_cast<uint32_t>(value), std::bit_cast<uint32_t>(expected))
        << "F14." << decimals << " of \"" << field << "\"";
  }
}
PAVECAST_GCC_BUG_105651_END

TEST(LayoutRead, ReadsAFieldTwiceAfterTab) {
  char whole[9];
  char each[9][1];
  char first4[4];
  int32_t n = -1;
  std::vector<Target> targets{std::span<char>(whole)};
  for (auto& c : each) targets.emplace_back(std::span<char>(c));
  targets.emplace_back(std::span<char>(first4));
  ASSERT_EQ(Layout("A9,T1,9A1,T1,A4").read("NET1", targets), ReadStatus::kOk);
  EXPECT_EQ(std::string_view(whole, 9), "NET1     ");
  EXPECT_EQ(each[3][0], '1');
  EXPECT_EQ(each[4][0], ' ');
  EXPECT_EQ(std::string_view(first4, 4), "NET1");

  Text<3> text;
  ASSERT_EQ(Layout("A3,T1,I3").read(" 42", {text, n}), ReadStatus::kOk);
  EXPECT_EQ(text, " 42");
  EXPECT_EQ(n, 42);

  char letter = '?';
  Text<12> reply;
  ASSERT_EQ(Layout("A1,T1,A12").read("yes", {letter, reply}), ReadStatus::kOk);
  EXPECT_EQ(letter, 'y');
  EXPECT_EQ(reply, "yes         ");
}

TEST(LayoutRead, ErrorKeepsEarlierTargetsAndLeavesTheRest) {
  int32_t a = -1, b = -1, c = -1;
  EXPECT_EQ(Layout("3I2").read(" 1xx 3", {a, b, c}), ReadStatus::kError);
  EXPECT_EQ(a, 1);
  EXPECT_EQ(b, -1);
  EXPECT_EQ(c, -1);
  float x = 7.0f;
  EXPECT_EQ(Layout("F5.0").read("1e39", {x}), ReadStatus::kError);
  EXPECT_EQ(x, 7.0f);
}

TEST(LayoutRead, ScoresFileLines) {
  Layout names_line("I2,F7.2,I4,I2,1X,A23,1X,A38");
  int32_t score = 0, mcd = 0, jurisdiction = 0;
  float miles = 0.0f;
  Text<23> highway;
  Text<38> description;
  std::string line = std::string(" 7   12.5  12 3 ") + Text<23>("I-94 Edens").str() + " From A to B";
  ASSERT_EQ(names_line.read(line,
                            {score, miles, mcd, jurisdiction, highway, description}),
            ReadStatus::kOk);
  EXPECT_EQ(score, 7);
  EXPECT_EQ(miles, 12.5f);
  EXPECT_EQ(mcd, 12);
  EXPECT_EQ(jurisdiction, 3);
  EXPECT_EQ(highway.trimmed(), "I-94 Edens");
  EXPECT_EQ(description.trimmed(), "From A to B");
  // The final-conditions form: score, two blanks, F5.1 in columns 5-9.
  ASSERT_EQ(Layout("I2,F7.2").read(" 3   4.5", {score, miles}), ReadStatus::kOk);
  EXPECT_EQ(score, 3);
  EXPECT_EQ(miles, 4.5f);
  // A record is never trimmed: an empty line is all blanks.
  ASSERT_EQ(names_line.read("", {score, miles, mcd, jurisdiction, highway, description}),
            ReadStatus::kOk);
  EXPECT_EQ(score, 0);
  EXPECT_TRUE(highway.blank());
}

TEST(LayoutRead, RecordsFromASource) {
  Layout header("I4,1X,A5,/,A21");
  int32_t year = 0;
  Text<5> tag;
  Text<21> network;
  Lines file({"1996 NAMES", "Example network", "Asphalt"});
  ASSERT_EQ(header.read(file, {year, tag, network}), ReadStatus::kOk);
  EXPECT_EQ(year, 1996);
  EXPECT_EQ(tag, "NAMES");
  EXPECT_EQ(network.trimmed(), "Example network");
  EXPECT_EQ(file.used(), 2u);

  Text<8> group;
  ASSERT_EQ(Layout("A8").read(file, {group}), ReadStatus::kOk);
  EXPECT_EQ(group, "Asphalt ");
  EXPECT_EQ(Layout("A8").read(file, {group}), ReadStatus::kEndOfFile);

  // The source ends inside the layout.
  Lines short_file({"1997 x"});
  year = 0;
  EXPECT_EQ(header.read(short_file, {year, tag, network}), ReadStatus::kEndOfFile);
  EXPECT_EQ(year, 1997);

  // A '/' before the first field without a target still takes its record.
  Lines two({"12", "34", "56"});
  int32_t n = 0;
  EXPECT_EQ(Layout("I2,/,I2").read(two, {n}), ReadStatus::kOk);
  EXPECT_EQ(two.used(), 2u);

  // Reversion reads the next record.
  Lines rows({" 1 2", " 3 4"});
  int32_t v[3] = {0, 0, 0};
  EXPECT_EQ(Layout("2I2").read(rows, {v[0], v[1], v[2]}), ReadStatus::kOk);
  EXPECT_EQ(v[2], 3);

  // Without a source, records after the first read as empty.
  int32_t a = -1, b = -1;
  EXPECT_EQ(header.read("2001", {a}), ReadStatus::kOk);
  EXPECT_EQ(Layout("I2,/,I2").read("12", {a, b}), ReadStatus::kOk);
  EXPECT_EQ(a, 12);
  EXPECT_EQ(b, 0);
}

TEST(LayoutRead, LiteralsSkipTheirColumnsAndTargetsMustMatch) {
  int32_t n = 0;
  EXPECT_EQ(Layout("'x=',I3").read("x= 42", {n}), ReadStatus::kOk);
  EXPECT_EQ(n, 42);
  float x = 0.0f;
  EXPECT_THROW((void)Layout("I3").read("1", {x}), std::invalid_argument);
  EXPECT_THROW((void)Layout("A3").read("1", {n}), std::invalid_argument);
}

}  // namespace
}  // namespace pavecast::layout
