// The echo of the dialogue: each question writes one line, the question with
// its final answer, to the user-inputs file "userdata.tmp", which becomes
// the run's inputs record at the end.
#pragma once

#include <initializer_list>

#include "app/run_context.h"
#include "layout/layout.h"

namespace pavecast {

inline void echo(RunContext& ctx, const layout::Layout& layout,
                 std::initializer_list<layout::Item> items) {
  if (ctx.files.echo) ctx.files.echo->write(layout, items);
}

inline void echo_line(RunContext& ctx, std::string_view text) {
  if (ctx.files.echo) {
    ctx.files.echo->write(text);
    ctx.files.echo->write("\n");
  }
}

}  // namespace pavecast
