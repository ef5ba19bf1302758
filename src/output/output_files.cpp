#include "output/output_files.h"

#include "io/record_files.h"
#include "layout/layout.h"
#include "model/run_file_names.h"

namespace pavecast {

namespace {

// A record made of literals only.
void put(OutputFile& file, const layout::Layout& literals) {
  file.write(literals, std::span<const layout::Item>());
}

void discard(std::unique_ptr<OutputFile>& file) {
  if (file && file->is_open()) file->discard();
  file.reset();
}

}  // namespace

std::string padded_name(std::string name) {
  constexpr std::size_t kNameWidth = 12;
  if (name.size() < kNameWidth) name.resize(kNameWidth, ' ');
  return name;
}

std::string trimmed_name(std::string_view name) {
  std::size_t end = name.find_last_not_of(' ');
  return std::string(end == std::string_view::npos ? std::string_view() : name.substr(0, end + 1));
}

std::string output_file_name(const Text<9>& scores_name, float annual_funding,
                             std::string_view extension) {
  return padded_name(run_output_name(scores_name, annual_funding, extension));
}

void discard_earlier_pass_files(RunFiles& files) {
  discard(files.segment_list);
  discard(files.improvements);
  discard(files.report);
  for (auto& trace : files.trace) discard(trace);
}

void open_run_files(const RunOutput& run) {
  auto create = [&](const std::string& name) {
    return OutputFile::create_replacement_or_fatal(run.workdir.local(trimmed_name(name)));
  };
  run.state.report_file_name =
      output_file_name(run.settings.scores_name, run.settings.annual_funding, "out");
  if (is_no(run.settings.auxiliary_answer)) {
    // An earlier pass may have wanted them; the closing list names only
    // files this pass writes.
    run.state.condition_file_name = padded_name("NA");
    run.state.improvements_file_name = padded_name("NA");
  } else {
    run.state.condition_file_name =
        output_file_name(run.settings.scores_name, run.settings.annual_funding, "scr");
    run.state.improvements_file_name =
        output_file_name(run.settings.scores_name, run.settings.annual_funding, "rep");
    run.files.segment_list = create(run.state.condition_file_name);
    run.files.improvements = create(run.state.improvements_file_name);
  }
  run.files.report = create(run.state.report_file_name);
}

namespace {

const layout::Layout& improvements_columns_layout(int32_t names_format) {
  static const layout::Layout kNames(
      "7X,'Highway                 Segment                 ',"
      "'               Seg#  Pvt  Yr   Surf  Repair Miles  ',"
      "'  M$    Tot $ MCD Jur Forced',/,"
      "7X,'----------------------- ------------------------',"
      "'-------------- ----  ---  --   ----  ------ -----  ',"
      "' ----   ----- --- --- ------'");
  static const layout::Layout kShort(
      "7X,'Seg#  Pvt  Yr   Surf   Repair Miles    M$ ','   Tot $',/,"
      "7X,'----  ---  --   ----   ------ -----   ----','   -----'");
  return names_format == 1 ? kNames : kShort;
}

const layout::Layout& segment_list_columns_layout(int32_t names_format) {
  static const layout::Layout kNames(
      "7X,'Highway                 Segment                ',"
      "'                Seg#  Pvt  Yr   Surf   Miles    Order',/,"
      "7X,'----------------------- ','--------------------------------------',"
      "'  ----  ---  --   ----   -----    -----'");
  static const layout::Layout kShort(
      "8X,'Seg#  Pvt  Yr   Surf   Miles    Order',/,"
      "8X,'----  ---  --   ----   -----    -----'");
  return names_format == 1 ? kNames : kShort;
}

}  // namespace

void write_improvements_columns(OutputFile& file, int32_t names_format) {
  put(file, improvements_columns_layout(names_format));
}

void write_segment_list_columns(OutputFile& file, int32_t names_format) {
  put(file, segment_list_columns_layout(names_format));
}

std::string improvements_columns(int32_t names_format) {
  return improvements_columns_layout(names_format).format(std::span<const layout::Item>());
}

std::string segment_list_columns(int32_t names_format) {
  return segment_list_columns_layout(names_format).format(std::span<const layout::Item>());
}

void write_listing_headings(const RunOutput& run) {
  static const layout::Layout kImprovementsTitle(
      "'    The following is each years repairs.  The first',' year is ',I4,'.',/");
  static const layout::Layout kSegmentListTitle(
      "'This is a list of all segments at the ','start of each year.',/");
  if (run.files.improvements) {
    run.files.improvements->write(kImprovementsTitle, {run.network.first_year});
    write_improvements_columns(*run.files.improvements, run.network.names_format);
  }
  run.state.repair_lines = 3;
  if (run.files.segment_list) {
    put(*run.files.segment_list, kSegmentListTitle);
    write_segment_list_columns(*run.files.segment_list, run.network.names_format);
  }
  run.state.list_lines = 3;
}

int open_trace_files(const RunOutput& run) {
  static const layout::Layout kNamesTitle("'This is a tracing of ',A23,/,A38,/,/");
  static const layout::Layout kShortTitle("'This is a tracing of ',I4,/,/");
  static const layout::Layout kColumns(
      "23X,'Org. Cur. Last',/,'Yr Pvt Surf Miles Seg# Seg# Rep# Freq'");
  static const layout::Layout kRule("'-- --- ---- ----- ---- ---- ---- ----'");
  for (int t = 1; t <= run.settings.trace_count; ++t) {
    std::string name(run.settings.trace_file_name[t].trimmed());
    for (int earlier = 1; earlier < t; ++earlier)
      if (run.settings.trace_file_name[earlier].trimmed() == name) return t;
    run.files.trace[t] = OutputFile::create_replacement(run.workdir.local(name));
    if (!run.files.trace[t]) return t;

    OutputFile& file = *run.files.trace[t];
    int32_t segment = run.settings.trace_segment[t];
    if (run.network.names_format == 1) {
      // A segment number outside the loaded table shows blank names.
      Text<23> highway;
      Text<38> description;
      if (segment >= 1 && segment <= run.segments.segment_count) {
        highway = run.segments[segment].highway_name;
        description = run.segments[segment].segment_description;
      }
      file.write(kNamesTitle, {highway, description});
    } else {
      file.write(kShortTitle, {segment});
    }
    put(file, kColumns);
    put(file, kRule);
  }
  return 0;
}

}  // namespace pavecast
