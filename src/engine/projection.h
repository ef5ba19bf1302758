// The projection: the year loop that carries the network from the loaded year
// to the last, repairing or deteriorating every segment each year and
// gathering the statistics by year. It opens no file and writes no console
// line: what it needs comes in typed, what it writes goes to an observer.
//
// In (read only): ProjectionInputs, and the random numbers of the order keys
// (a NumberSource, drawn under random and priority order only, unless the
// inputs give keyed numbers for them).
//
// Changed in place (ProjectionTables): the segment table (repaired,
// deteriorated, split: pieces are added at the end), the deterioration rates
// (raised by traffic growth every year), the forced-repair list (an entry put
// off moves to a later year) and the statistics of years 2..year_slots (year
// 1 is the network as loaded and is left as it is, but for its derived
// percentages). When the loop ends, the percentages and mean score of every
// year 1..year_slots are derived from the lane-mile sums.
//
// Money (funds, costs, spent, the cost by action) is the engine's parameter:
// Projection keeps it in float, as the program must, every formula evaluated
// in double from the stored operands and rounded to float when stored;
// ExactProjection keeps it in double (the scenario tool's), where a year
// never spends more than its money (the piece of a split is shortened until
// its cost fits) and the sums carry no single-precision drift.
//
// Each simulated year y = 2..year_slots, in this order:
//   1. traffic growth: every rate times 1 + 0.75 x vmt_increase(y - 1);
//   2. observer.year_begins(y, segment_count);
//   3. the year's money added to the funds carried over;
//   4. under a budget (any dollars answer but "N" or "n"), the cost of the
//      year's forced repairs reserved out of the funds (observer.
//      forced_repair_reserved for each);
//   5. random and priority order: every segment's key drawn; cost-effective
//      order: every key computed (selection.h);
//   6. the segment pass: each segment taken once in the repair order
//      (observer.segment_taken), then repaired (observer.repair_made, told
//      before the segment changes) or deteriorated, then
//      observer.segment_done with the segment as it ends the year (after a
//      split: the repaired piece now, the remainder when taken again);
//   7. the end-of-year pass of the year's forced repairs, in list order, each
//      with repair_made and segment_done marked forced;
//   8. the year's totals.
// After the last year: observer.projection_ends(). Nothing is simulated when
// year_slots is below 2.
//
// The fatal conditions of the loop (a matrix action no repair action carries,
// no repair for a score of 1, a table that would grow beyond its capacity, a
// repair giving a pavement type without rates) stop the run with FatalStop.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "model/number_source.h"
#include "model/parameter_tables.h"
#include "model/repair_order.h"
#include "model/segment_table.h"
#include "model/statistics.h"

namespace pavecast {

// What the dollars answer means for forced repairs. Any answer but "N" or
// "n" reserves their cost out of the year's money at its start; only "Y"
// then exempts them from the money check when they are made, while another
// saved letter kept by Enter reserves their cost and charges it again.
enum class ForcedRepairBudget : uint8_t {
  kNeither,                // not constrained by dollars: nothing reserved
  kReserveAndExempt,       // "Y"
  kReserveAndChargeAgain,  // any other letter but "N" or "n"
};

// The behaviour a saved dollars answer stands for.
inline ForcedRepairBudget forced_repair_budget_of(char dollars_answer) {
  if (dollars_answer == 'N' || dollars_answer == 'n') return ForcedRepairBudget::kNeither;
  return dollars_answer == 'Y' ? ForcedRepairBudget::kReserveAndExempt
                               : ForcedRepairBudget::kReserveAndChargeAgain;
}

struct Reconstruction {
  bool on = false;           // asked for, and a percent above 0.001 loaded the numbers
  float probability = 0.0f;  // a fraction: a draw at or below it rebuilds the segment
  std::array<float, kReconNumbers + 1> numbers{};  // drawn in turn, 1..500, cycling
  // When set, a segment's try in a year takes its own number instead of the
  // next of `numbers`.
  const KeyedNumbers* keyed = nullptr;
};

struct ProjectionInputs {
  int32_t year_slots = 1;  // years + 1; at most kMaxYearSlots are simulated
  RepairOrder order = RepairOrder::kRandom;
  ForcedRepairBudget budget = ForcedRepairBudget::kNeither;
  PerYear<float> funding{};
  Priorities priority{};
  RepairActions actions;
  PolicyMatrix policy{};
  PerYear<float> vmt_increase{};
  Reconstruction reconstruction;
  float total_lane_miles = 0.0f;  // the network's as loaded: the percentages' divisor
  // When set, random and priority order take each segment's number for the
  // year from here instead of the order numbers drawn in turn.
  const KeyedNumbers* keyed_order = nullptr;
};

// The budget test of the forced repairs' reservation.
inline bool reserves_forced_repairs(const ProjectionInputs& in) {
  return in.budget != ForcedRepairBudget::kNeither;
}

// The budget test of a forced repair as it is made: such a repair was
// reserved at the start of the year, so it is neither checked against the
// money left nor taken from it.
inline bool exempts_forced_repairs(const ProjectionInputs& in) {
  return in.budget == ForcedRepairBudget::kReserveAndExempt;
}

template <typename Money>
struct BasicProjectionTables {
  SegmentTable& segments;
  PavementTypes& pavement;
  ForcedRepairs& forced;
  BasicStatistics<Money>& stats;
};

// A repair as the improvements listing records it: action k on segment t,
// told before the segment changes.
template <typename Money>
struct BasicRepairEvent {
  int32_t year = 0;
  int32_t repair_number = 0;  // the year's count of repairs tried
  int32_t segment = 0;        // t: the repaired piece after a split
  int32_t action = 0;         // k, an index into the repair actions
  Money cost = 0;
  Money spent = 0;      // the year's money spent so far, this repair included
  bool forced = false;  // made in the end-of-year pass of forced repairs
  bool split = false;   // t is the piece split off the segment taken
};

template <typename Money>
class BasicProjectionObserver {
 public:
  virtual ~BasicProjectionObserver() = default;
  // Whether the observer wants segment_taken and segment_done, told for
  // every segment every year; asked once, when the projection runs. An
  // observer that leaves them empty may say no, and the pass saves the
  // calls.
  virtual bool follows_segments_taken() const { return true; }
  virtual bool follows_segments_done() const { return true; }
  virtual void year_begins(int32_t /*year*/, int32_t /*segment_count*/) {}
  // Segment i taken by the year's pass, the `position`-th of the year.
  virtual void segment_taken(int32_t /*year*/, int32_t /*position*/, int32_t /*i*/,
                             const Segment& /*segment*/) {}
  // The cost of forced repair `action` on segment i, reserved at the start of
  // the year (and counted in spent then, not when the repair is made).
  virtual void forced_repair_reserved(int32_t /*year*/, int32_t /*i*/, int32_t /*action*/,
                                      Money /*cost*/) {}
  virtual void repair_made(const BasicRepairEvent<Money>& /*repair*/,
                           const Segment& /*segment*/) {}
  // Segment t as it ends the year's pass, or its end-of-year forced repair.
  virtual void segment_done(int32_t /*year*/, int32_t /*t*/, const Segment& /*segment*/,
                            bool /*forced*/) {}
  virtual void projection_ends() {}
};

class SegmentSelection;

// What the year's pass orders segments 1..segment_count by: each one's order
// key and whether the pass has taken it this year. Kept beside the table
// rather than in its rows, so that the work done for every segment at the
// start of a year (drawing the keys, clearing the marks, sorting) reads and
// writes a few bytes of each segment instead of a row. A row's order_key is
// set from `key` when the pass takes the segment, before the observer is
// told, and both change together when keys follow the score.
struct PassOrder {
  std::vector<float> key;        // [1..segment_count]
  std::vector<uint8_t> handled;  // 1 once taken (or made, or forced) this year

  int32_t count() const { return static_cast<int32_t>(key.size()) - 1; }
};

// The year loop over the inputs and tables of one run: run() carries them
// through every year. The loop's own state is private; what it ends with
// (the money left, the split of the last year, the reconstruction draws
// used) can be read afterwards.
template <typename Money>
class BasicProjection {
 public:
  using Tables = BasicProjectionTables<Money>;
  using Observer = BasicProjectionObserver<Money>;

  // `order_numbers` is needed under random and priority order only;
  // `selection` picks the next segment of the year's pass (default: the
  // ordered selection of selection.h).
  BasicProjection(const ProjectionInputs& inputs, const Tables& tables, Observer& observer,
                  NumberSource* order_numbers = nullptr, SegmentSelection* selection = nullptr);

  void run();

  // The end state.
  Money funds() const { return funds_; }                // money left, carried over
  int32_t split_segment() const { return split_segment_; }  // split in the last year, or 0
  int32_t recon_cursor() const { return recon_cursor_; }    // the last reconstruction draw

 private:
  template <typename Selection>
  void segment_pass(Selection& selection);

  // Deterioration and the year's statistics (deterioration.h).
  void apply_traffic_growth();
  void deteriorate(int32_t i, int32_t c);
  void accumulate_statistics(int32_t t);
  void close_year_statistics();
  void derive_statistics();

  // The repair decision and the budget (repair.h).
  bool reserved_forced_repair() const;
  int32_t choose_and_apply_repair(int32_t i);
  int32_t repair_by_matrix(int32_t i, int32_t c);
  int32_t apply_repair(int32_t i, int32_t k);
  int32_t split_off(int32_t i, int32_t k, Money& cost);
  [[noreturn]] void fatal_no_match(int32_t number, int32_t p, int32_t c, int32_t i) const;

  // Forced repairs (forced_repairs.h) and reconstruction (reconstruction.h).
  bool forced_entry_takes_part(int32_t k) const;
  void reserve_forced_repairs();
  void handle_forced_repairs();
  bool try_random_reconstruction(int32_t i, int32_t& k);

  // The order keys (selection.h).
  void take_keys_from_rows();
  void set_key(int32_t i, float key) {
    segments_[i].order_key = key;
    pass_.key[static_cast<std::size_t>(i)] = key;
  }
  void draw_order_keys();
  void rank_by_cost_effectiveness();

  const ProjectionInputs& in_;
  SegmentTable& segments_;
  PavementTypes& pavement_;
  ForcedRepairs& forced_;
  BasicStatistics<Money>& stats_;
  Observer& observer_;
  NumberSource* order_numbers_;
  SegmentSelection* selection_;

  int32_t loaded_count_ = 0;  // segment_count when the loop began
  int32_t year_ = 0;
  Money funds_ = 0;            // money left, carried from year to year
  int32_t split_segment_ = 0;  // the segment split this year, or 0
  bool forced_pass_ = false;   // in the end-of-year pass of forced repairs
  int32_t repair_number_ = 0;
  int32_t list_position_ = 0;
  float year_miles_repaired_ = 0.0f;
  int32_t recon_cursor_ = kReconNumbers + 1;  // the first draw takes number 1
  PassOrder pass_;
  // The first action carrying policy[p][c], or 0: found once for the run
  // rather than for every segment every year.
  std::array<std::array<int32_t, kClasses + 1>, kMaxPavementTypes + 1> matrix_action_{};
};

// The program's engine: money in single precision.
using Projection = BasicProjection<float>;
using ProjectionTables = BasicProjectionTables<float>;
using ProjectionObserver = BasicProjectionObserver<float>;
using RepairEvent = BasicRepairEvent<float>;

// The scenario tool's engine: money in double precision.
using ExactProjection = BasicProjection<double>;
using ExactProjectionTables = BasicProjectionTables<double>;
using ExactProjectionObserver = BasicProjectionObserver<double>;
using ExactRepairEvent = BasicRepairEvent<double>;
using ExactStatistics = BasicStatistics<double>;

extern template class BasicProjection<float>;
extern template class BasicProjection<double>;

}  // namespace pavecast
