#include "readers/asset_ids.h"

#include <charconv>
#include <filesystem>
#include <system_error>

#include "fatal/fatal.h"

namespace pavecast {

namespace {

constexpr std::string_view kHeader = "segment,asset_id";

// The id field of a row: quoted (doubled quotes inside) or as it stands.
std::optional<std::string> id_field(std::string_view field) {
  if (field.empty() || field.front() != '"') {
    if (field.find('"') != std::string_view::npos) return std::nullopt;
    return std::string(field);
  }
  std::string id;
  for (std::size_t i = 1; i < field.size(); ++i) {
    if (field[i] != '"') {
      id += field[i];
      continue;
    }
    if (i + 1 == field.size()) return id;
    if (field[i + 1] != '"') return std::nullopt;
    id += '"';
    ++i;
  }
  return std::nullopt;  // not closed
}

[[noreturn]] void mismatch(const InputFile& file, std::string_view scores_name, int64_t rows,
                           int32_t lines) {
  fatal("the ids file " + file.shown() + " holds " + std::to_string(rows) + " rows for the " +
        std::to_string(lines) + " segment lines of roads/" + std::string(scores_name) +
        ": it belongs to another scores file (import the table again)");
}

}  // namespace

FilePath asset_ids_file(const Workdir& workdir, std::string_view scores_name) {
  return workdir.roads(std::string(scores_name) + ".ids");
}

std::optional<std::vector<std::string>> read_asset_ids(const Workdir& workdir,
                                                       std::string_view scores_name,
                                                       int32_t segment_lines) {
  const FilePath path = asset_ids_file(workdir, scores_name);
  std::error_code ec;
  if (!path.escapes && !std::filesystem::exists(std::filesystem::symlink_status(path.path, ec)))
    return std::nullopt;
  auto file = InputFile::open(path, IfMissing::kFail);
  if (!file) fatal_cannot_open(path.shown);

  std::string_view record;
  if (!file->next(record) || record != kHeader)
    fatal("the ids file " + path.shown + " does not start with the line \"" + std::string(kHeader) +
          "\"");
  std::vector<std::string> ids(1);
  ids.reserve(static_cast<std::size_t>(segment_lines) + 1);
  int64_t rows = 0;
  while (file->next(record)) {
    ++rows;
    if (rows > segment_lines) {
      while (file->next(record)) ++rows;
      mismatch(*file, scores_name, rows, segment_lines);
    }
    const std::size_t comma = record.find(',');
    int64_t segment = 0;
    std::optional<std::string> id;
    if (comma != std::string_view::npos) {
      const auto [end, error] = std::from_chars(record.data(), record.data() + comma, segment);
      if (error == std::errc() && end == record.data() + comma)
        id = id_field(record.substr(comma + 1));
    }
    if (!id)
      fatal("line " + std::to_string(file->line_number()) + " of the ids file " + path.shown +
            " is not a segment number and an id");
    if (segment != rows)
      fatal("line " + std::to_string(file->line_number()) + " of the ids file " + path.shown +
            " names segment " + std::to_string(segment) + " where " + std::to_string(rows) +
            " comes next");
    ids.push_back(std::move(*id));
  }
  if (rows != segment_lines) mismatch(*file, scores_name, rows, segment_lines);
  return ids;
}

std::string asset_id_row(int64_t segment, std::string_view id) {
  std::string row = std::to_string(segment);
  row += ',';
  const bool quoted = id.find_first_of(",\"") != std::string_view::npos ||
                      (!id.empty() && (id.front() == ' ' || id.back() == ' '));
  if (!quoted) {
    row += id;
  } else {
    row += '"';
    for (char c : id) {
      if (c == '"') row += '"';
      row += c;
    }
    row += '"';
  }
  row += '\n';
  return row;
}

}  // namespace pavecast
