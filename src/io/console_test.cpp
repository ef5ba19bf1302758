#include "io/console.h"

#include <gtest/gtest.h>

#include "fatal/fatal.h"
#include "support/test_support.h"

namespace pavecast {
namespace {

using testing::ScriptedConsole;

char answer(std::string replies, char current, char keep = ' ') {
  ScriptedConsole c(std::move(replies));
  return c.console().readinput(current, keep);
}

TEST(ReadInput, TakesTheFirstLetterAndKeepsTheDefaultOnEnter) {
  EXPECT_EQ(answer("yes\n", 'N'), 'Y');
  EXPECT_EQ(answer("No\n", 'Y'), 'N');
  EXPECT_EQ(answer("\n", 'N'), 'N');
  EXPECT_EQ(answer("\n", 'Y'), 'Y');
  // A blank first column is the keep character, whatever follows it.
  EXPECT_EQ(answer(" n\n", 'Y'), 'Y');
}

TEST(ReadInput, IgnoresOtherLettersAndReadsTheNextLine) {
  ScriptedConsole c("x\nq\ny\nleft over\n");
  EXPECT_EQ(c.console().readinput('N', ' '), 'Y');
  EXPECT_EQ(c.console().reply(), "left over");
  EXPECT_EQ(c.output(), "");  // no message, no new prompt
}

TEST(ReadInput, ADefaultOtherThanYOrNIsAcceptedAgain) {
  EXPECT_EQ(answer("\n", 'Q'), 'Q');
  EXPECT_EQ(answer("Q\n", 'Q'), 'Q');
  EXPECT_EQ(answer("z\nn\n", 'Q'), 'N');
}

TEST(ReadInput, AnotherKeepCharacterMakesEnterUnacceptable) {
  // With 'x' as the keep character an empty reply is read again.
  EXPECT_EQ(answer("\nx\n", 'N', 'x'), 'N');
  EXPECT_EQ(answer("\n\ny\n", 'N', 'x'), 'Y');
}

TEST(NumericReplies, ReadFixedWidthsFromTheFirstColumn) {
  static const layout::Layout kI2("I2");
  ScriptedConsole c("7\n123\n\n a\n5\n");
  EXPECT_EQ(c.console().read_int(kI2), 7);
  EXPECT_EQ(c.console().read_int(kI2), 12);
  EXPECT_EQ(c.console().read_int(kI2), 0);  // Enter reads as 0
  EXPECT_EQ(c.console().read_int_once(kI2), std::nullopt);
  EXPECT_EQ(c.console().read_int_once(kI2), 5);
}

TEST(NumericReplies, ReReadAfterAnErrorWithoutAMessage) {
  static const layout::Layout kI1("I1");
  ScriptedConsole c("a\n?\n3\n");
  EXPECT_EQ(c.console().read_int(kI1), 3);
  EXPECT_EQ(c.output(), "");
}

TEST(NumericReplies, RealsTakeImpliedDecimalsWithoutAPoint) {
  static const layout::Layout kF62("F6.2");
  static const layout::Layout kF60("F6.0");
  ScriptedConsole c("5\n1250\n5.\n5\n12.5\n");
  EXPECT_EQ(c.console().read_real(kF62), 0.05f);
  EXPECT_EQ(c.console().read_real(kF62), 12.5f);
  EXPECT_EQ(c.console().read_real(kF62), 5.0f);
  EXPECT_EQ(c.console().read_real(kF60), 5.0f);
  EXPECT_EQ(c.console().read_real(kF60), 12.5f);
}

TEST(Replies, LoseTheirLineEndAndOneCarriageReturn) {
  ScriptedConsole c("abc\r\nx\r\r\nlast");
  EXPECT_EQ(c.console().reply(), "abc");
  EXPECT_EQ(c.console().reply(), "x\r");
  EXPECT_EQ(c.console().reply(), "last");
}

TEST(Replies, KeepOnlyTheirFirst1024Characters) {
  ScriptedConsole c(std::string(5000, 'a') + "\r\nnext\n");
  EXPECT_EQ(c.console().reply(), std::string(Console::kMaxReplyLength, 'a'));
  EXPECT_EQ(c.console().reply(), "next");
}

TEST(Replies, TheEndOfConsoleInputStopsTheRun) {
  // The end of the stream, or a reply beginning with Ctrl-Z (a name saved
  // with it would end the saved answers file for every later run).
  for (const char* input : {"z\n", "z\n\x1a\n", "z\n\x1a" "force.txt\nY\n"}) {
    ScriptedConsole c(input);
    try {
      c.console().readinput('N', ' ');
      FAIL() << "expected a fatal stop";
    } catch (const FatalStop& stop) {
      EXPECT_EQ(stop.console_text, " ** Fatal Error: end of console input\n");
      EXPECT_EQ(stop.status, 1);
    }
  }
  ScriptedConsole later("a\x1a\n");
  EXPECT_EQ(later.console().reply(), "a\x1a");
}

TEST(ScreenConventions, AreWrittenExactly) {
  ScriptedConsole c("\n");
  Console& con = c.console();
  con.directions();
  con.progress("Reading Data");
  con.progress(" Continue entering:");
  con.cursor(23, 44);
  con.colour("\x1b[33;40m");
  con.dir2();
  con.pause();
  EXPECT_EQ(c.output(),
            " Enter your response or hit <Enter> for default.          Hit <Ctrl C> to Abort\n"
            " Reading Data\n"
            "  Continue entering:\n"
            " \x1b[23;44H"
            " \x1b[33;40m\n"
            " \x1b[22;01H" +
                std::string(74, '_') +
                "\n"
                " Enter your response or hit <Enter> to eliminate the repair.\n"
                " Press the enter key to continue.\n");
  EXPECT_EQ(
      std::string(" Enter your response or hit <Enter> for default.          Hit <Ctrl C> to Abort")
          .size(),
      79u);
}

}  // namespace
}  // namespace pavecast
