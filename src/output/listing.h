// The projection's records in the auxiliary listings and the trace files,
// and its year messages on the console: the observer of the year loop.
//
// One segment-list line per segment the year's pass takes, one improvements
// line per repair, and the trace lines of every piece of a traced segment.
// The files and their headings are opened and written before the year loop
// (the listings only when auxiliary files are wanted, so an open file is the
// test of that answer here); these writers add page breaks (a form feed and
// the two column-heading lines) as the page line counters list_lines and
// repair_lines of the output state fill up.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/projection.h"
#include "io/console.h"
#include "io/run_files.h"
#include "layout/fixed_record.h"
#include "model/settings.h"
#include "output/output_state.h"

namespace pavecast {

class ListingWriter : public ProjectionObserver {
 public:
  // `names_format` is the network's; `order` the run's repair order; the
  // trace entries are the settings', each followed in files.trace[t].
  ListingWriter(Console& console, RunFiles& files, OutputState& state, const RunSettings& settings,
                int32_t names_format, RepairOrder order, const RepairActions& actions,
                const PolicyMatrix& policy);

  // Segments are followed when the segment list is written, and when a
  // segment is traced.
  bool follows_segments_taken() const override { return files_.segment_list != nullptr; }
  bool follows_segments_done() const override { return settings_.trace_count > 0; }

  // The record that starts each year in both listings (one blank), and the
  // console's year message.
  void year_begins(int32_t year, int32_t segment_count) override;
  // Segment i with its list position, its class at offset 0.5002 and its
  // order key (x 10000 under random and priority order). A page holds lines
  // while list_lines is below 56. Each segment's last line is kept, and only
  // the fields that changed since are written again into it (most of a
  // line stays from one year to the next).
  void segment_taken(int32_t year, int32_t position, int32_t i, const Segment& seg) override;
  // The names form shows the matrix's action for the segment's class, the
  // short form the action applied (they differ after a reconstruction). A
  // page holds lines while repair_lines is 56 or less: one more than a
  // segment-list page.
  void repair_made(const RepairEvent& repair, const Segment& seg) override;
  // The year's line for segment t in every trace file following its original
  // number, marked " Forced" in the end-of-year pass of forced repairs.
  void segment_done(int32_t year, int32_t t, const Segment& seg, bool forced) override;
  // A console record of 64 blanks that clears the year message.
  void projection_ends() override;

 private:
  Console& console_;
  RunFiles& files_;
  OutputState& state_;
  const RunSettings& settings_;
  int32_t names_format_;
  RepairOrder order_;
  const RepairActions& actions_;
  const PolicyMatrix& policy_;

  // traced_[n]: whether a trace entry follows original number n (numbers
  // beyond it are looked up in the entries).
  std::vector<uint8_t> traced_;

  // The form feed and column headings of a new page of each listing.
  std::string list_page_;
  std::string repair_page_;

  // Segment i's last segment-list line, lines_[i x line length ...], and
  // the values of its fields that can change (kept_[i]).
  struct KeptFields {
    bool made = false;
    int32_t pavement_type = 0;
    int32_t year = 0;
    int32_t surface_class = 0;
    float lane_miles = 0.0f;
  };
  const layout::FixedRecord* list_line_;  // the segment list's line
  std::vector<char> lines_;
  std::vector<KeptFields> kept_;

  // The segment list's bytes, gathered here and handed to the file a
  // buffer at a time (OutputFile::write_through): a line is copied once,
  // by fixed-size moves, where appending it to the file's own buffer would
  // cost a call to copy it.
  static constexpr std::size_t kStageSize = 1 << 16;
  std::unique_ptr<char[]> stage_;
  std::size_t staged_ = 0;
  void stage(const char* bytes, std::size_t size);
  void hand_stage_over();
};

}  // namespace pavecast
