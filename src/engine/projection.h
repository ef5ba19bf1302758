// The projection: the year loop that carries the segment table from the
// loaded year to the last, repairing or deteriorating every segment each year
// and gathering the statistics by year.
//
// Year 1 is the network as loaded; years 2..year_slots are simulated. Each
// year: traffic growth on the rates, the year records of the listings, the
// console year message, the year's money, the reservation of forced repairs
// under a budget, the order keys, then the segment pass (every segment taken
// once in the repair order, a split segment's remainder taken again), the
// end-of-year pass of forced repairs and the year's totals. A run ends with a
// console record of 64 blanks that clears the year message.
#pragma once

#include "io/console.h"
#include "app/run_context.h"

namespace pavecast {

// How the segment pass picks the next segment: the sorted order the program
// uses, or the whole-table scan it reproduces (for tests and benchmarks).
enum class SelectionMethod { kOrdered, kLiteralScan };

void run_projection(RunContext& ctx, Console& console);
void run_projection(RunContext& ctx, Console& console, SelectionMethod method);

// Reads data\vmt-inc.dat into vmt_increase (percent / 100) when the traffic
// increases are wanted; missing or unreadable years are 0.0.
void read_traffic_increases(RunContext& ctx);

}  // namespace pavecast
