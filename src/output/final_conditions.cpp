#include "output/final_conditions.h"

#include <string>

#include "layout/layout.h"
#include "model/whole_number.h"

namespace pavecast {

void write_final_conditions(const RunOutput& run, Console& console) {
  static const layout::Layout kAnnounce("'Writing final condition data to \"',A12,'\".'");
  static const layout::Layout kHeader("I4,1X,A5");
  static const layout::Layout kNetworkName("A21");
  static const layout::Layout kGroupHeader("A8");
  static const layout::Layout kNamesLine("I2,2X,F5.1,I4,I2,1X,A23,1X,A38");
  static const layout::Layout kShortLine("I2,2X,F5.1");
  static const std::string kGroupEnd = std::string(76, ' ') + "\n";

  console.write(kAnnounce, {run.settings.final_conditions_file});

  auto file = OutputFile::create_replacement_or_fatal(
      run.workdir.local(run.settings.final_conditions_file.trimmed()));
  OutputFile& out = *file;
  const NetworkValues& network = run.network;
  out.write(kHeader, {network.first_year + run.settings.years, network.scores_tag});
  out.write(kNetworkName, {network.network_name});

  for (int p = 1; p <= run.tables.pavement.pavement_type_count; ++p) {
    out.write(kGroupHeader, {run.tables.pavement.pavement_type_name[p]});
    for (int i = 1; i <= run.segments.segment_count; ++i) {
      const Segment& seg = run.segments[i];
      if (seg.pavement_type != p) continue;
      int32_t score_class = whole(seg.score, kFinalClassOffset);
      if (network.names_format == 1) {
        out.write(kNamesLine, {score_class, seg.lane_miles, seg.mcd, seg.jurisdiction,
                               seg.highway_name, seg.segment_description});
      } else {
        out.write(kShortLine, {score_class, seg.lane_miles});
      }
    }
    out.write(kGroupEnd);
  }
  // It takes its name with the rest of the run's files.
  out.close_into(run.files.set);
}

}  // namespace pavecast
