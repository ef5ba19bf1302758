// Engine test networks built in memory: the projection's inputs and tables
// made directly (two pavement types, three repair actions, a policy matrix),
// a number source of given numbers for the order keys, and a fake observer
// that records the year loop's events as lines of text, in the order they
// came. Needs the engine and the model only: no files, no dialogue, no
// listing writer.
#pragma once

#include <cstdio>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "engine/projection.h"
#include "fatal/fatal.h"
#include "model/number_source.h"

namespace pavecast::testing {

// The repair actions of the test set, by index: seal (rank 1, number 28),
// overlay (rank 3, number 47), rebuild (rank 9, number 84).
enum : int32_t { kSeal = 1, kOverlay = 2, kRebuild = 3 };

// Numbers given in turn, as the random numbers file gives them: an empty
// entry stands for an unreadable line. next() fails at the end and at an
// unreadable entry, and starts again from the first number.
class GivenNumbers : public NumberSource {
 public:
  GivenNumbers() = default;
  explicit GivenNumbers(std::vector<std::optional<float>> numbers)
      : numbers_(std::move(numbers)) {}
  bool next(float& number) override {
    if (next_ >= numbers_.size() || !numbers_[next_]) {
      next_ = 0;
      return false;
    }
    number = *numbers_[next_++];
    return true;
  }

 private:
  std::vector<std::optional<float>> numbers_;
  std::size_t next_ = 0;
};

// A number as the event lines show it: six significant digits.
inline std::string shown(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.6g", value);
  return text;
}

// The observer's events, one line each:
//   "year Y: N segments"
//   "taken Y #P: I score S miles M key K"
//   "reserved Y: I by A for C"
//   "repair Y #N: T by A score S miles M for C, spent P[, forced][, split]"
//   "done Y: T score S miles M[ forced]"
//   "end"
template <typename Money>
class RecordingObserver : public BasicProjectionObserver<Money> {
 public:
  std::vector<std::string> events;

  // The events whose line starts with `kind`.
  std::vector<std::string> of(std::string_view kind) const {
    std::vector<std::string> out;
    for (const std::string& e : events)
      if (e.compare(0, kind.size(), kind) == 0) out.push_back(e);
    return out;
  }

  void year_begins(int32_t year, int32_t segment_count) override {
    events.push_back("year " + std::to_string(year) + ": " + std::to_string(segment_count) +
                     " segments");
  }
  void segment_taken(int32_t year, int32_t position, int32_t i, const Segment& s) override {
    events.push_back("taken " + std::to_string(year) + " #" + std::to_string(position) + ": " +
                     std::to_string(i) + " score " + shown(s.score) + " miles " +
                     shown(s.lane_miles) + " key " + shown(s.order_key));
  }
  void forced_repair_reserved(int32_t year, int32_t i, int32_t action, Money cost) override {
    events.push_back("reserved " + std::to_string(year) + ": " + std::to_string(i) + " by " +
                     std::to_string(action) + " for " + shown(cost));
  }
  void repair_made(const BasicRepairEvent<Money>& r, const Segment& s) override {
    events.push_back("repair " + std::to_string(r.year) + " #" +
                     std::to_string(r.repair_number) + ": " + std::to_string(r.segment) +
                     " by " + std::to_string(r.action) + " score " + shown(s.score) + " miles " +
                     shown(s.lane_miles) + " for " + shown(r.cost) + ", spent " +
                     shown(r.spent) + (r.forced ? ", forced" : "") + (r.split ? ", split" : ""));
  }
  void segment_done(int32_t year, int32_t t, const Segment& s, bool forced) override {
    events.push_back("done " + std::to_string(year) + ": " + std::to_string(t) + " score " +
                     shown(s.score) + " miles " + shown(s.lane_miles) +
                     (forced ? " forced" : ""));
  }
  void projection_ends() override { events.push_back("end"); }
};

// One network and its engine. Defaults: worst-first order under a budget
// ("Y"), $1,000M a year, every rate 0.5 (type 1) or 0.25 (type 2), priority
// 1 for classes 1..8; the matrix gives rebuild to classes 1-2, overlay to
// 3-5, seal to 6-8 and nothing to 9-10.
template <typename Money>
struct BasicTestNetwork {
  ProjectionInputs in;
  SegmentTable segments;
  PavementTypes pavement;
  ForcedRepairs forced;
  BasicStatistics<Money> stats;
  RecordingObserver<Money> observer;
  GivenNumbers numbers;  // the order keys' numbers
  std::unique_ptr<BasicProjection<Money>> engine;

  explicit BasicTestNetwork(int32_t years = 1, int32_t capacity = kProgramSegmentCapacity)
      : segments(capacity) {
    in.year_slots = years + 1;
    in.budget = ForcedRepairBudget::kReserveAndExempt;
    in.order = RepairOrder::kWorstFirst;
    set_funding(1000.0f);
    for (int c = 1; c <= kClasses; ++c) in.priority[c] = c <= 8 ? 1 : 1000;

    pavement.pavement_type_count = 2;
    pavement.pavement_type_name[1] = "ASPHALT";
    pavement.pavement_type_name[2] = "CONCRETE";
    for (int j = 1; j <= kClasses; ++j) {
      pavement.det_rate[1][j] = 0.5f;
      pavement.det_rate[2][j] = 0.25f;
    }

    RepairActions& a = in.actions;
    a.action_count = 3;
    a[kSeal] = {1, 28, 1000, "Seal", 1.0f, 0.1f, 0};
    a[kOverlay] = {3, 47, 1000, "Overlay", 3.0f, 0.4f, 0};
    a[kRebuild] = {9, 84, 1000, "Rebuild", 9.0f, 2.0f, 0};
    for (int p = 1; p <= 2; ++p)
      for (int c = 1; c <= kClasses; ++c)
        in.policy[p][c] = c <= 2 ? 84 : c <= 5 ? 47 : c <= 8 ? 28 : 0;
  }

  void set_funding(float amount) { in.funding.fill(amount); }

  // Adds a segment as the loader would (worst/best-first key: the score).
  int32_t add_segment(float score, float miles, int32_t type = 1) {
    const int32_t i = segments.add();
    Segment& s = segments[i];
    s.score = score;
    s.lane_miles = miles;
    s.pavement_type = type;
    s.original_number = i;
    s.order_key = score;
    in.total_lane_miles += miles;
    return i;
  }

  void force(int32_t year, int32_t segment) {
    const int32_t k = ++forced.forced_count;
    forced.forced_year[k] = year;
    forced.forced_segment[k] = segment;
    if (segment >= 1 && segment <= segments.rows_made()) segments[segment].forced_index = k;
  }

  // Random reconstruction at `percent`, every number 0.9 (never drawn below
  // a percent under 90) until a test sets some.
  void reconstruct(float percent) {
    in.reconstruction.on = true;
    in.reconstruction.probability = percent / 100.0f;
    in.reconstruction.numbers.fill(0.9f);
  }

  const BasicProjection<Money>& run(SegmentSelection* selection = nullptr) {
    engine = std::make_unique<BasicProjection<Money>>(
        in, typename BasicProjection<Money>::Tables{segments, pavement, forced, stats}, observer,
        &numbers, selection);
    engine->run();
    return *engine;
  }

  // The engine of the last run, as it ended.
  const BasicProjection<Money>& end() const { return *engine; }
};

using TestNetwork = BasicTestNetwork<float>;

// The console text of the fatal stop `f` raises, or "(no fatal stop)".
inline std::string stop_text_of(const std::function<void()>& f) {
  try {
    f();
  } catch (const FatalStop& stop) {
    return stop.console_text;
  }
  return "(no fatal stop)";
}

}  // namespace pavecast::testing
