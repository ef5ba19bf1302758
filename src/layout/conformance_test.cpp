// Runs the recorded gfortran vectors (write, read, and the program's own read
// rules) through Layout. The vector files are read at test time from
// $CONFORMANCE_DIR, or from tests/data/conformance in the source tree.
#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "layout/layout.h"
#include "support/gcc_bugs.h"

namespace pavecast::layout {
namespace {

std::string vector_path(const std::string& name) {
  const char* dir = std::getenv("CONFORMANCE_DIR");
  std::string base =
      dir != nullptr && *dir != '\0' ? dir : PAVECAST_SOURCE_DIR "/tests/data/conformance";
  return base + "/" + name;
}

struct VectorLine {
  int line_number;
  std::vector<std::string> fields;
};

// Every non-comment line, split on '|' (no field contains one).
std::vector<VectorLine> load(const std::string& name) {
  std::ifstream in(vector_path(name));
  EXPECT_TRUE(in.good()) << "cannot open " << vector_path(name);
  std::vector<VectorLine> lines;
  std::string line;
  for (int number = 1; std::getline(in, line); ++number) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line[0] == '#') continue;
    VectorLine v{number, {}};
    size_t start = 0;
    for (;;) {
      size_t bar = line.find('|', start);
      v.fields.push_back(line.substr(start, bar - start));
      if (bar == std::string::npos) break;
      start = bar + 1;
    }
    lines.push_back(std::move(v));
  }
  return lines;
}

// The text between the first '[' and the last ']'.
std::string bracketed(const std::string& field) {
  size_t open = field.find('[');
  size_t close = field.rfind(']');
  if (open == std::string::npos || close == std::string::npos || close < open) {
    ADD_FAILURE() << "bad text field: " << field;
    return "";
  }
  return field.substr(open + 1, close - open - 1);
}

float float_from_hex(const std::string& hex) {
  return std::bit_cast<float>(static_cast<uint32_t>(std::stoul(hex, nullptr, 16)));
}

// One value field ("I:5", "F:3F800000:1", "A:[x]") as the text it is compared by.
std::string expected_value(const std::string& field) {
  if (field.rfind("F:", 0) == 0) return "F:" + field.substr(2, 8);
  return field;
}

TEST(Conformance, WriteVectors) {
  std::vector<VectorLine> lines = load("write_vectors.txt");
  ASSERT_FALSE(lines.empty());
  int failures = 0;
  for (const VectorLine& v : lines) {
    // W|id|category|format|item...|[record]
    ASSERT_GE(v.fields.size(), 5u) << "line " << v.line_number;
    const std::string& id = v.fields[1];
    std::vector<std::string> texts;  // keeps the A items alive
    std::vector<Item> items;
    texts.reserve(v.fields.size());
    for (size_t k = 4; k + 1 < v.fields.size(); ++k) {
      const std::string& f = v.fields[k];
      if (f.rfind("I:", 0) == 0) {
        items.emplace_back(static_cast<int32_t>(std::stol(f.substr(2))));
      } else if (f.rfind("F:", 0) == 0) {
        items.emplace_back(float_from_hex(f.substr(2, 8)));
      } else {
        texts.push_back(bracketed(f));
        items.emplace_back(std::string_view(texts.back()));
      }
    }
    // Each record ends with a line end, which the vector leaves out.
    std::string expected = bracketed(v.fields.back());
    std::string got;
    try {
      got = Layout(v.fields[3]).format(items);
      if (!got.empty() && got.back() == '\n') got.pop_back();
    } catch (const std::exception& e) {
      got = std::string("exception: ") + e.what();
    }
    if (got != expected) {
      ++failures;
      ADD_FAILURE() << id << " " << v.fields[3] << ": expected [" << expected << "] got [" << got
                    << "]";
    }
  }
  std::cout << lines.size() << " write vectors, " << failures << " failed\n";
}

PAVECAST_GCC_BUG_105651_BEGIN
void run_read_vectors(const std::string& file) {
  std::vector<VectorLine> lines = load(file);
  ASSERT_FALSE(lines.empty());
  int failures = 0;
  for (const VectorLine& v : lines) {
    // R|id|category|format|[record]|specs|status|value...
    ASSERT_GE(v.fields.size(), 7u) << file << " line " << v.line_number;
    const std::string& id = v.fields[1];
    std::string record = bracketed(v.fields[4]);

    std::vector<std::string> specs;
    std::stringstream spec_list(v.fields[5]);
    for (std::string s; std::getline(spec_list, s, ',');) specs.push_back(s);
    std::vector<int32_t> ints(specs.size(), -12345);
    std::vector<float> reals(specs.size(), -123.0f);
    std::vector<std::unique_ptr<char[]>> texts(specs.size());
    std::vector<Target> targets;
    for (size_t k = 0; k < specs.size(); ++k) {
      if (specs[k] == "I") {
        targets.emplace_back(ints[k]);
      } else if (specs[k] == "F") {
        targets.emplace_back(reals[k]);
      } else {
        size_t len = std::stoul(specs[k].substr(1));
        texts[k] = std::make_unique<char[]>(len + 1);
        std::fill_n(texts[k].get(), len, '?');
        targets.emplace_back(std::span<char>(texts[k].get(), len));
      }
    }

    std::string got;
    try {
      ReadStatus status = Layout(v.fields[3]).read(record, targets);
      got = status == ReadStatus::kOk ? "OK" : status == ReadStatus::kError ? "ERROR" : "EOF";
      if (status == ReadStatus::kOk) {
        for (size_t k = 0; k < specs.size(); ++k) {
          if (specs[k] == "I") {
            got += "|I:" + std::to_string(ints[k]);
          } else if (specs[k] == "F") {
            char hex[9];
            std::snprintf(hex, sizeof hex, "%08X", std::bit_cast<uint32_t>(reals[k]));
            got += std::string("|F:") + hex;
          } else {
            got += "|A:[" + std::string(targets[k].text_target().data(),
                                        targets[k].text_target().size()) + "]";
          }
        }
      }
    } catch (const std::exception& e) {
      got = std::string("exception: ") + e.what();
    }
    std::string expected = v.fields[6];
    for (size_t k = 7; k < v.fields.size(); ++k) expected += "|" + expected_value(v.fields[k]);
    if (got != expected) {
      ++failures;
      ADD_FAILURE() << id << " " << v.fields[3] << " [" << record << "]: expected " << expected
                    << " got " << got;
    }
  }
  std::cout << lines.size() << " vectors in " << file << ", " << failures << " failed\n";
}
PAVECAST_GCC_BUG_105651_END

TEST(Conformance, ReadVectors) { run_read_vectors("read_vectors.txt"); }

TEST(Conformance, ProgramReadVectors) { run_read_vectors("program_read_vectors.txt"); }

}  // namespace
}  // namespace pavecast::layout
