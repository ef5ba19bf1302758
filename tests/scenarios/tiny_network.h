// The small parameter set most scenarios share, worked so that every cost,
// score and rate is exact in binary: three repair actions, two pavement
// types, rates in quarters of a point.
//
//   action  rank  limit  gain  cost per 2 lane-miles  new type
//   10 Seal    1     2    1.0   0.125
//   20 Overlay 2     1*   3.0   0.500                  (* changeable)
//   30 Rebuild 9  none    9.0   1.000                  1 (ASPH)
//
//   class      1    2    3    4    5    6    7    8    9   10
//   ASPH rate 1.00 1.00 1.00 0.75 0.75 0.50 0.50 0.50 0.25 0.25
//   ASPH act   30   30   20   20   10   10   10    0    0    0
//   CONC rate 0.75 0.75 0.50 0.50 0.50 0.50 0.25 0.25 0.25 0.25
//   CONC act   30   30   30   20   20   10    0    0    0    0
#pragma once

#include <string>

#include "support/scenario.h"

namespace pavecast::scenarios {

inline void write_tiny_parameters(const TempDir& dir) {
  dir.write("data/default.dat", " \nN\n 1\n");
  dir.write("data/printer.def", "1\n");
  dir.write("data/repairs.dat", repair_record(1, 10, 2, ' ', "Seal", "1.0", "0.125", 0) +
                                    repair_record(2, 20, 1, '*', "Overlay", "3.0", "0.500", 0) +
                                    repair_record(9, 30, 9, ' ', "Rebuild", "9.0", "1.000", 1));
  dir.write("data/detrates.dat",
            lines({"ASPH", "0.25", "0.25", "0.50", "0.50", "0.50", "0.75", "0.75",
                   "1.00", "1.00", "1.00", "CONC", "0.25", "0.25", "0.25", "0.25",
                   "0.50", "0.50", "0.50", "0.50", "0.75", "0.75"}));
  dir.write("data/matrix.dat", lines({"ASPH", "30 30 20 20 10 10 10  0  0  0", "CONC",
                                      "30 30 30 20 20 10  0  0  0  0"}));
}

// The policy block of a report on the tiny parameters with the rates as read.
inline std::string tiny_policy_block() {
  return policy_heading("ASPH    ", "CONC    ", "        ") +
         policy_row(10, 2, "Seal", "0.125", 10, {"0.25", "0.25"}) +
         policy_row(20, 1, "Overlay", "0.500", 9, {"0.25", "0.25"}) +
         policy_row(30, 9, "Rebuild", "1.000", 8, {"0.50", "0.25"}) +
         rates_row(7, {"0.50", "0.25"}) + rates_row(6, {"0.50", "0.50"}) +
         rates_row(5, {"0.75", "0.50"}) + rates_row(4, {"0.75", "0.50"}) +
         rates_row(3, {"1.00", "0.50"}) + rates_row(2, {"1.00", "0.75"}) +
         rates_row(1, {"1.00", "0.75"});
}

// A line of the short segment list: position, segment, type, year, class,
// lane-miles and key as printed.
inline std::string list_line(int position, int segment, int type, int year, int cls,
                             std::string_view miles, std::string_view key) {
  return right(std::to_string(position), 4) + blanks(3) + right(std::to_string(segment), 4) +
         right(std::to_string(type), 5) + right(std::to_string(year), 5) +
         right(std::to_string(cls), 6) + right(miles, 9) + right(key, 9) + "\n";
}

// A line of the short improvements file.
inline std::string repair_line(int number, int segment, int type, int year, int cls, int action,
                               std::string_view miles, std::string_view cost,
                               std::string_view spent) {
  return right(std::to_string(number), 4) + blanks(3) + right(std::to_string(segment), 4) +
         right(std::to_string(type), 4) + right(std::to_string(year), 5) +
         right(std::to_string(cls), 6) + right(std::to_string(action), 8) + right(miles, 7) +
         right(cost, 8) + right(spent, 8) + "\n";
}

}  // namespace pavecast::scenarios
