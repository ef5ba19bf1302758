// The layout reader and writer. The first line of the input is a layout's
// notation, the rest its records. A notation that parses is read with
// targets of the kinds its fields ask for (one pass, then enough for the
// reversion group to come round again) and the values read are written back
// with it; a notation that does not parse is read, as a record, by each
// layout the program's readers use. Integers that are written without
// asterisks must read back to themselves.
#include <array>
#include <cstdint>
#include <deque>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_support.h"
#include "layout/layout.h"
#include "layout/program.h"

namespace {

using pavecast::fuzz::check;
using namespace pavecast::layout;

class Lines : public RecordSource {
 public:
  explicit Lines(std::string_view text) : text_(text) {}
  bool next(std::string_view& record) override {
    if (pos_ >= text_.size()) return false;
    std::size_t end = text_.find('\n', pos_);
    if (end == std::string_view::npos) end = text_.size();
    record = text_.substr(pos_, end - pos_);
    pos_ = end + 1;
    return true;
  }

 private:
  std::string_view text_;
  std::size_t pos_ = 0;
};

// The values behind the targets, with stable addresses.
struct Values {
  std::deque<int32_t> ints;
  std::deque<float> reals;
  std::deque<std::array<char, 64>> texts;
  std::vector<Target> targets;
  std::vector<Item> items;

  void add(OpCode code, uint32_t width) {
    switch (code) {
      case OpCode::kInt:
        targets.emplace_back(ints.emplace_back(0));
        break;
      case OpCode::kReal:
        targets.emplace_back(reals.emplace_back(0.0f));
        break;
      case OpCode::kText:
      case OpCode::kTextAll: {
        auto& t = texts.emplace_back();
        t.fill(' ');
        // A text shorter, as long as or longer than its field.
        std::size_t length = code == OpCode::kText ? (width * 7 + 3) % 64 + 1 : 8;
        targets.emplace_back(std::span<char>(t.data(), length));
        break;
      }
      default:
        break;
    }
  }

  void make_items() {
    items.clear();
    for (const Target& t : targets) {
      switch (t.kind()) {
        case Target::Kind::kInt:
          items.emplace_back(*t.int_target());
          break;
        case Target::Kind::kReal:
          items.emplace_back(*t.real_target());
          break;
        case Target::Kind::kText:
          items.emplace_back(std::string_view(t.text_target().data(), t.text_target().size()));
          break;
      }
    }
  }
};

// The longest record the layout can write: layouts are the program's own
// constants, so one that asks for gigabytes of blanks is not worth writing.
uint64_t widest_record(const Compiled& program) {
  uint64_t total = 0;
  for (const Op& op : program.ops) {
    if (op.code == OpCode::kTab)
      total += op.width;
    else if (op.code == OpCode::kTextAll)
      total += 64;
    else
      total += op.width;
  }
  return total;
}

void fuzz_notation(const Compiled& program, std::string_view records) {
  Layout layout(program.notation);
  Values values;
  for (const Op& op : program.ops) values.add(op.code, op.width);
  // A second round through the reversion group.
  if (program.reversion_has_data)
    for (std::size_t i = program.reversion; i < program.ops.size(); ++i)
      values.add(program.ops[i].code, program.ops[i].width);

  Lines source(records);
  ReadStatus status = layout.read(source, values.targets);
  std::string_view first = records.substr(0, records.find('\n'));
  layout.read(first, values.targets);
  if (status != ReadStatus::kOk || widest_record(program) > (1u << 20)) return;

  values.make_items();
  std::string out;
  layout.write(out, values.items);
}

void fuzz_program_layouts(std::string_view record) {
  static const char* const kLayouts[] = {"I1",
                                         "A1",
                                         "I2",
                                         "I3",
                                         "I4",
                                         "A12",
                                         "F6.2",
                                         "F6.0",
                                         "A9,T1,9A1,T1,A4",
                                         "A3,1X,A45",
                                         "2X,F7.3",
                                         "I1,1X,I2,1X,I1,A1,A29,F4.1,4X,F5.3,1X,I1",
                                         "A8",
                                         "F4.2",
                                         "10(I2,1X)",
                                         "F6.5",
                                         "F5.4",
                                         "I2,I4",
                                         "I4,1X,A5",
                                         "A21",
                                         "I2,F7.2",
                                         "I2,F7.2,I4,I2,1X,A23,1X,A38",
                                         "I2,2X,F5.1",
                                         "A3,T1,I3",
                                         "A1,T1,A12"};
  static const std::vector<Layout>* layouts = [] {
    auto* v = new std::vector<Layout>;
    for (const char* n : kLayouts) v->emplace_back(n);
    return v;
  }();
  for (const Layout& layout : *layouts) {
    Values values;
    Compiled program;
    parse_notation(layout.notation(), program);
    for (const Op& op : program.ops) values.add(op.code, op.width);
    layout.read(record, values.targets);
    Lines source(record);
    layout.read(source, values.targets);
  }

  // Integers round-trip through the widths the files use.
  static const Layout kI4("I4");
  int32_t value = 0;
  if (kI4.read(record, {value}) == ReadStatus::kOk) {
    std::string text = kI4.format({value});
    int32_t again = -1;
    check(kI4.read(std::string_view(text).substr(0, 4), {again}) == ReadStatus::kOk,
          "a written I4 reads back");
    check(again == value, "I4 round trip");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  std::size_t end = text.find('\n');
  std::string_view notation = text.substr(0, end);
  std::string_view records =
      end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
  Compiled program;
  try {
    parse_notation(notation, program);
  } catch (const std::invalid_argument&) {
    fuzz_program_layouts(notation);
    return 0;
  }
  fuzz_notation(program, records);
  return 0;
}
