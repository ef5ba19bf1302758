// The projection: the year loop that carries the network from the loaded year
// to the last, repairing or deteriorating every segment each year and
// gathering the statistics by year. It opens no file and writes no console
// line: what it needs comes in typed, what it writes goes to an observer.
//
// In (read only): ProjectionInputs, and the random numbers of the order keys
// (a NumberSource, drawn under random and priority order only).
//
// Changed in place (ProjectionTables): the segment table (repaired,
// deteriorated, split: pieces are added at the end), the deterioration rates
// (raised by traffic growth every year), the forced-repair list (an entry put
// off moves to a later year) and the statistics of years 2..year_slots (year
// 1 is the network as loaded and is left as it is).
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

struct Reconstruction {
  bool on = false;           // asked for, and a percent above 0.001 loaded the numbers
  float probability = 0.0f;  // a fraction: a draw at or below it rebuilds the segment
  std::array<float, kReconNumbers + 1> numbers{};  // drawn in turn, 1..500, cycling
};

struct ProjectionInputs {
  int32_t year_slots = 1;  // years + 1; at most kMaxYearSlots are simulated
  RepairOrder order = RepairOrder::kRandom;
  // The dollars answer as given. A budget reserves forced repairs for any
  // answer but "N" or "n", yet only "Y" exempts them from the money check
  // when they are made: another saved letter kept by Enter reserves their
  // cost and charges it again.
  char budget_constrained = 'N';
  PerYear<float> funding{};
  Priorities priority{};
  RepairActions actions;
  PolicyMatrix policy{};
  PerYear<float> vmt_increase{};
  Reconstruction reconstruction;
};

struct ProjectionTables {
  SegmentTable& segments;
  PavementTypes& pavement;
  ForcedRepairs& forced;
  Statistics& stats;
};

// A repair as the improvements listing records it: action k on segment t,
// told before the segment changes.
struct RepairEvent {
  int32_t year = 0;
  int32_t repair_number = 0;  // the year's count of repairs tried
  int32_t segment = 0;        // t: the repaired piece after a split
  int32_t action = 0;         // k, an index into the repair actions
  float cost = 0.0f;
  float spent = 0.0f;   // the year's money spent so far, this repair included
  bool forced = false;  // made in the end-of-year pass of forced repairs
  bool split = false;   // t is the piece split off the segment taken
};

class ProjectionObserver {
 public:
  virtual ~ProjectionObserver() = default;
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
                                      float /*cost*/) {}
  virtual void repair_made(const RepairEvent& /*repair*/, const Segment& /*segment*/) {}
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

// The state of the year loop. Built over the inputs and tables of one run,
// run() carries them through every year; the state it ends with (the money
// left, the split of the last year) can be read afterwards.
struct Projection {
  // `order_numbers` is needed under random and priority order only;
  // `selection` picks the next segment of the year's pass (default: the
  // ordered selection of selection.h).
  Projection(const ProjectionInputs& inputs, const ProjectionTables& tables,
             ProjectionObserver& observer, NumberSource* order_numbers = nullptr,
             SegmentSelection* selection = nullptr);

  void run();
  // The pass order's keys from the rows' order_key, nothing handled: done
  // when the projection is built and again when it runs.
  void take_keys_from_rows();

  // Segment i's key, in its row and in the pass order alike.
  void set_key(int32_t i, float key) {
    segments[i].order_key = key;
    pass.key[static_cast<std::size_t>(i)] = key;
  }

  const ProjectionInputs& in;
  SegmentTable& segments;
  PavementTypes& pavement;
  ForcedRepairs& forced;
  Statistics& stats;
  ProjectionObserver& observer;
  NumberSource* order_numbers;
  SegmentSelection* selection;

  int32_t loaded_count = 0;  // segment_count when the loop began
  int32_t year = 0;
  float funds = 0.0f;         // money left, carried from year to year
  int32_t split_segment = 0;  // the segment split this year, or 0
  int32_t forced_pass = 0;    // 1 in the end-of-year pass of forced repairs
  int32_t repair_number = 0;
  int32_t list_position = 0;
  float year_miles_repaired = 0.0f;
  int32_t recon_cursor = kReconNumbers + 1;  // the first draw takes number 1
  PassOrder pass;
  // The first action carrying policy[p][c], or 0: found once for the run
  // rather than for every segment every year.
  std::array<std::array<int32_t, kClasses + 1>, kMaxPavementTypes + 1> matrix_action{};
};

}  // namespace pavecast
