#include "output/output_files.h"

#include <gtest/gtest.h>

#include "support/test_support.h"

namespace pavecast {
namespace {

using testing::lines;
using testing::make_context;
using testing::TempDir;

std::string name_of(std::string_view scores_name, float funding, std::string_view ext = "out") {
  return output_file_name(Text<9>(scores_name), funding, ext);
}

TEST(OutputFileNames, StemFromTheScoresNameAndTheFunding) {
  EXPECT_EQ(name_of("rd96", 25.0f), "rd96-c.out  ");
  EXPECT_EQ(name_of("rd96", 25.0f, "scr"), "rd96-c.scr  ");
  EXPECT_EQ(name_of("rd96", 25.0f, "rep"), "rd96-c.rep  ");
  EXPECT_EQ(name_of("rd96", 25.0f, "res"), "rd96-c.res  ");
  EXPECT_EQ(name_of("rd96.a", 25.0f), "rd96-ac.out ");
  EXPECT_EQ(name_of("t 5", 25.0f), "t-5c.out    ");
  EXPECT_EQ(name_of("abc.de", 25.0f), "abc-dc.out  ");
  EXPECT_EQ(name_of("x", 25.0f), "x-c.out     ");
}

TEST(OutputFileNames, UnlimitedMoneyFrom998) {
  EXPECT_EQ(name_of("rd96", 998.0f), "rd96-u.out  ");
  EXPECT_EQ(name_of("rd96", 99999.9f), "rd96-u.out  ");
  EXPECT_EQ(name_of("rd96", 997.99f), "rd96-c.out  ");
}

TEST(OutputFileNames, LongNamesAreKeptWhole) {
  // Nine characters without blank or point: taken whole, no "-" and no letter.
  EXPECT_EQ(name_of("NINECHARS", 25.0f), "NINECHARS.out");
  // A cut to 12 would make the improvements file and the inputs record both
  // "NETWORK-c.re".
  EXPECT_EQ(name_of("NETWORK", 25.0f, "rep"), "NETWORK-c.rep");
  EXPECT_EQ(name_of("NETWORK", 25.0f, "res"), "NETWORK-c.res");
  EXPECT_EQ(name_of("LONGNAME", 25.0f), "LONGNAME-c.out");
  EXPECT_EQ(name_of("LONGNAME.x", 25.0f), "LONGNAME-c.out");  // the 9 characters only
}

const std::string kShortImprovements =
    lines({"    The following is each years repairs.  The first year is 1996.", "",
           "       Seg#  Pvt  Yr   Surf   Repair Miles    M$    Tot $",
           "       ----  ---  --   ----   ------ -----   ----   -----"});
const std::string kShortSegmentList =
    lines({"This is a list of all segments at the start of each year.", "",
           "        Seg#  Pvt  Yr   Surf   Miles    Order",
           "        ----  ---  --   ----   -----    -----"});
const std::string kNamesImprovements = lines(
    {"    The following is each years repairs.  The first year is 1996.", "",
     std::string(7, ' ') + "Highway                 Segment                 " +
         "               Seg#  Pvt  Yr   Surf  Repair Miles  " + "  M$    Tot $ MCD Jur Forced",
     std::string(7, ' ') + "----------------------- ------------------------" +
         "-------------- ----  ---  --   ----  ------ -----  " + " ----   ----- --- --- ------"});
const std::string kNamesSegmentList =
    lines({"This is a list of all segments at the start of each year.", "",
           std::string(7, ' ') + "Highway                 Segment                " +
               "                Seg#  Pvt  Yr   Surf   Miles    Order",
           std::string(7, ' ') + "----------------------- " + std::string(38, '-') +
               "  ----  ---  --   ----   -----    -----"});

struct HeadingCase {
  int32_t names_format;
  const std::string* improvements;
  const std::string* segment_list;
};

TEST(ListingHeadings, BothFormsByteForByte) {
  for (HeadingCase c : {HeadingCase{0, &kShortImprovements, &kShortSegmentList},
                        HeadingCase{1, &kNamesImprovements, &kNamesSegmentList}}) {
    TempDir dir;
    auto ctx = make_context(dir);
    ctx->settings.scores_name = "rd96";
    ctx->settings.annual_funding = 25.0f;
    ctx->settings.auxiliary_answer = 'Y';
    ctx->network.first_year = 1996;
    ctx->network.names_format = c.names_format;
    ctx->output.list_lines = 0;
    ctx->output.repair_lines = 0;
    open_run_files(output_of(*ctx));
    write_listing_headings(output_of(*ctx));
    ctx->files.improvements->close();
    ctx->files.segment_list->close();
    EXPECT_EQ(dir.read("rd96-c.rep"), *c.improvements) << "names_format " << c.names_format;
    EXPECT_EQ(dir.read("rd96-c.scr"), *c.segment_list) << "names_format " << c.names_format;
    EXPECT_TRUE(ctx->files.report);
    EXPECT_EQ(ctx->output.list_lines, 3);
    EXPECT_EQ(ctx->output.repair_lines, 3);
  }
}

TEST(RunFiles, WithoutAuxiliaryFilesOnlyTheReport) {
  TempDir dir;
  auto ctx = make_context(dir);
  ctx->settings.scores_name = "rd96";
  ctx->settings.annual_funding = 25.0f;
  ctx->settings.auxiliary_answer = 'N';
  open_run_files(output_of(*ctx));
  write_listing_headings(output_of(*ctx));
  EXPECT_EQ(ctx->output.report_file_name, "rd96-c.out  ");
  EXPECT_EQ(ctx->output.condition_file_name, "NA          ");
  EXPECT_EQ(ctx->output.improvements_file_name, "NA          ");
  ctx->files.report->close();
  EXPECT_TRUE(dir.exists("rd96-c.out"));
  EXPECT_FALSE(dir.exists("rd96-c.scr"));
  EXPECT_FALSE(dir.exists("rd96-c.rep"));
  EXPECT_EQ(ctx->files.segment_list, nullptr);
}

TEST(TraceFiles, HeadingsInBothForms) {
  TempDir dir;
  auto ctx = make_context(dir);
  ctx->segments.segment_count = 3;
  ctx->segments[2].highway_name = "Route 9";
  ctx->segments[2].segment_description = "from Mill Creek to the county line";
  ctx->settings.trace_count = 2;
  ctx->settings.trace_segment[1] = 2;
  ctx->settings.trace_file_name[1] = "trace.2  ";
  ctx->settings.trace_segment[2] = 955;  // not a segment of the table
  ctx->settings.trace_file_name[2] = "trace.955";
  ctx->network.names_format = 1;
  ASSERT_EQ(open_trace_files(output_of(*ctx)), 0);
  ctx->files.trace[1]->close();
  ctx->files.trace[2]->close();
  const std::string columns =
      lines({std::string(23, ' ') + "Org. Cur. Last", "Yr Pvt Surf Miles Seg# Seg# Rep# Freq",
             "-- --- ---- ----- ---- ---- ---- ----"});
  EXPECT_EQ(dir.read("trace.2"), lines({"This is a tracing of Route 9                ",
                                        "from Mill Creek to the county line    ", "", ""}) +
                                     columns);
  EXPECT_EQ(dir.read("trace.955"),
            lines({"This is a tracing of " + std::string(23, ' '), std::string(38, ' '), "", ""}) +
                columns);

  TempDir short_dir;
  auto short_ctx = make_context(short_dir);
  short_ctx->settings.trace_count = 1;
  short_ctx->settings.trace_segment[1] = 21;
  short_ctx->settings.trace_file_name[1] = "trace.21 ";
  ASSERT_EQ(open_trace_files(output_of(*short_ctx)), 0);
  short_ctx->files.trace[1]->close();
  EXPECT_EQ(short_dir.read("trace.21"), lines({"This is a tracing of   21", "", ""}) + columns);
}

TEST(TraceFiles, AFileThatCannotBeCreatedNamesItsEntry) {
  TempDir dir;
  std::filesystem::create_directory(dir.path() / "trace.30");
  auto ctx = make_context(dir);
  ctx->settings.trace_count = 3;
  ctx->settings.trace_segment = {0, 6, 30, 19};
  ctx->settings.trace_file_name[1] = "trace.6";
  ctx->settings.trace_file_name[2] = "trace.30";
  ctx->settings.trace_file_name[3] = "trace.19";
  EXPECT_EQ(open_trace_files(output_of(*ctx)), 2);
  EXPECT_TRUE(ctx->files.trace[1] && ctx->files.trace[1]->is_open());
  EXPECT_FALSE(dir.exists("trace.19"));
}

TEST(TraceFiles, ASecondEntryWithTheSameFileCountsAsUnopenable) {
  TempDir dir;
  auto ctx = make_context(dir);
  ctx->settings.trace_count = 2;
  ctx->settings.trace_segment = {0, 12, 12};
  ctx->settings.trace_file_name[1] = "trace.12";
  ctx->settings.trace_file_name[2] = "trace.12";
  EXPECT_EQ(open_trace_files(output_of(*ctx)), 2);
}

}  // namespace
}  // namespace pavecast
