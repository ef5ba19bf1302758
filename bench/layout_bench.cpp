// Cost of writing and reading one record with a prepared layout: the report
// and segment-list rows are written once per segment and year.
#include <benchmark/benchmark.h>

#include <string>

#include "layout/fixed_record.h"
#include "layout/layout.h"

namespace {

using pavecast::layout::FixedRecord;
using pavecast::layout::Layout;

void BM_WriteYearRow(benchmark::State& state) {
  static const Layout kRow("20X,I4,I6,I8,F7.1,2F7.1,1X,I5,2X,F4.3,3X,F5.1,10F6.1");
  std::string out;
  out.reserve(1 << 16);
  for (auto _ : state) {
    out.clear();
    kRow.write(out, {1997, 12, 30, 6.5f, 25.0f, 24.5f, 120, 0.208f, 1.5f, 2.0f, 3.0f, 4.0f, 5.0f});
    benchmark::DoNotOptimize(out.data());
  }
}
BENCHMARK(BM_WriteYearRow);

void BM_WriteSegmentLine(benchmark::State& state) {
  static const Layout kLine("I4,3X,A23,1X,A38,1X,I4,2I5,I6,F8.1,F9.0");
  std::string out;
  out.reserve(1 << 16);
  for (auto _ : state) {
    out.clear();
    kLine.write(out, {17, "I-94", "From the river to the state line", 1234, 2, 3, 7, 12.5f,
                      70000.0f});
    benchmark::DoNotOptimize(out.data());
  }
}
BENCHMARK(BM_WriteSegmentLine);

// The same line as the listing writes it: a fixed record laid out in place.
void BM_WriteSegmentLineFixed(benchmark::State& state) {
  static const FixedRecord kLine("I4,3X,A23,1X,A38,1X,I4,2I5,I6,F8.1,F9.0");
  std::string out;
  out.reserve(1 << 16);
  for (auto _ : state) {
    out.resize(kLine.size());
    char* line = out.data();
    kLine.start(line);
    kLine.put(line, 0, 17);
    kLine.put(line, 1, "I-94                   ");
    kLine.put(line, 2, "From the river to the state line      ");
    kLine.put(line, 3, 1234);
    kLine.put(line, 4, 2);
    kLine.put(line, 5, 3);
    kLine.put(line, 6, 7);
    kLine.put(line, 7, 12.5f);
    kLine.put(line, 8, 70000.0f);
    benchmark::DoNotOptimize(out.data());
  }
}
BENCHMARK(BM_WriteSegmentLineFixed);

void BM_ReadScoresLine(benchmark::State& state) {
  static const Layout kLine("I2,F7.2,I4,I2,1X,A23,1X,A38");
  const std::string record =
      " 7  12.50  12 3 I-94                    From the river to the state line";
  int32_t score = 0, mcd = 0, jurisdiction = 0;
  float miles = 0.0f;
  char highway[23];
  char description[38];
  for (auto _ : state) {
    benchmark::DoNotOptimize(kLine.read(record, {score, miles, mcd, jurisdiction,
                                                 std::span<char>(highway),
                                                 std::span<char>(description)}));
  }
}
BENCHMARK(BM_ReadScoresLine);

}  // namespace
