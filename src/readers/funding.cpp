#include "readers/funding.h"

#include <string>

#include "fatal/fatal.h"
#include "layout/layout.h"

namespace pavecast {

void read_funding_file(InputFile& file, int32_t years, int32_t year_slots,
                       PerYear<float>& funding) {
  static const layout::Layout kRecord("2X,F7.3");
  int32_t records_read = 0;
  layout::ReadStatus status = layout::ReadStatus::kOk;
  for (int k = 1; k <= years; ++k) {
    float amount = 0.0f;
    status = kRecord.read(file, {amount});
    if (status != layout::ReadStatus::kOk) break;
    funding[k + 1] = amount;
    records_read = k;
  }
  if (years > 0 && records_read == 0) {
    int line = file.line_number() + (status == layout::ReadStatus::kEndOfFile ? 1 : 0);
    fatal("no funding record can be read, file " + file.shown() + ", line " + std::to_string(line));
  }
  for (int y = records_read + 2; y <= year_slots; ++y) funding[y] = funding[records_read + 1];
}

}  // namespace pavecast
