#include "scenarios/markup.h"

#include <gtest/gtest.h>

#include "scenarios/scenario_output.h"
#include "scenarios/tool_text.h"

namespace pavecast {
namespace {

// Text and attribute values are escaped alike; control characters become
// U+FFFD (XML 1.0 forbids C0 ones); a byte outside a well-formed sequence
// becomes U+FFFD too, so the output is valid UTF-8 whatever it is given.
TEST(Markup, EscapesReplacesControlsAndKeepsUtf8Valid) {
  Markup m;
  m.open("g", {{"aria-label", "a<b & \"c\"\x01"}})
      .element("title", "R&D <roads> \"x\"\x07\x7f\xc2\x85")
      .empty("br")
      .text("caf\xc3\xa9 \xc3")  // a whole character, then one cut short
      .character(0x2192)
      .close()
      .line_end();
  EXPECT_EQ(m.str(),
            "<g aria-label=\"a&lt;b &amp; &quot;c&quot;\xef\xbf\xbd\">"
            "<title>R&amp;D &lt;roads&gt; &quot;x&quot;\xef\xbf\xbd\xef\xbf\xbd\xef\xbf\xbd</title>"
            "<br/>caf\xc3\xa9 \xef\xbf\xbd&#8594;</g>\n");
  EXPECT_EQ(m.depth(), 0);
  EXPECT_EQ(markup_escaped("tab\tand\nline"), "tab\tand\nline");
  EXPECT_THROW(Markup().close(), std::logic_error);
}

TEST(ToolText, Latin1BytesBecomeWholeCharacters) {
  // A 23-byte highway field cut after the first byte of a UTF-8 "é" is
  // still read as Latin-1: two whole characters.
  EXPECT_EQ(from_latin1("Caf\xc3"), "Caf\xc3\x83");
  EXPECT_EQ(from_latin1("\xe9\xff"), "\xc3\xa9\xc3\xbf");
  EXPECT_EQ(from_latin1("plain"), "plain");
}

TEST(ToolText, MalformedUtf8IsReplacedByteByByte) {
  const std::string r = "\xef\xbf\xbd";
  EXPECT_EQ(valid_utf8("ok \xe2\x82\xac \xf0\x9f\x9a\x97"), "ok \xe2\x82\xac \xf0\x9f\x9a\x97");
  EXPECT_EQ(valid_utf8("\xc0\xaf"), r + r);                   // overlong "/"
  EXPECT_EQ(valid_utf8("\xe0\x80\xaf"), r + r + r);           // overlong, three bytes
  EXPECT_EQ(valid_utf8("\xed\xa0\x80"), r + r + r);           // a surrogate
  EXPECT_EQ(valid_utf8("\xf4\x90\x80\x80"), r + r + r + r);   // above U+10FFFF
  EXPECT_EQ(valid_utf8("\xe2\x82"), r + r);                   // cut at the end
  EXPECT_EQ(valid_utf8("\x80x"), r + "x");                    // a stray continuation
}

// A text cell a spreadsheet would run as a formula (or strip) shows as text;
// a cell that only needs quoting is quoted; nothing else changes.
TEST(CsvCells, FormulasAreWrittenAsText) {
  EXPECT_EQ(csv_text_field("=HYPERLINK(\"http://x\",\"y\")"),
            "\"'=HYPERLINK(\"\"http://x\"\",\"\"y\"\")\"");
  for (const char* lead : {"+1", "-1", "@SUM(A1)", "\tx", "\rx"})
    EXPECT_EQ(csv_text_field(lead).substr(0, 2), lead[0] == '\r' ? "\"'" : std::string("'") + lead[0])
        << lead;
  EXPECT_EQ(csv_text_field("13 Mile Rd"), "13 Mile Rd");
  EXPECT_EQ(csv_text_field("a, b"), "\"a, b\"");
  EXPECT_EQ(csv_field("-12"), "-12");  // a value that joins back is left as it is
  EXPECT_EQ(csv_text_field("x\xc3"), "x\xef\xbf\xbd");
}

}  // namespace
}  // namespace pavecast
