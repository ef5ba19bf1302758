#include "scenarios/import_table.h"

#include <gtest/gtest.h>

#include <sstream>
#include "support/gcc_bugs.h"

// These tests build strings as "literal" + a temporary.
PAVECAST_GCC_BUG_105651_BEGIN

namespace pavecast {
namespace {

PavementTypes three_types() {
  PavementTypes types;
  types.pavement_type_count = 3;
  types.pavement_type_name[1] = Text<8>("ACC");
  types.pavement_type_name[2] = Text<8>("PCC");
  types.pavement_type_name[3] = Text<8>("COMP");
  return types;
}

ColumnMapping width_mapping() {
  ColumnMapping m;
  m.id = "id";
  m.score = "rating";
  m.miles = "miles";
  m.width_feet = "width";
  m.type_column = "surface";
  m.type_map = {{"Asphalt", "ACC"}, {"Concrete", "PCC"}, {"Brick", "BRICK"}};
  m.jurisdiction = "ward";
  m.mcd = "fc";
  m.highway = "street";
  m.from = "from";
  m.to = "to";
  return m;
}

ImportedTable import_text(const std::string& csv, const ColumnMapping& mapping) {
  std::istringstream in(csv);
  return import_table(in, "t.csv", mapping, three_types());
}

TEST(ImportTable, MapsRowsByTheSpreadsheetRules) {
  // A byte-order mark, CRLF, a quoted comma, doubled quotes, a line break in
  // a quoted field; widths of 30 ft (2.5 lanes, half up: 3), 17 ft (1), 5 ft
  // (at least 1), blank (the default 2) and 0 (the default); unrated rows;
  // text made ASCII and cut; the groups in the rates' order.
  const std::string csv =
      "\xEF\xBB\xBFid,rating,miles,width,surface,ward,fc,street,from,to\r\n"
      "C1,7,0.5,24,Concrete,2,1410,\"Main St, North\",A,B\r\n"
      "A1,8,0.125,30,Asphalt,,,\"The \"\"Loop\"\"\",\"Rue Saint-Andr\xC3\xA9\",Z\r\n"
      "A2,,1,24,Asphalt,1,1,X,A,B\r\n"
      "A3,0,1,24,Asphalt,1,1,X,A,B\r\n"
      "A4,10,1.004,17,Asphalt,99,9999,\"Two\nlines\",,\r\n"
      ",,,,,,,,,\r\n"
      "A5,3,1,,Asphalt,0,0,A very long street name going on,Somewhere quite far away,Elsewhere\r\n"
      "A6,4,1,0,Asphalt,0,0,\xE5\x8C\x97 St,,\r\n"
      "A7,5,1,5,Asphalt,0,0,,,\r\n";
  const ImportedTable t = import_text(csv, width_mapping());
  ASSERT_EQ(t.refusal_count, 0) << t.refusals[0].reason;
  EXPECT_EQ(t.rows_read, 9);
  EXPECT_EQ(t.imported, 6);
  EXPECT_EQ(t.blank_scores, 1);
  EXPECT_EQ(t.zero_scores, 1);
  EXPECT_EQ(t.empty_rows, 1);
  EXPECT_EQ(t.highways_cut, 1);
  EXPECT_EQ(t.descriptions_cut, 1);
  EXPECT_EQ(t.text.plain_letters, 1);
  EXPECT_EQ(t.text.question_marks, 1);
  EXPECT_EQ(t.lines[1],
            " 8   0.38   0 0 The \"Loop\"              From Rue Saint-Andre to Z             \n"
            "10   1.00999999 Two lines                                                     \n"
            " 3   2.00   0 0 A very long street name From Somewhere quite far away to Elsew\n"
            " 4   2.00   0 0 ? St                                                          \n"
            " 5   1.00   0 0                                                               \n");
  EXPECT_EQ(t.lines[2],
            " 7   1.001410 2 Main St, North          From A to B                           \n");
  EXPECT_EQ(t.ids[1], (std::vector<std::string>{"A1", "A4", "A5", "A6", "A7"}));
  EXPECT_EQ(t.hundredths[1][10], 100);
  EXPECT_EQ(t.hundredths[2][7], 100);
}

TEST(ImportTable, LaneMilesColumnAndRounding) {
  ColumnMapping m;
  m.id = "id";
  m.score = "s";
  m.lane_miles = "lm";
  m.type = "PCC";
  m.round = true;
  // 6.5 rounds half up to 7; 0.005 lane-miles to 0.01; 9999.994 to 9999.99.
  const ImportedTable t = import_text("id,s,lm\n1,6.5,0.005\n2,10.49,9999.994\n", m);
  ASSERT_EQ(t.refusal_count, 0);
  const std::string blanks(63, ' ');
  EXPECT_EQ(t.lines[2],
            std::string(" 7   0.01   0 0") + blanks + "\n109999.99   0 0" + blanks + "\n");
}

TEST(ImportTable, RefusesEachBadValueWithItsRowColumnAndValue) {
  const std::string csv =
      "id,rating,miles,width,surface,ward,fc,street,from,to\n"
      "R2,7.5,1,24,Asphalt,1,1,,,\n"       // not a whole score
      "R3,7,0.001,24,Asphalt,1,1,,,\n"     // 0.00 lane-miles
      "R4,7,900,200,Asphalt,1,1,,,\n"      // over 9999.99 lane-miles
      "R5,7,1,24,Gravel,1,1,,,\n"          // no mapping
      "R6,7,1,24,Brick,1,1,,,\n"           // a type not in the rates
      "R7,7,1,24,Asphalt,100,1,,,\n"       // jurisdiction over 99
      "R8,7,1,24,Asphalt,1,10000,,,\n"     // MCD over 9999
      "R2,7,1,24,Asphalt,1,1,,,\n"         // the id of row 2 again
      ",7,1,24,Asphalt,1,1,,,\n"           // no id
      "R11,7,1,24,Asphalt,1,1,,,,extra\n"  // a shifted row
      "R12,7,abc,24,Asphalt,1,1,,,\n";     // not a number
  const ImportedTable t = import_text(csv, width_mapping());
  ASSERT_EQ(t.refusal_count, 11);
  ASSERT_EQ(t.refusals.size(), kListedRefusals);
  const std::vector<std::tuple<int64_t, std::string, std::string>> expected = {
      {2, "rating", "7.5"},    {3, "miles", "0.001"}, {4, "miles", "900"}, {5, "surface", "Gravel"},
      {6, "surface", "Brick"}, {7, "ward", "100"},    {8, "fc", "10000"},  {9, "id", "R2"},
      {10, "id", ""},          {11, "", ""}};
  for (std::size_t k = 0; k < expected.size(); ++k) {
    EXPECT_EQ(t.refusals[k].row, std::get<0>(expected[k])) << k;
    EXPECT_EQ(t.refusals[k].column, std::get<1>(expected[k])) << k;
    EXPECT_EQ(t.refusals[k].value, std::get<2>(expected[k])) << k;
  }
  EXPECT_EQ(t.refusals[7].reason, "the id of row 2 too");

  // With --round, a result outside 1..10 is refused too.
  ColumnMapping rounding = width_mapping();
  rounding.round = true;
  const ImportedTable r = import_text(
      "id,rating,miles,width,surface,ward,fc,street,from,to\nA,10.5,1,24,Asphalt\n", rounding);
  ASSERT_EQ(r.refusal_count, 1);
  EXPECT_EQ(r.refusals[0].reason, "rounds to 11, outside 1 to 10");

  // An id holding a line break would break the rows of the ids file.
  const ImportedTable b = import_text(
      "id,rating,miles,width,surface,ward,fc,street,from,to\n\"a\nb\",7,1,24,Asphalt\n",
      width_mapping());
  ASSERT_EQ(b.refusal_count, 1);
  EXPECT_EQ(b.refusals[0].reason, "holds a line break or another control character");
}

TEST(ImportTable, MalformedTablesAndMissingColumnsStopWithTheRow) {
  auto message = [](const std::string& csv) {
    try {
      import_text(csv, width_mapping());
    } catch (const TableError& e) {
      return e.message;
    }
    return std::string("no error");
  };
  const std::string header = "id,rating,miles,width,surface,ward,fc,street,from,to\n";
  EXPECT_EQ(message(header + "A,7,1,24,\"Asphalt\n"),
            "the table t.csv, row 2, is not CSV as spreadsheets write it: a quote never closed");
  EXPECT_NE(message(header + "A,7,1,24,Asphalt\nB,7,1,2\"4,Asphalt\n")
                .find("the table t.csv, row 3, is not CSV as spreadsheets write it: a quote out "
                      "of place"),
            std::string::npos);
  EXPECT_EQ(message("id,score,miles\n"),
            "the column \"rating\" is not in the header of t.csv (row 1: \"id\", \"score\", "
            "\"miles\")");
  EXPECT_NE(message("id,rating,rating\n").find("named twice"), std::string::npos);
}

TEST(PlainAscii, LettersTheirPlainFormsOthersQuestionMarks) {
  TextCounts counts;
  EXPECT_EQ(plain_ascii("Caf\xC3\xA9 \xC3\x91"
                        "and\xC3\xBA \xC5\x92uvre Stra\xC3\x9F"
                        "e",
                        counts),
            "Cafe Nandu OEuvre Strasse");
  EXPECT_EQ(counts.plain_letters, 5);
  // A combining acute after e; a CJK character; a stray continuation byte;
  // a curly apostrophe; a tab.
  EXPECT_EQ(plain_ascii("e\xCC\x81 \xE5\x8C\x97 \x80 O\xE2\x80\x99"
                        "B\t",
                        counts),
            "e ? ? O'B ");
  EXPECT_EQ(counts.plain_letters, 7);
  EXPECT_EQ(counts.question_marks, 2);
}

}  // namespace
}  // namespace pavecast

PAVECAST_GCC_BUG_105651_END
