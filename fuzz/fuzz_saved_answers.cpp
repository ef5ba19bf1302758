// The saved answers: data/default.dat and data/default2.dat are read, written
// back as a run does after its last question, and read again. Whatever the
// program could read, it must write back in a form the next run can read,
// with the same answers.
#include <string>

#include "dialogue/saved_answers.h"
#include "fuzz_support.h"

using namespace pavecast;

namespace {

// The file convention drops one CR at the end of a line: a text or letter
// that ends in CR reads back with a blank there.
std::string normal(std::string text) {
  if (!text.empty() && text.back() == '\r') text.back() = ' ';
  return text;
}

// The answers that a run which accepts every default writes back unchanged
// (the two reals are rounded to the decimals of their written layouts).
struct Answers {
  int32_t printout_type = 0, years = 0, repair_order = 0, split_factor = 0, data_set = 0;
  std::string letters, force_fix_file, scores_name;

  static Answers of(const RunSettings& c) {
    Answers a;
    a.printout_type = c.printout_type;
    a.years = c.default_years;
    a.repair_order = c.repair_order;
    a.split_factor = c.split_factor;
    a.data_set = c.default_data_set;
    for (char letter :
         {c.date_time_answer, c.trace_answer, c.force_fix_answer, c.budget_constrained,
          c.change_repeat_policy, c.split_answer, c.randomize_answer, c.reconstruct_answer,
          c.final_conditions_answer, c.print_answer, c.auxiliary_answer, c.vmt_answer})
      a.letters += normal(std::string(1, letter));
    a.force_fix_file = normal(c.force_fix_file.str());
    a.scores_name = normal(c.default_scores_name.str());
    return a;
  }
  bool operator==(const Answers&) const = default;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  fuzz::Bundle bundle = fuzz::parse_bundle(data, size);
  fuzz::Scratch::get().reset(bundle);
  auto ctx = fuzz::make_context();
  if (!fuzz::run_stage([&] {
        read_default_dat(ctx->settings, ctx->workdir);
        ctx->settings.secondary_data_answer = 'N';
        ctx->settings.answers_file_name = "data\\default2.dat";
        read_saved_answers(ctx->settings, ctx->workdir);
      }))
    return 0;

  // A run that keeps every default (a reconstruction answer other than N
  // would hold the probability as a fraction; this one keeps the percent).
  ctx->settings.years = ctx->settings.default_years;
  ctx->settings.data_set = ctx->settings.default_data_set;
  ctx->settings.scores_name = ctx->settings.default_scores_name;
  if (!is_no(ctx->settings.reconstruct_answer))
    ctx->settings.reconstruct_probability =
        static_cast<float>(ctx->settings.reconstruct_probability / 100.0);
  Answers before = Answers::of(ctx->settings);
  fuzz::check(fuzz::run_stage([&] { write_back_saved_answers(ctx->settings, ctx->workdir); }),
              "the saved answers can be written back");

  auto next = fuzz::make_context();
  fuzz::check(fuzz::run_stage([&] {
                read_default_dat(next->settings, next->workdir);
                next->settings.answers_file_name = "data\\default2.dat";
                read_saved_answers(next->settings, next->workdir);
              }),
              "the next run can read the answers written back");
  fuzz::check(Answers::of(next->settings) == before, "the next run reads the same answers");
  return 0;
}
