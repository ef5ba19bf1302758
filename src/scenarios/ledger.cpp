#include "scenarios/ledger.h"

#include <algorithm>
#include <string>

#include "engine/repair.h"
#include "model/condition_class.h"
#include "model/whole_number.h"
#include "scenarios/tool_text.h"

namespace pavecast {

Ledger::Ledger(const ProjectionInputs& in, const SegmentTable& loaded, const NetworkValues& network,
               const PavementTypes& types, GroupBy by)
    : in_(in), first_year_(network.first_year), by_(by), rates_(types) {
  if (by_ == GroupBy::kType) {
    for (int32_t p = 1; p <= types.pavement_type_count; ++p) {
      group_index_[p] = static_cast<int32_t>(labels_.size());
      labels_.push_back(from_latin1(types.pavement_type_name[p].trimmed()));
    }
  } else if (by_ == GroupBy::kJurisdiction) {
    for (int32_t i = 1; i <= loaded.segment_count; ++i) group_index_[loaded[i].jurisdiction] = 0;
    for (auto& [code, index] : group_index_) {
      index = static_cast<int32_t>(labels_.size());
      labels_.push_back("jurisdiction " + std::to_string(code));
    }
  }
  sums_.assign(labels_.size(), std::vector<Sums>(static_cast<std::size_t>(in.year_slots) + 1));

  // The loaded year, classified by the file score as the network's is: the
  // base's keys are the file scores.
  scores_.assign(static_cast<std::size_t>(loaded.segment_count) + 1, 0.0f);
  for (int32_t i = 1; i <= loaded.segment_count; ++i) {
    const Segment& seg = loaded[i];
    scores_[static_cast<std::size_t>(i)] = seg.score;
    if (labels_.empty()) continue;
    Sums& s = sums(group_of(seg), 1);
    const double m = seg.lane_miles;
    const float file_score = seg.order_key;
    s.lane_miles = static_cast<float>(s.lane_miles + m);
    if (file_score <= 6.0f) s.fair_poor = static_cast<float>(s.fair_poor + m);
    if (file_score < 6.0f) s.poor = static_cast<float>(s.poor + m);
    s.score_miles = static_cast<float>(s.score_miles + m * seg.score);
  }
}

int32_t Ledger::group_of(const Segment& segment) const {
  const int32_t key = by_ == GroupBy::kType ? segment.pavement_type : segment.jurisdiction;
  auto it = group_index_.find(key);
  return it == group_index_.end() ? -1 : it->second;
}

Ledger::Sums& Ledger::sums(int32_t group, int32_t year) {
  static Sums nowhere;
  if (group < 0 || year < 1 || year > in_.year_slots) return nowhere = Sums{};
  return sums_[static_cast<std::size_t>(group)][static_cast<std::size_t>(year)];
}

void Ledger::year_begins(int32_t year, int32_t /*segment_count*/) {
  if (year == 2) {
    tell_conditions(first_year_);
  } else {
    end_year();
  }
  if (live_rates_) rates_ = *live_rates_;
  year_ = year;
}

void Ledger::forced_repair_reserved(int32_t year, int32_t i, int32_t action, double cost) {
  reserved_.push_back({i, action, cost});
  // The group the segment is in now pays for it.
  if (live_ != nullptr) {
    Sums& s = sums(group_of((*live_)[i]), year);
    s.spent += cost;
  }
}

namespace {

// An entry for segment t of year index `year`, with the segment's fields.
PlanEntry entry_for(int32_t calendar_year, int32_t t, const Segment& seg) {
  PlanEntry e;
  e.calendar_year = calendar_year;
  e.segment = t;
  e.original_segment = seg.original_number;
  e.pavement_type = seg.pavement_type;
  e.mcd = seg.mcd;
  e.jurisdiction = seg.jurisdiction;
  e.highway_name = from_latin1(seg.highway_name.trimmed());
  e.description = from_latin1(seg.segment_description.trimmed());
  e.lane_miles = seg.lane_miles;
  return e;
}

}  // namespace

void Ledger::emit(PlanEntry& entry) {
  if (on_entry) on_entry(entry);
}

void Ledger::repair_made(const ExactRepairEvent& r, const Segment& seg) {
  PlanEntry e = entry_for(first_year_ - 1 + r.year, r.segment, seg);
  e.action = r.action;
  e.score_before = seg.score;
  e.forced = r.forced;
  e.split = r.split;
  e.cost = r.cost;
  if (r.forced && reserves_forced_repairs(in_)) {
    auto it = std::find_if(reserved_.begin(), reserved_.end(),
                           [&](const Reservation& v) { return v.segment == r.segment; });
    if (it == reserved_.end()) {
      e.cost = 0.0;
      e.note = "forced, not reserved: the rules charge nothing for it";
    } else {
      e.cost = it->cost;
      e.note = "forced: reserved at the start of the year";
      if (it->action != r.action)
        e.note += "; a reconstruction costing " + std::to_string(r.cost) + " was made instead";
      reserved_.erase(it);
    }
  } else {
    Sums& s = sums(group_of(seg), r.year);
    s.spent += r.cost;
  }
  Sums& s = sums(group_of(seg), r.year);
  s.repaired = static_cast<float>(static_cast<double>(s.repaired) + seg.lane_miles);
  awaiting_.push_back(std::move(e));
}

void Ledger::segment_done(int32_t year, int32_t t, const Segment& seg, bool forced) {
  if (static_cast<std::size_t>(t) >= scores_.size())
    scores_.resize(static_cast<std::size_t>(t) + 1);
  scores_[static_cast<std::size_t>(t)] = seg.score;

  if (!labels_.empty()) {
    Sums& s = sums(group_of(seg), year);
    const int32_t c = condition_class(seg.score, kPolicyOffset);
    const double m = seg.lane_miles;
    s.lane_miles = static_cast<float>(s.lane_miles + m);
    if (c <= 6) s.fair_poor = static_cast<float>(s.fair_poor + m);
    if (c <= 5) s.poor = static_cast<float>(s.poor + m);
    s.score_miles = static_cast<float>(s.score_miles + m * seg.score);
  }

  for (auto it = awaiting_.begin(); it != awaiting_.end(); ++it) {
    if (it->segment != t) continue;
    it->score_after = seg.score;
    emit(*it);
    awaiting_.erase(it);
    return;
  }
  // A forced repair reserved for but put off: the money reserved is spent all the same.
  if (!forced) return;
  auto it = std::find_if(reserved_.begin(), reserved_.end(),
                         [&](const Reservation& v) { return v.segment == t; });
  if (it == reserved_.end()) return;
  PlanEntry e = entry_for(first_year_ - 1 + year, t, seg);
  e.action = it->action;
  e.cost = it->cost;
  e.has_scores = false;
  e.score_after = seg.score;
  e.forced = true;
  e.note = "forced, reserved at the start of the year but put off to the next year";
  reserved_.erase(it);
  emit(e);
}

void Ledger::end_year() {
  for (PlanEntry& e : awaiting_) emit(e);
  awaiting_.clear();
  for (const Reservation& v : reserved_) {
    PlanEntry e;
    e.calendar_year = first_year_ - 1 + year_;
    e.segment = v.segment;
    e.action = v.action;
    e.cost = v.cost;
    e.has_scores = false;
    e.forced = true;
    e.note = "forced, reserved at the start of the year but not made";
    emit(e);
  }
  reserved_.clear();
  if (year_ >= 2) tell_conditions(first_year_ - 1 + year_);
}

void Ledger::tell_conditions(int32_t calendar_year) {
  if (!on_conditions) return;
  std::vector<int32_t> lives(scores_.size(), kLifeCap);
  for (std::size_t i = 1; i < scores_.size(); ++i) {
    Segment seg;
    seg.score = scores_[i];
    seg.pavement_type = 0;
    if (live_ && static_cast<int32_t>(i) <= live_->segment_count)
      seg.pavement_type = (*live_)[static_cast<int32_t>(i)].pavement_type;
    lives[i] = remaining_life(seg, rates_);
  }
  on_conditions(calendar_year, scores_, lives);
}

void Ledger::projection_ends() {
  if (year_ >= 2)
    end_year();
  else
    tell_conditions(first_year_);  // no simulated year: the loaded year alone
}

std::vector<GroupFigures> Ledger::groups() const {
  std::vector<GroupFigures> out;
  for (std::size_t g = 0; g < labels_.size(); ++g) {
    GroupFigures figures;
    figures.label = labels_[g];
    double miles_repaired = 0.0;
    for (int32_t y = 1; y <= in_.year_slots; ++y) {
      const Sums& s = sums_[g][static_cast<std::size_t>(y)];
      YearFigures f =
          year_figures(first_year_ - 1 + y, s.lane_miles, s.poor, s.fair_poor, s.score_miles);
      if (y >= 2) {
        f.spent = s.spent;
        f.miles_repaired = whole(s.repaired, kLaneMilesOffset);
        figures.total_spent += s.spent;
        miles_repaired += f.miles_repaired;
      }
      figures.years.push_back(f);
    }
    figures.total_miles_repaired = static_cast<int32_t>(miles_repaired);
    out.push_back(std::move(figures));
  }
  return out;
}

}  // namespace pavecast
