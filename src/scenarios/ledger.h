// The ledger of one projection: every dollar of a year's spent money put to
// the repair it paid for, the same figures as the report's by group of
// segments, and the condition of every segment at the end of every year.
//
// Money: under a budget the cost of a year's forced repairs is reserved at
// its start and counted in spent then; the repairs themselves are made at the
// end of the year without a charge. Every other repair is charged when it is
// made. So a repair's charge is its own cost or, for a forced repair under a
// budget, the amount reserved for it (a reconstruction drawn for it costs
// more than was reserved; a rank-9 action with a limit of 0 is never
// reserved, so it is free), and a reservation whose repair is put off is a
// charge of its own. The charges of a year add up to its spent money.
//
// Groups: by pavement type (the type a segment has in that year: repairs
// may change it) or by jurisdiction. The loaded year classifies each segment
// by its file score, as the network's figures do.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "engine/projection.h"
#include "scenarios/scenario.h"

namespace pavecast {

// One line of the work plan.
struct PlanEntry {
  int32_t calendar_year = 0;
  int32_t segment = 0;  // the repaired piece after a split
  int32_t original_segment = 0;
  int32_t pavement_type = 0;  // before the repair
  int32_t mcd = 0;
  int32_t jurisdiction = 0;
  std::string highway_name;  // as UTF-8 (tool_text.h)
  std::string description;
  float lane_miles = 0.0f;
  int32_t action = 0;  // index into the repair actions
  double cost = 0.0;   // the charge: what the entry adds to the year's spent money
  bool has_scores = true;
  float score_before = 0.0f;
  float score_after = 0.0f;
  bool forced = false;
  bool split = false;
  std::string note;  // why the charge is not the repair's own cost, or what was not made
};

class Ledger : public ExactProjectionObserver {
 public:
  // `loaded`: the base's table as loaded (its keys are the file scores).
  Ledger(const ProjectionInputs& in, const SegmentTable& loaded, const NetworkValues& network,
         const PavementTypes& types, GroupBy by);

  // Called with every entry of the plan as soon as it is complete.
  std::function<void(const PlanEntry&)> on_entry;
  // Called at the end of each year (the loaded year first) with the
  // calendar year, the score of every segment 1..n at its end and its
  // remaining service life at the year's rates (outlook.h).
  std::function<void(int32_t calendar_year, const std::vector<float>& scores,
                     const std::vector<int32_t>& lives)>
      on_conditions;

  // The table the projection changes, where a reservation's segment is
  // found, and the rates it grows each year.
  void watch(const SegmentTable& live, const PavementTypes& rates) {
    live_ = &live;
    live_rates_ = &rates;
  }
  const SegmentTable* live() const { return live_; }

  // The figures of each group, once the projection has ended.
  std::vector<GroupFigures> groups() const;
  // The group of a segment as it stands (an index into groups()), or -1.
  int32_t group_of(const Segment& segment) const;
  int32_t group_count() const { return static_cast<int32_t>(labels_.size()); }

  bool follows_segments_taken() const override { return false; }
  void year_begins(int32_t year, int32_t segment_count) override;
  void forced_repair_reserved(int32_t year, int32_t i, int32_t action, double cost) override;
  void repair_made(const ExactRepairEvent& repair, const Segment& segment) override;
  void segment_done(int32_t year, int32_t t, const Segment& segment, bool forced) override;
  void projection_ends() override;

 private:
  struct Sums {
    float lane_miles = 0.0f, poor = 0.0f, fair_poor = 0.0f, score_miles = 0.0f;
    double spent = 0.0;
    float repaired = 0.0f;
  };
  struct Reservation {
    int32_t segment = 0, action = 0;
    double cost = 0.0;
  };

  Sums& sums(int32_t group, int32_t year);
  void end_year();
  void tell_conditions(int32_t calendar_year);
  void emit(PlanEntry& entry);

  const ProjectionInputs& in_;
  const SegmentTable* live_ = nullptr;
  const int32_t first_year_;
  const GroupBy by_;
  const PavementTypes* live_rates_ = nullptr;
  PavementTypes rates_;  // the rates of year_
  std::map<int32_t, int32_t> group_index_;  // group key (type or code) -> index
  std::vector<std::string> labels_;
  std::vector<std::vector<Sums>> sums_;  // [group][year index]
  int32_t year_ = 1;
  std::vector<Reservation> reserved_;  // this year's, not yet made
  std::vector<PlanEntry> awaiting_;    // repairs waiting for their score after
  std::vector<float> scores_;          // the scores at the end of this year
};

}  // namespace pavecast
