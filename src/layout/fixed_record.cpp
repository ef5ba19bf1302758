#include "layout/fixed_record.h"

#include <algorithm>
#include <stdexcept>

#include "layout/program.h"

namespace pavecast::layout {

FixedRecord::FixedRecord(std::string_view notation) : notation_(notation) {
  Compiled program;
  parse_notation(notation, program);
  std::size_t pos = 0;
  auto place = [&](std::size_t width) {
    if (image_.size() < pos + width) image_.resize(pos + width, ' ');
    pos += width;
    return pos - width;
  };
  for (const Op& op : program.ops) {
    switch (op.code) {
      case OpCode::kInt:
        fields_.push_back({Kind::kInt, static_cast<uint32_t>(place(op.width)), op.width, op.decimals});
        break;
      case OpCode::kReal:
        fields_.push_back({Kind::kReal, static_cast<uint32_t>(place(op.width)), op.width, op.decimals});
        break;
      case OpCode::kText:
        fields_.push_back({Kind::kText, static_cast<uint32_t>(place(op.width)), op.width, 0});
        break;
      case OpCode::kSkip:
        pos += op.width;  // nothing is written unless a field or literal follows
        break;
      case OpCode::kTab:
        pos = op.width - 1;
        break;
      case OpCode::kLiteral: {
        const std::string_view text = program.literal(op);
        image_.replace(place(text.size()), text.size(), text);
        break;
      }
      case OpCode::kTextAll:
      case OpCode::kSlash:
      case OpCode::kDollar:
        throw std::invalid_argument("layout \"" + notation_ +
                                    "\": a field without a fixed column or a second record");
    }
  }
  image_.push_back('\n');
}

void FixedRecord::wrong_item(std::size_t k) const {
  throw std::invalid_argument("layout \"" + notation_ + "\": item " + std::to_string(k + 1) +
                              " does not match its field");
}

}  // namespace pavecast::layout
