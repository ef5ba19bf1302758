#include "app/stages.h"

#include <memory>
#include <string>

#include "dialogue/saved_answers.h"
#include "engine/inputs.h"
#include "fatal/fatal.h"
#include "output/output_files.h"
#include "readers/forced_repairs.h"
#include "readers/scores.h"
#include "readers/traffic_increases.h"

namespace pavecast {

Dialogue dialogue_of(RunContext& ctx, Console& console) {
  return Dialogue{console, ctx.workdir, ctx.files.echo.get()};
}

RunOutput output_of(RunContext& ctx) {
  return RunOutput{ctx.workdir, ctx, ctx, ctx.segments, ctx.network, ctx.stats, ctx.files, ctx};
}

int open_and_load_network(RunContext& ctx, Console& console) {
  RunOutput run = output_of(ctx);
  discard_earlier_pass_files(ctx.files);
  // A pass that answered no to forced repairs has no list, whatever an
  // earlier pass read.
  if (is_no(ctx.force_fix_answer)) ctx.forced = ForcedRepairs{};

  const FilePath scores_path = ctx.workdir.roads(std::string(ctx.scores_name.trimmed()));
  auto scores = InputFile::open_or_fatal(scores_path, IfMissing::kCreateEmpty);
  open_run_files(run);
  std::unique_ptr<InputFile> random;
  if (is_yes(ctx.randomize_answer))
    random = InputFile::open_or_fatal(ctx.workdir.data("random.dat"), IfMissing::kCreateEmpty);

  load_segment_table(*scores, random.get(), ctx.pavement,
                     load_options(ctx, ctx.actions.action_count), ctx.segments, ctx.network,
                     ctx.stats);
  scores.reset();
  random.reset();
  stop_if_no_segments(ctx.segments, ctx.pavement, parameter_file(ctx, ctx.workdir, "detrates"),
                      scores_path);
  ignore_forced_entries_beyond_network(ctx.forced, ctx.segments, console);
  write_listing_headings(run);
  return open_trace_files(run);
}

ProjectionSetup::ProjectionSetup(RunContext& ctx, Console& console) {
  const RepairOrder order = repair_order_of(ctx.repair_order);
  if (draws_order_keys(order))
    numbers = std::make_unique<RandomFile>(
        InputFile::open_or_fatal(ctx.workdir.data("random.dat"), IfMissing::kCreateEmpty));
  std::unique_ptr<InputFile> traffic;
  if (!is_no(ctx.vmt_answer))
    traffic = InputFile::open_or_fatal(ctx.workdir.data("vmt-inc.dat"), IfMissing::kCreateEmpty);
  read_traffic_increases(traffic.get(), ctx.year_slots, ctx.vmt_increase);
  inputs = projection_inputs(ctx, ctx, ctx.network);
  listings = std::make_unique<ListingWriter>(console, ctx.files, ctx, ctx, ctx.network.names_format,
                                             order, inputs.actions, inputs.policy);
}

ProjectionTables projection_tables(RunContext& ctx) {
  return {ctx.segments, ctx.pavement, ctx.forced, ctx.stats};
}

void run_projection(RunContext& ctx, Console& console, SegmentSelection* selection) {
  ProjectionSetup setup(ctx, console);
  Projection(setup.inputs, projection_tables(ctx), *setup.listings, setup.numbers.get(), selection)
      .run();
}

}  // namespace pavecast
