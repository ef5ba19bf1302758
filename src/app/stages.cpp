#include "app/stages.h"

#include <memory>
#include <string>

#include "dialogue/saved_answers.h"
#include "engine/inputs.h"
#include "fatal/fatal.h"
#include "output/output_files.h"
#include "readers/network_loading.h"

namespace pavecast {

Dialogue dialogue_of(RunContext& ctx, Console& console) {
  return Dialogue{console, ctx.workdir, ctx.files.echo.get()};
}

RunOutput output_of(RunContext& ctx) {
  return RunOutput{ctx.workdir, ctx.settings, ctx.tables, ctx.segments, ctx.network,
                   ctx.stats,   ctx.files,    ctx.output, ctx.printers};
}

int open_and_load_network(RunContext& ctx, Console& console,
                          const std::function<void()>& before_scores) {
  RunOutput run = output_of(ctx);
  NetworkLoading how;
  how.before_scores = [&] {
    if (before_scores) before_scores();
    discard_earlier_pass_files(ctx.files);
  };
  how.scores_opened = [&] { open_run_files(run); };
  load_network({ctx.workdir, ctx.settings, ctx.tables.pavement, ctx.tables.actions.action_count,
                parameter_file(ctx.settings, ctx.workdir, "detrates")},
               how, console, {ctx.segments, ctx.network, ctx.forced, ctx.stats});
  write_listing_headings(run);
  return open_trace_files(run);
}

ProjectionSetup::ProjectionSetup(RunContext& ctx, Console& console) {
  const RepairOrder order = repair_order_of(ctx.settings.repair_order);
  if (draws_order_keys(order))
    numbers = std::make_unique<RandomFile>(
        InputFile::open_or_fatal(ctx.workdir.data("random.dat"), IfMissing::kCreateEmpty));
  load_traffic_increases(ctx.workdir, ctx.settings, ctx.tables.vmt_increase);
  inputs = projection_inputs(ctx.settings, ctx.tables, ctx.network);
  listings = std::make_unique<ListingWriter>(console, ctx.files, ctx.output, ctx.settings,
                                             ctx.network.names_format, order, inputs.actions,
                                             inputs.policy);
}

ProjectionTables projection_tables(RunContext& ctx) {
  return {ctx.segments, ctx.tables.pavement, ctx.forced, ctx.stats};
}

void run_projection(RunContext& ctx, Console& console, SegmentSelection* selection) {
  ProjectionSetup setup(ctx, console);
  Projection(setup.inputs, projection_tables(ctx), *setup.listings, setup.numbers.get(), selection)
      .run();
}

}  // namespace pavecast
