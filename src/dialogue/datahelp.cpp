#include "dialogue/datahelp.h"

#include <array>

#include "fatal/fatal.h"
#include "layout/text.h"

namespace pavecast {

void datahelp(Console& console, const FilePath& scores_file) {
  static const layout::Layout kHeader("I4,1X,A5");
  static const layout::Layout kName("A21");
  static const layout::Layout kGroupTitle("A8");
  static const layout::Layout kSegment("I2,2X,F5.1");
  static const layout::Layout kHeading(
      "/,/,29X,' Surface     Miles of ',/,29X,' Score       Pavement',/,"
      "29X,' -----       --------',/");
  static const layout::Layout kRow("29X,2X,I2,10X,F6.0");
  static const layout::Layout kTotal("/,29X,'Total',10X,F6.0");

  std::array<float, 11> miles{};

  auto file = InputFile::open_or_fatal(scores_file, IfMissing::kFail);
  int32_t year = 0;
  Text<5> tag;
  Text<21> name;
  read_or_fatal(kHeader, *file, {year, tag});
  read_or_fatal(kName, *file, {name});
  for (int group = 1; group <= 4; ++group) {
    Text<8> title;
    if (kGroupTitle.read(*file, {title}) != layout::ReadStatus::kOk) break;
    for (;;) {
      int32_t score = 0;
      float length = 0.0f;
      read_or_fatal(kSegment, *file, {score, length});
      if (length < 0.001f) break;  // an empty line closes the group
      if (score >= 1 && score <= 10)
        miles[score] = static_cast<float>(double(miles[score]) + length);
    }
  }
  file.reset();

  console.write(kHeading, {});
  float total = 0.0f;
  for (int32_t s = 1; s <= 10; ++s) {
    console.write(kRow, {s, miles[s]});
    total = static_cast<float>(double(total) + miles[s]);
  }
  console.write(kTotal, {total});
  console.cursor(23, 1);
  console.line(" Hit <Enter> to continue.  ");
  console.cursor(23, 44);
  console.reply();
}

}  // namespace pavecast
