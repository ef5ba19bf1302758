#include "scenarios/import_table.h"

#include <algorithm>
#include <cstdlib>
#include <istream>
#include <optional>
#include <span>
#include <unordered_map>

#include "layout/text.h"

namespace pavecast {

namespace {

// --- plain ASCII ------------------------------------------------------------

// U+00C0..U+00FF.
constexpr std::string_view kLatin1[64] = {
    "A", "A", "A", "A", "A", "A", "AE", "C", "E", "E", "E", "E", "I", "I", "I",  "I",
    "D", "N", "O", "O", "O", "O", "O",  "x", "O", "U", "U", "U", "U", "Y", "TH", "ss",
    "a", "a", "a", "a", "a", "a", "ae", "c", "e", "e", "e", "e", "i", "i", "i",  "i",
    "d", "n", "o", "o", "o", "o", "o",  "",  "o", "u", "u", "u", "u", "y", "th", "y"};

// U+0100..U+017F, one letter each; '#' is IJ/ij and '%' OE/oe.
constexpr std::string_view kLatinExtendedA =
    "AaAaAaCcCcCcCcDdDdEeEeEeEeEeGgGgGgGgHhHhIiIiIiIiIi##JjKkkLlLlLlLlLlNnNnNnnNnOoOoOo%%"
    "RrRrRrSsSsSsSsTtTtTtUuUuUuUuUuUuWwYyYZzZzZzs";
static_assert(kLatinExtendedA.size() == 128);

// The ASCII form of code point `c`, or "" when it has none.
std::string_view plain_form(char32_t c) {
  if (c >= 0xC0 && c <= 0xFF) return kLatin1[c - 0xC0];
  if (c >= 0x100 && c <= 0x17F) {
    const std::size_t k = c - 0x100;
    const char letter = kLatinExtendedA[k];
    if (letter == '#') return k % 2 == 0 ? "IJ" : "ij";
    if (letter == '%') return k % 2 == 0 ? "OE" : "oe";
    return kLatinExtendedA.substr(k, 1);
  }
  switch (c) {
    case 0xA0:  // no-break space
      return " ";
    case 0xB4:
    case 0x2018:
    case 0x2019:
    case 0x201A:
    case 0x201B:
    case 0x2032:
      return "'";
    case 0x201C:
    case 0x201D:
    case 0x201E:
    case 0x2033:
      return "\"";
    case 0x2010:
    case 0x2011:
    case 0x2012:
    case 0x2013:
    case 0x2014:
    case 0x2015:
    case 0x2212:
      return "-";
    case 0x2026:
      return "...";
    default:
      return "";
  }
}

// Decodes one UTF-8 character at `s[i]`: its code point and length, or
// length 0 for a byte that starts none.
std::pair<char32_t, std::size_t> decode(std::string_view s, std::size_t i) {
  const auto b = static_cast<unsigned char>(s[i]);
  std::size_t n = 0;
  char32_t c = 0;
  if (b >= 0xC2 && b <= 0xDF) {
    n = 2;
    c = b & 0x1F;
  } else if (b >= 0xE0 && b <= 0xEF) {
    n = 3;
    c = b & 0x0F;
  } else if (b >= 0xF0 && b <= 0xF4) {
    n = 4;
    c = b & 0x07;
  } else {
    return {0, 0};
  }
  if (i + n > s.size()) return {0, 0};
  for (std::size_t k = 1; k < n; ++k) {
    const auto cont = static_cast<unsigned char>(s[i + k]);
    if ((cont & 0xC0) != 0x80) return {0, 0};
    c = (c << 6) | (cont & 0x3F);
  }
  // Overlong forms, surrogates and code points beyond U+10FFFF.
  if ((n == 3 && c < 0x800) || (n == 4 && (c < 0x10000 || c > 0x10FFFF)) ||
      (c >= 0xD800 && c <= 0xDFFF))
    return {0, 0};
  return {c, n};
}

// --- numbers ----------------------------------------------------------------

// A decimal number as written: digits / 10^scale, at most 18 significant
// digits and 18 decimals (further decimals are dropped).
struct Decimal {
  int64_t digits = 0;
  int scale = 0;
  bool negative = false;
  bool dropped = false;  // a non-zero decimal was dropped
};

constexpr int kMaxDigits = 18;

int64_t pow10(int n) {
  int64_t p = 1;
  while (n-- > 0) p *= 10;
  return p;
}

std::string_view trim(std::string_view s) {
  const std::size_t first = s.find_first_not_of(" \t\r\n");
  if (first == std::string_view::npos) return {};
  return s.substr(first, s.find_last_not_of(" \t\r\n") - first + 1);
}

std::optional<Decimal> parse_decimal(std::string_view s) {
  Decimal d;
  std::size_t i = 0;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) d.negative = s[i++] == '-';
  bool point = false, any = false;
  int significant = 0;
  for (; i < s.size(); ++i) {
    const char ch = s[i];
    if (ch == '.' && !point) {
      point = true;
      continue;
    }
    if (ch < '0' || ch > '9') return std::nullopt;
    any = true;
    const int digit = ch - '0';
    if (significant >= kMaxDigits || (point && d.scale >= kMaxDigits)) {
      if (!point) return std::nullopt;  // too large for any field
      d.dropped = d.dropped || digit != 0;
      continue;
    }
    d.digits = d.digits * 10 + digit;
    if (point) ++d.scale;
    if (d.digits > 0) ++significant;
  }
  if (!any) return std::nullopt;
  return d;
}

bool is_zero(const Decimal& d) {
  return d.digits == 0 && !d.dropped;
}

// The whole number `d` is, if it is one.
std::optional<int64_t> whole(const Decimal& d) {
  if (d.dropped || d.digits % pow10(d.scale) != 0) return std::nullopt;
  const int64_t v = d.digits / pow10(d.scale);
  return d.negative ? -v : v;
}

// `d` rounded half up to a whole number (non-negative `d`).
int64_t round_half_up(const Decimal& d) {
  if (d.scale == 0) return d.digits;
  return (d.digits + 5 * pow10(d.scale - 1)) / pow10(d.scale);
}

// `d` times `factor` in hundredths, rounded half up (non-negative `d`).
__int128 hundredths_of(const Decimal& d, int64_t factor) {
  const __int128 num = static_cast<__int128>(d.digits) * factor * 100;
  const __int128 den = pow10(d.scale);
  __int128 q = num / den;
  const __int128 r = num % den;
  if (2 * r >= den) ++q;
  return q;
}

// Lanes of a width in feet: width / 12 rounded half up (non-negative `d`).
int64_t lanes_of_width(const Decimal& d) {
  const __int128 den = static_cast<__int128>(pow10(d.scale)) * 12;
  const __int128 lanes = (static_cast<__int128>(d.digits) * 2 + den) / (2 * den);
  return lanes > 1'000'000 ? 1'000'000 : static_cast<int64_t>(lanes);
}

// --- the table --------------------------------------------------------------

void cut_into(std::string_view text, std::size_t width, char* at) {
  const std::size_t n = std::min(text.size(), width);
  std::copy_n(text.data(), n, at);
}

void right(std::string& out, int64_t v, int width) {
  std::string s = std::to_string(v);
  if (s.size() > static_cast<std::size_t>(width)) s.assign(static_cast<std::size_t>(width), '*');
  out.append(static_cast<std::size_t>(width) - s.size(), ' ').append(s);
}

// What the header gives each mapped column: its index, or -1.
struct Columns {
  int id = -1, score = -1, lane_miles = -1, miles = -1, lanes = -1, width = -1, type = -1;
  int jurisdiction = -1, mcd = -1, highway = -1, description = -1, from = -1, to = -1;
};

struct TypeTarget {
  int32_t type = 0;  // 0: not in the rates
  std::string name;
};

class TableReader {
 public:
  TableReader(const std::string& shown, const ColumnMapping& mapping, const PavementTypes& types)
      : shown_(shown), mapping_(mapping), types_(types) {
    for (const auto& [value, name] : mapping.type_map) type_map_[value] = target(name);
    if (!mapping.type.empty()) single_type_ = target(mapping.type);
  }

  ImportedTable& result() { return result_; }
  int64_t row() const { return row_; }

  // Row `row` of the table, `fields` its fields.
  void take(int64_t row, std::span<const std::string> fields) {
    row_ = row;
    fields_ = fields;
    if (row_ == 1)
      header();
    else
      data_row();
    if (error_) throw *error_;  // the reading stops at the row
  }

 private:
  TypeTarget target(const std::string& name) const {
    TypeTarget t{0, name};
    if (name.size() <= 8) t.type = types_.find(Text<8>(name));
    return t;
  }

  void header() {
    header_size_ = fields_.size();
    auto find = [&](const std::string& name, int& index) {
      if (name.empty() || error_) return;
      for (std::size_t k = 0; k < fields_.size(); ++k) {
        if (trim(fields_[k]) != name) continue;
        if (index >= 0) {
          error_ = TableError{"the column \"" + name + "\" is named twice in the header of " +
                              shown_ + ": give a column that is named once"};
          return;
        }
        index = static_cast<int>(k);
      }
      if (index >= 0) return;
      std::string names;
      for (std::size_t k = 0; k < fields_.size(); ++k)
        names += (k == 0 ? "\"" : ", \"") + std::string(trim(fields_[k])) + "\"";
      error_ = TableError{"the column \"" + name + "\" is not in the header of " + shown_ +
                          " (row 1: " + names + ")"};
    };
    find(mapping_.id, columns_.id);
    find(mapping_.score, columns_.score);
    find(mapping_.lane_miles, columns_.lane_miles);
    find(mapping_.miles, columns_.miles);
    find(mapping_.lanes, columns_.lanes);
    find(mapping_.width_feet, columns_.width);
    find(mapping_.type_column, columns_.type);
    find(mapping_.jurisdiction, columns_.jurisdiction);
    find(mapping_.mcd, columns_.mcd);
    find(mapping_.highway, columns_.highway);
    find(mapping_.description, columns_.description);
    find(mapping_.from, columns_.from);
    find(mapping_.to, columns_.to);
  }

  std::string_view field(int index) const {
    if (index < 0 || static_cast<std::size_t>(index) >= fields_.size()) return {};
    return fields_[static_cast<std::size_t>(index)];
  }

  void refuse(const std::string& column, std::string_view value, std::string reason) {
    ++result_.refusal_count;
    refused_ = true;
    if (result_.refusals.size() < kListedRefusals)
      result_.refusals.push_back({row_, column, std::string(value), std::move(reason)});
  }

  // A whole number 0..max of an optional column (blank: 0).
  int64_t code(int index, const std::string& column, int64_t max) {
    const std::string_view text = trim(field(index));
    if (text.empty()) return 0;
    const std::optional<Decimal> d = parse_decimal(text);
    std::optional<int64_t> v;
    if (d) v = whole(*d);
    if (!v || *v < 0 || *v > max) {
      refuse(column, text, "not a whole number from 0 to " + std::to_string(max));
      return 0;
    }
    return *v;
  }

  // The score 1..10, or 0 when the row is unrated (counted) or refused.
  int64_t score() {
    const std::string_view text = trim(field(columns_.score));
    if (text.empty()) {
      ++result_.blank_scores;
      return 0;
    }
    const std::optional<Decimal> d = parse_decimal(text);
    if (d && is_zero(*d)) {
      ++result_.zero_scores;
      return 0;
    }
    if (!d || d->negative) {
      refuse(mapping_.score, text, "not a score from 1 to 10");
      return 0;
    }
    if (mapping_.round) {
      const int64_t v = round_half_up(*d);
      if (v < 1 || v > 10)
        refuse(mapping_.score, text, "rounds to " + std::to_string(v) + ", outside 1 to 10");
      return v;
    }
    const std::optional<int64_t> v = whole(*d);
    if (!v || *v < 1 || *v > 10) {
      refuse(mapping_.score, text, "not a whole number from 1 to 10 (--round rounds it)");
      return 0;
    }
    return *v;
  }

  // A non-negative number of column `index`; nullopt (refused) otherwise.
  std::optional<Decimal> number(int index, const std::string& column) {
    const std::string_view text = trim(field(index));
    const std::optional<Decimal> d = parse_decimal(text);
    if (!d || (d->negative && !is_zero(*d))) {
      refuse(column, text, text.empty() ? "blank" : "not a number of 0 or more");
      return std::nullopt;
    }
    return d;
  }

  // The lanes of the row: its lanes or width column, or the default.
  std::optional<int64_t> lanes() {
    const bool by_width = columns_.width >= 0;
    const int index = by_width ? columns_.width : columns_.lanes;
    const std::string& column = by_width ? mapping_.width_feet : mapping_.lanes;
    if (trim(field(index)).empty()) return mapping_.default_lanes;
    const std::optional<Decimal> d = number(index, column);
    if (!d) return std::nullopt;
    if (is_zero(*d)) return mapping_.default_lanes;
    if (by_width) return std::max<int64_t>(1, lanes_of_width(*d));
    const std::optional<int64_t> v = whole(*d);
    if (!v) {
      refuse(column, trim(field(index)), "not a whole number of lanes");
      return std::nullopt;
    }
    return *v;
  }

  // Lane-miles in hundredths, or 0 when refused.
  int64_t lane_miles() {
    const bool direct = columns_.lane_miles >= 0;
    const int index = direct ? columns_.lane_miles : columns_.miles;
    const std::string& column = direct ? mapping_.lane_miles : mapping_.miles;
    const std::optional<Decimal> d = number(index, column);
    std::optional<int64_t> factor = 1;
    if (!direct) factor = lanes();
    if (!d || !factor) return 0;
    const __int128 h = hundredths_of(*d, *factor);
    const std::string text(trim(field(index)));
    if (h == 0) {
      refuse(column, text, "gives 0.00 lane-miles");
      return 0;
    }
    if (h > 999'999) {
      refuse(column, text, "gives more than 9999.99 lane-miles");
      return 0;
    }
    return static_cast<int64_t>(h);
  }

  int32_t pavement_type() {
    const TypeTarget* t = &single_type_;
    std::string_view value;
    std::string column = "--type";
    if (columns_.type >= 0) {
      column = mapping_.type_column;
      value = trim(field(columns_.type));
      const auto it = type_map_.find(std::string(value));
      if (it == type_map_.end()) {
        refuse(column, value, "no mapping in --type-map");
        return 0;
      }
      t = &it->second;
    } else {
      value = mapping_.type;
    }
    if (t->type == 0) refuse(column, value, t->name + " is not a pavement type of the rates file");
    return t->type;
  }

  // Plain ASCII text cut to `width`; counts a cut.
  std::string text(std::string_view raw, std::size_t width, int64_t& cuts) {
    std::string plain = plain_ascii(trim(raw), result_.text);
    plain = std::string(trim(plain));
    if (plain.size() > width) {
      ++cuts;
      plain.resize(width);
    }
    return plain;
  }

  std::string description() {
    if (columns_.description >= 0) return std::string(field(columns_.description));
    if (columns_.from < 0) return {};
    const std::string_view from = trim(field(columns_.from)), to = trim(field(columns_.to));
    if (!from.empty() && !to.empty()) return "From " + std::string(from) + " to " + std::string(to);
    if (!from.empty()) return "From " + std::string(from);
    if (!to.empty()) return "To " + std::string(to);
    return {};
  }

  void data_row() {
    ImportedTable& r = result_;
    ++r.rows_read;
    bool blank = true;
    for (std::size_t k = 0; k < fields_.size() && blank; ++k) blank = trim(fields_[k]).empty();
    if (blank) {
      ++r.empty_rows;
      return;
    }
    const int64_t s = score();
    if (s == 0 && !refused_) return;  // unrated
    for (std::size_t k = header_size_; k < fields_.size(); ++k) {
      if (trim(fields_[k]).empty()) continue;
      refuse("", "",
             "holds " + std::to_string(fields_.size()) + " fields, the header " +
                 std::to_string(header_size_) + " (a comma outside quotes?)");
      break;
    }

    const std::string_view id = field(columns_.id);
    if (trim(id).empty()) {
      refuse(mapping_.id, id, "blank: every rated row needs its id");
    } else if (id.size() > kMaxIdBytes) {
      refuse(mapping_.id, id.substr(0, 40),
             "longer than " + std::to_string(kMaxIdBytes) + " bytes");
    } else if (std::any_of(id.begin(), id.end(),
                           [](char c) { return static_cast<unsigned char>(c) < 0x20; })) {
      refuse(mapping_.id, id, "holds a line break or another control character");
    } else if (auto [it, added] = ids_seen_.try_emplace(std::string(id), row_); !added) {
      refuse(mapping_.id, id, "the id of row " + std::to_string(it->second) + " too");
    }
    const int64_t hundredths = lane_miles();
    const int32_t type = pavement_type();
    const int64_t jurisdiction = code(columns_.jurisdiction, mapping_.jurisdiction, 99);
    const int64_t mcd = code(columns_.mcd, mapping_.mcd, 9999);
    const std::string highway = text(field(columns_.highway), 23, r.highways_cut);
    const std::string desc = text(description(), 38, r.descriptions_cut);
    if (refused_) {
      refused_ = false;
      return;
    }

    std::string& out = r.lines[static_cast<std::size_t>(type)];
    right(out, s, 2);
    right(out, hundredths / 100, 4);
    out += '.';
    out += static_cast<char>('0' + hundredths % 100 / 10);
    out += static_cast<char>('0' + hundredths % 10);
    right(out, mcd, 4);
    right(out, jurisdiction, 2);
    const std::size_t at = out.size();
    out.append(1 + 23 + 1 + 38, ' ');
    cut_into(highway, 23, out.data() + at + 1);
    cut_into(desc, 38, out.data() + at + 25);
    out += '\n';
    r.ids[static_cast<std::size_t>(type)].emplace_back(id);
    r.hundredths[static_cast<std::size_t>(type)][static_cast<std::size_t>(s)] += hundredths;
    ++r.imported;
  }

  const std::string& shown_;
  const ColumnMapping& mapping_;
  const PavementTypes& types_;
  std::unordered_map<std::string, TypeTarget> type_map_;
  TypeTarget single_type_;
  Columns columns_;
  std::size_t header_size_ = 0;
  std::span<const std::string> fields_;  // the row's, while it is taken
  int64_t row_ = 0;
  bool refused_ = false;
  std::unordered_map<std::string, int64_t> ids_seen_;
  std::optional<TableError> error_;
  ImportedTable result_;
};

}  // namespace

std::string plain_ascii(std::string_view utf8, TextCounts& counts) {
  std::string out;
  out.reserve(utf8.size());
  for (std::size_t i = 0; i < utf8.size();) {
    const auto b = static_cast<unsigned char>(utf8[i]);
    if (b < 0x80) {
      out += b < 0x20 || b == 0x7F ? ' ' : static_cast<char>(b);
      ++i;
      continue;
    }
    const auto [c, n] = decode(utf8, i);
    if (n == 0) {
      out += '?';
      ++counts.question_marks;
      ++i;
      continue;
    }
    i += n;
    if (c >= 0x300 && c <= 0x36F && !out.empty() && out.back() != ' ' && out.back() != '?') {
      ++counts.plain_letters;  // a combining mark: the letter before it is its plain letter
      continue;
    }
    const std::string_view plain = plain_form(c);
    if (plain.empty()) {
      out += '?';
      ++counts.question_marks;
    } else {
      out += plain;
      ++counts.plain_letters;
    }
  }
  return out;
}

ImportedTable import_table(std::istream& in, const std::string& shown, const ColumnMapping& mapping,
                           const PavementTypes& types) {
  TableReader reader(shown, mapping, types);
  const int64_t rows = read_csv_rows(in, shown, [&](int64_t row, std::span<const std::string> f) {
    reader.take(row, f);
  });
  if (rows == 0) throw TableError{"the table " + shown + " is empty: it has no header row"};
  return std::move(reader.result());
}

}  // namespace pavecast
