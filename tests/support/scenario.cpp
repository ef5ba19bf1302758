#include "support/scenario.h"

#include <gtest/gtest.h>

#include <sstream>

namespace pavecast::scenarios {

namespace {

std::string line(std::string_view text) {
  return std::string(text) + "\n";
}

std::string digits(int value, std::size_t width) {
  return right(std::to_string(value), width);
}

// A line built by columns, as a layout with T positioning writes it: text
// placed at a 1-based column over blanks.
class Columns {
 public:
  Columns& at(std::size_t column, std::string_view text) {
    if (text_.size() < column - 1 + text.size()) text_.resize(column - 1 + text.size(), ' ');
    text_.replace(column - 1, text.size(), text);
    return *this;
  }
  std::string str() const { return text_ + "\n"; }

 private:
  std::string text_;
};

constexpr int kMargin[12] = {30, 30, 29, 26, 23, 20, 17, 14, 11, 8, 5, 2};
constexpr int kGap[12] = {3, 3, 3, 5, 8, 11, 14, 17, 20, 23, 26, 29};

}  // namespace

std::string blanks(std::size_t n) {
  return std::string(n, ' ');
}

std::string pad(std::string_view text, std::size_t width) {
  std::string s(text);
  if (s.size() < width) s.resize(width, ' ');
  return s;
}

std::string right(std::string_view text, std::size_t width) {
  std::string s(text);
  return s.size() < width ? blanks(width - s.size()) + s : s;
}

// ------------------------------------------------------------ the dialogue

std::string progress(std::string_view text) {
  return line(" " + std::string(text));
}

std::string introduction() {
  return kFooter + progress("Do you want to see the introduction (y/n)? N");
}

std::string secondary_data_question(char answer) {
  return kFooter + line(std::string(" Do you use different sets of secondary data? ") + answer);
}

std::string printout_type_question(int shown) {
  return "\n\n" + line(" Enter the number of the type of printout? " + std::to_string(shown)) +
         line(blanks(21) + "1  " + pad("Condensed Print on a LaserJet", 45)) +
         line(blanks(21) + "2  " + pad("Condensed Format on a Dot Matrix Printer", 45)) +
         line(blanks(21) + "3  " + pad("Six Lines Per Inch Format on a Dot Matrix", 45)) + kFooter;
}

std::string date_time_question(char answer) {
  return line(std::string(" Do you want the date and time printed? ") + answer + blanks(35)) +
         kFooter;
}

std::string trace_question(char answer) {
  return kFooter + line(blanks(76)) +
         line(std::string(" Do you want to trace the scores of any segments ? ") + answer);
}

std::string trace_entries(int count) {
  std::string s =
      line(" How many segments do you want to trace?  (Note: you may be limited by") +
      line("  your system configuration.)") +
      line(" Enter the numbers of each the " + digits(count, 2) + " segment(s) to be traced.") +
      line("  Hit return after each one.");
  for (int t = 1; t <= count; ++t) {
    if (t >= 17) s += progress(" Continue entering:");
    s += line(" Enter segment # " + digits(t, 2) + ": ");
  }
  return s;
}

std::string trace_file_list(std::initializer_list<std::string_view> names) {
  std::string s = line(" The trace information will be written on the following files:") + "\n\n";
  std::string current;
  int on_line = 0;
  for (std::string_view name : names) {
    if (on_line == 6) {
      s += line(current.substr(0, current.size() - 1));  // no blank after the last name
      current.clear();
      on_line = 0;
    }
    current += " " + right(pad(name, 9), 10) + " ";
    ++on_line;
  }
  if (on_line > 0) s += line(current.substr(0, current.size() - 1));
  return s + line(" Press the enter key to continue.");
}

std::string repetition_entry(int number, std::string_view description, std::string_view current) {
  return line(" " + digits(number, 2) + "    " + pad(description, 29) + " currently is " +
              std::string(current)) +
         " " + kEsc + "[22;01H" + line(std::string(74, '_')) +
         line(" Enter your response or hit <Enter> to eliminate the repair.");
}

std::string force_fix_question(char answer) {
  return kFooter +
         line(std::string(" Do you want to force any roads to be repaired in particular years? ") +
              answer);
}

std::string force_fix_file_prompt(std::string_view file12) {
  return line("  Enter the filename with a list of segments to \"force-fix\" or hit <Return>.  ") +
         line(file12);
}

std::string years_question(int saved_years) {
  return line(" Enter the number of years to simulate or hit <Enter> for " +
              digits(saved_years, 2) + "." + blanks(10)) +
         kFooter;
}

std::string dollars_question(char answer) {
  return line(std::string(" Do you want the model to be constrained by dollars? ") + answer +
              blanks(17));
}

std::string funding_amount_question(std::string_view default_shown) {
  return line(" Enter the number of millions of dollars available per year, hit <Enter> for") +
         line("  the default, or a negative number for variable funding from the funding file.  ") +
         "\n\n" + kFooter + line(blanks(29) + "Default: " + std::string(default_shown)) +
         line(blanks(30) + "Entry:");
}

std::string fixed_funding_confirmation(std::string_view amount_f6_2) {
  return line(
             pad(" The model is constrained by $" + std::string(amount_f6_2) + "m per year.", 74)) +
         "\n" + line(pad("  Is this correct (y/n)? Y", 74));
}

std::string variable_funding_confirmation() {
  return line(pad(" The model is constrained by variable funds.", 74)) + "\n" +
         line(pad("  Is this correct (y/n)? Y", 74));
}

std::string repair_order_menu(int shown) {
  return line(" In what order do you want the roads to be repaired?  " + std::to_string(shown)) +
         line(blanks(23) + "1   Random Order") + "\n" +
         line(blanks(23) + "2   Repair Priority Assigned by User") + "\n" +
         line(blanks(23) + "3   Worst Condition to Best Condition") + "\n" +
         line(blanks(23) + "4   Best Condition to Worst Condition") + kFooter;
}

std::string repetition_question(char shown, bool change) {
  std::string s =
      "\n" + kFooter +
      line(std::string(" Do you want to change the frequency of repair policy? ") + shown);
  if (!change) return s + progress("Reading Repair Data");
  return s + line("Enter the maximum number of times each action should be performed") +
         line(" before going to the next greatest action.") + "\n" + line(" Repair") +
         line(" Number Description" + blanks(19) + "Current Max" + blanks(9) + "New Maximum") +
         line(" ------ -----------" + blanks(19) + "-----------" + blanks(9) + "-----------");
}

std::string reading_rates_and_matrices() {
  return progress("Reading Deterioration Rates") + progress("Reading Policy Matrices");
}

std::string scores_question(std::string_view default_name9) {
  return line("Enter the name of the file with the scores.         ") + "\n" +
         line(" Type \"help\" <Enter> for a summary of the information in the default file.") +
         "\n" +
         line(
             " NOTE: The last 2 characters will be used at the end of all output files.            "
             " ") +
         kFooter + line(default_name9);
}

std::string scores_summary(const std::vector<std::string_view>& miles, std::string_view total) {
  std::string s = "\n\n" + line(blanks(29) + " Surface     Miles of ") +
                  line(blanks(29) + " Score       Pavement") +
                  line(blanks(29) + " -----       --------") + "\n";
  for (std::size_t k = 0; k < miles.size(); ++k)
    s += line(blanks(31) + digits(static_cast<int>(k) + 1, 2) + blanks(10) + right(miles[k], 6));
  return s + "\n" + line(blanks(29) + "Total" + blanks(10) + right(total, 6)) + " " + kEsc +
         "[23;01H" + line(" Hit <Enter> to continue.  ") + " " + kEsc + "[23;44H";
}

std::string split_question(char answer) {
  return line(std::string(
                  " Do you want to break the highway data into smaller and more segments ? ") +
              answer) +
         "\n" + line("  Note that there should be over 500 segements to get the best output.") +
         kFooter;
}

std::string split_factor_prompt(int shown) {
  return line(" Enter the factor to increase the number of segments by '(default is " +
              digits(shown, 3) + ").") +
         "\n" + line("  (Entering \"100\" results in 100 times more segments).") + kFooter;
}

std::string randomize_question(char answer) {
  return line(std::string(" Do you want the highway scores randomized? ") + answer) + kFooter;
}

std::string traffic_question(char answer) {
  return line(std::string(" Do you want to use the VMT increases from the file \"VMT-Inc.dat\"? ") +
              answer) +
         kFooter;
}

std::string reconstruct_question(char answer) {
  return kFooter +
         line(std::string(
                  " Do you want to reconstruct some roads for reasons other than condition?  ") +
              answer);
}

std::string probability_prompt(std::string_view shown_f4_1) {
  return line(" Enter the percent probablity of this in a positive number less than 100. " +
              std::string(shown_f4_1));
}

std::string final_conditions_question(char answer) {
  return line(std::string(" Do you want the final conditions saved as input? ") + answer) + kFooter;
}

std::string final_conditions_name_prompt(std::string_view default12) {
  return "\n\n" +
         line(" Enter the name of the final conditions output file. " + std::string(default12)) +
         kFooter;
}

std::string print_question(char answer) {
  return line(std::string(" Do you want the output printed? ") + answer) + kFooter;
}

std::string auxiliary_question(char answer) {
  return line(std::string(" Do you want the auxillary output files? ") + answer) + kFooter;
}

std::string year_message(int year, int segments) {
  return line(blanks(17) + " Processing year " + digits(year, 3) + ".  It has " +
              digits(segments, 4) + " segments.");
}

std::string year_message_cleared() {
  return line(blanks(64));
}

std::string writing_final_conditions(std::string_view file12) {
  return line("Writing final condition data to \"" + std::string(file12) + "\".");
}

std::string closing_list(std::string_view report, std::string_view inputs,
                         std::string_view condition, std::string_view improvements,
                         std::string_view poor, std::string_view fair) {
  const std::string indent = blanks(12);
  return line(" The output is in the following files:") + "\n" +
         line(indent + "The highway condition projection .......... " + std::string(report)) +
         "\n" +
         line(indent + "The user inputs for this simulation ....... " + std::string(inputs)) +
         "\n" +
         line(indent + "The highway condition by year ............. " + std::string(condition)) +
         "\n" +
         line(indent + "The improvements done by year ............. " + std::string(improvements)) +
         "\n" + line(indent + "The trace info, if any (xx is segment #)... trace.xx") + "\n" +
         line(" The final percent poor is" + right(poor, 5) + "%.") +
         line(" The final percent fair is" + right(fair, 5) + "%.") + "\n";
}

std::string done_running() {
  return "\n" + line(" The program is done running.");
}

std::string printer_alert() {
  return line(" " + kEsc + "[37;41m") + progress(" The output did not print on the printer. ") +
         line(" " + kEsc + "[33;40m");
}

// ------------------------------------------------------ the inputs record

namespace echo {
std::string secondary_data(char a) {
  return line(std::string(" Do you use different sets of secondary data? ") + a);
}
std::string printout_type(int type) {
  return "\n\n" + line(" Enter the number of the type of printout? " + std::to_string(type));
}
std::string date_time(char a) {
  return line(std::string(" Do you want the date and time printed? ") + a + blanks(35));
}
std::string trace(char a) {
  return line(std::string(" Do you want to trace the scores of any segments ? ") + a);
}
std::string force_fix(char a) {
  return line(std::string(" Do you want to force any roads to be repaired in particular years? ") +
              a);
}
std::string force_fix_file(std::string_view file12) {
  return line(" Enter the filename with a list of segments to \"force-fix\".  " +
              std::string(file12));
}
std::string years(int saved, int chosen) {
  return line(" Enter the number of years to simulate or hit <Enter> for " + digits(saved, 2) +
              ". " + digits(chosen, 2));
}
std::string dollars(char a) {
  return line(std::string(" Do you want the model to be constrained by dollars? ") + a +
              blanks(17));
}
std::string fixed_funding(std::string_view amount_f5_1) {
  return line(" The model is constrained by $" + std::string(amount_f5_1) + "m per year.");
}
std::string repair_order(int order) {
  return line(" In what order do you want the roads to be repaired?  " + std::to_string(order));
}
std::string repetition(char a) {
  return line(std::string(" Do you want to change the frequency of repair policy? ") + a);
}
std::string split(char a) {
  return line(std::string(" Do you want to break the highway data into more segments ? ") + a);
}
std::string split_factor(int factor) {
  return line(" Enter the factor to increase the number of segments by.  " + digits(factor, 3));
}
std::string randomize(char a) {
  return line(std::string(" Do you want the highway scores randomized? ") + a);
}
std::string traffic(char a) {
  return line(std::string(" Do you want to use the VMT increases from the file \"VMT-Inc.dat\"? ") +
              a);
}
std::string reconstruct(char a) {
  return line(
      std::string(" Do you want to reconstruct some roads for reasons other than condition?  ") +
      a);
}
std::string probability(std::string_view percent_f4_1) {
  return line(" Enter the percent probablity of this in a positive number less than 100. " +
              std::string(percent_f4_1));
}
std::string scores(std::string_view name9) {
  return line(" Enter in 4 spaces or less the name of the file with the scores. " +
              std::string(name9));
}
std::string final_conditions(char a) {
  return line(std::string(" Do you want the final conditions saved as input? ") + a);
}
std::string print(char a) {
  return line(std::string(" Do you want the output printed? ") + a);
}
std::string auxiliary(char a) {
  return line(std::string(" Do you want the auxillary output files? ") + a);
}
std::string final_conditions_name(std::string_view file12) {
  return "\n\n" +
         line(" Enter the name of the final conditions output file. " + std::string(file12));
}
}  // namespace echo

std::string end_record(int printout_type) {
  return printout_type == 1 ? line(kEsc + "E") : line(kFormFeed);
}

std::string priority_table(const std::vector<int>& priorities) {
  std::string s = "\n\n" + line(blanks(27) + " Road Score" + blanks(7) + "Priority") +
                  line(blanks(27) + " ----------" + blanks(7) + "--------") + "\n";
  for (std::size_t k = 0; k < priorities.size(); ++k)
    s += line(blanks(33) + std::to_string(k + 1) + blanks(14) + digits(priorities[k], 3));
  return s;
}

// ------------------------------------------------------------- the report

std::string laserjet_setup() {
  return line(kEsc + "E") + line(kEsc + "&l8D") + line(kEsc + "&l4E") +
         line(kEsc + "(0U" + kEsc + "(sp16.66h9.5vsb6d" + kEsc + "&a8L") + line(kEsc + "&a6L") +
         line(kFormFeed);
}

std::string report_title(std::string_view date_time, std::string_view network_name21) {
  const std::string title = "Quillondarowmere Transportation Committee";
  std::string first = date_time.empty() ? blanks(41) + title
                                        : blanks(11) + std::string(date_time) + blanks(14) + title;
  return line(first) + line(blanks(41) + "Pavecast (PAVC)") + "\n" +
         line(blanks(48) + "Roads: " + std::string(network_name21));
}

std::string funding_fixed(std::string_view amount_f6_2, std::string_view order12) {
  return line(blanks(48) + "Funding: $" + std::string(amount_f6_2) + "M Per Year") +
         line(blanks(48) + "Repair Order: " + std::string(order12));
}

std::string funding_variable(std::string_view order12) {
  return line(blanks(48) + "Funding: Variable") +
         line(blanks(48) + "Repair Order: " + std::string(order12));
}

std::string funding_unlimited() {
  return line(blanks(48) + "Funding: Unlimited Dollars");
}

std::string lane_miles(int miles, bool forced) {
  if (forced)
    return line(blanks(48) + "Lane-Miles: " + digits(miles, 4) + ", (Some Repairs Are Forced)") +
           "\n\n";
  return line(blanks(48) + "Lane-Miles: " + digits(miles, 4)) + "\n\n\n\n";
}

int cost_table_margin(int n) {
  return kMargin[n];
}

std::string cost_table_heading(const std::vector<int>& action_numbers) {
  const int n = static_cast<int>(action_numbers.size());
  const std::string m = blanks(kMargin[n]);
  std::string numbers, dashes;
  for (int number : action_numbers) {
    numbers += " " + digits(number, 4) + " ";
    dashes += "---   ";
  }
  // The blanks after the last item of a record are not written.
  if (!action_numbers.empty()) {
    numbers.pop_back();
    dashes.resize(dashes.size() - 3);
  }
  return line(m + blanks(26) + "  Cost   Avg.  Mi`s  $/Mi" + blanks(kGap[n]) + "Cost By Action") +
         line(m + "Year  % Poor  % Fair Mean   (m$)   $/Yr  Rep.  Rep.  " + numbers) +
         line(m + "----  ------  ------ ----   ----   ----  ----  ----" +
              (dashes.empty() ? "" : blanks(5) + dashes));
}

std::string first_year_row(int n, std::string_view year, std::string_view poor,
                           std::string_view fair, std::string_view mean) {
  return line(blanks(kMargin[n]) + right(year, 4) + right(poor, 6) + right(fair, 8) + blanks(4) +
              right(mean, 3));
}

std::string year_row(int n, std::string_view year, std::string_view poor, std::string_view fair,
                     std::string_view mean, std::string_view spent, std::string_view per_year,
                     std::string_view miles, std::string_view per_mile,
                     const std::vector<std::string_view>& costs) {
  std::string s = blanks(kMargin[n]) + right(year, 4) + right(poor, 6) + right(fair, 8) +
                  right(mean, 7) + right(spent, 7) + right(per_year, 7) + " " + right(miles, 5) +
                  "  " + right(per_mile, 4);
  for (std::size_t a = 0; a < costs.size(); ++a)
    s += (a == 0 ? blanks(3) + right(costs[a], 5) : right(costs[a], 6));
  return line(s);
}

std::string total_rows(int n, std::string_view years, std::string_view total,
                       std::string_view per_year, std::string_view miles, std::string_view per_mile,
                       const std::vector<std::string_view>& miles_by_action) {
  const std::string m = blanks(kMargin[n]);
  std::string by_action;
  for (std::size_t a = 0; a < miles_by_action.size(); ++a)
    by_action += right(miles_by_action[a], a == 0 ? 5 : 6);
  return line(m + "Total Cost (" + right(years, 2) + " Years)" + blanks(3) + right(total, 8) + " " +
              right(per_year, 6) + " " + right(miles, 5) + "  " + right(per_mile, 4)) +
         "\n\n" + line(m + blanks(28) + "Total Lane-Miles By Action" + by_action);
}

std::string definitions() {
  return "\n\n\n\n" + line("A \"poor\" pavement is defined as having a score of 5 or less.") +
         line("A \"fair\" pavement is defined as having a score of 6.");
}

std::string distribution(const std::vector<std::string_view>& shares, std::string_view average) {
  std::string s = "Percent of Miles by Score from 1 to 10:";
  for (std::string_view share : shares) s += right(share, 5) + ",";
  return "\n\n" + line(s + " Average = " + right(average, 4)) + "\n";
}

std::string policy_heading(std::string_view name1, std::string_view name2, std::string_view name3) {
  return "\n\n\n" +
         Columns().at(23, "Repetition of Action Policy").at(85, "Deterioration Rates").str() +
         line(blanks(52) + "Cost") + line(blanks(14) + "Act #Of" + blanks(31) + "Per 2") +
         Columns()
             .at(15, " #  Rep     Description of Policy     Ln-Mi")
             .at(71, "Score  ")
             .at(82, std::string(name1) + "  " + std::string(name2) + "  " + std::string(name3))
             .str() +
         Columns()
             .at(15, "--- --- " + std::string(29, '-') + " -----")
             .at(71, "-----")
             .at(82, "--------  --------  --------")
             .str();
}

namespace {
std::string label_and_rates(int label, const std::vector<std::string_view>& rates) {
  std::string s = digits(label, 2) + blanks(4);
  for (std::string_view r : rates) s += right(r, 10);
  return s;
}
}  // namespace

std::string policy_row(int number, int limit, std::string_view description, std::string_view cost,
                       int label, const std::vector<std::string_view>& rates) {
  Columns row;
  row.at(15, digits(number, 2) + "  " + digits(limit, 2) + "  " + pad(description, 29) +
                 right(cost, 6));
  if (label > 0) row.at(72, label_and_rates(label, rates));
  return row.str();
}

std::string rates_row(int label, const std::vector<std::string_view>& rates) {
  return Columns().at(72, label_and_rates(label, rates)).str();
}

std::string example_policy_block() {
  return policy_heading("ACC     ", "PCC     ", "COMP    ") +
         policy_row(10, 2, "Crack seal", "0.010", 10, {"0.10", "0.10", "0.10"}) +
         policy_row(20, 2, "Chip seal", "0.060", 9, {"0.15", "0.10", "0.15"}) +
         policy_row(30, 1, "Thin HMA overlay", "0.240", 8, {"0.20", "0.15", "0.25"}) +
         policy_row(35, 1, "Concrete repair and grinding", "0.400", 7, {"0.25", "0.20", "0.30"}) +
         policy_row(40, 1, "Mill and HMA overlay", "0.600", 6, {"0.30", "0.25", "0.30"}) +
         policy_row(50, 1, "Structural HMA overlay", "0.900", 5, {"0.30", "0.25", "0.30"}) +
         policy_row(55, 1, "Rubblize and HMA overlay", "1.600", 4, {"0.30", "0.25", "0.30"}) +
         policy_row(60, 9, "Reconstruction", "2.800", 3, {"0.25", "0.20", "0.25"}) +
         rates_row(2, {"0.15", "0.15", "0.15"}) + rates_row(1, {"0.10", "0.10", "0.10"});
}

// ------------------------------------------------------------ the listings

std::string segment_list_heading_short() {
  return line("This is a list of all segments at the start of each year.") + "\n" +
         line(blanks(8) + "Seg#  Pvt  Yr   Surf   Miles    Order") +
         line(blanks(8) + "----  ---  --   ----   -----    -----");
}

std::string segment_list_heading_names() {
  return line("This is a list of all segments at the start of each year.") + "\n" +
         line(blanks(7) + "Highway                 Segment                " +
              "                Seg#  Pvt  Yr   Surf   Miles    Order") +
         line(blanks(7) + "----------------------- " + std::string(38, '-') +
              "  ----  ---  --   ----   -----    -----");
}

std::string improvements_heading_short(int first_year) {
  return line("    The following is each years repairs.  The first year is " +
              digits(first_year, 4) + ".") +
         "\n" + line(blanks(7) + "Seg#  Pvt  Yr   Surf   Repair Miles    M$    Tot $") +
         line(blanks(7) + "----  ---  --   ----   ------ -----   ----   -----");
}

std::string improvements_heading_names(int first_year) {
  return line("    The following is each years repairs.  The first year is " +
              digits(first_year, 4) + ".") +
         "\n" +
         line(blanks(7) + "Highway                 Segment                 " +
              "               Seg#  Pvt  Yr   Surf  Repair Miles  " +
              "  M$    Tot $ MCD Jur Forced") +
         line(blanks(7) + "----------------------- ------------------------" +
              "-------------- ----  ---  --   ----  ------ -----  " +
              " ----   ----- --- --- ------");
}

namespace {
std::string trace_columns() {
  return line(blanks(23) + "Org. Cur. Last") + line("Yr Pvt Surf Miles Seg# Seg# Rep# Freq") +
         line("-- --- ---- ----- ---- ---- ---- ----");
}
}  // namespace

std::string trace_heading_short(int segment) {
  return line("This is a tracing of " + digits(segment, 4)) + "\n\n" + trace_columns();
}

std::string trace_heading_names(std::string_view highway23, std::string_view description38) {
  return line("This is a tracing of " + pad(highway23, 23)) + line(pad(description38, 38)) +
         "\n\n" + trace_columns();
}

std::string year_start() {
  return line(" ");
}

// ------------------------------------------------------------- data files

std::string repair_record(int rank, int number, int limit, char mark, std::string_view description,
                          std::string_view gain, std::string_view cost, int new_type) {
  return line(std::to_string(rank) + " " + digits(number, 2) + " " + std::to_string(limit) + mark +
              pad(description, 29) + right(gain, 4) + blanks(4) + right(cost, 5) + " " +
              std::to_string(new_type));
}

std::string names_segment(std::string_view score, std::string_view miles, std::string_view mcd,
                          std::string_view jurisdiction, std::string_view highway,
                          std::string_view description) {
  return line(right(score, 2) + right(miles, 7) + right(mcd, 4) + right(jurisdiction, 2) + " " +
              pad(highway, 23) + " " + std::string(description));
}

std::string saved_answers(std::initializer_list<std::string_view> lines20) {
  return lines(lines20);
}

// --------------------------------------------------------------- the run

RunResult run(const TempDir& dir, const std::vector<std::string>& replies, StartTime start,
              std::string printer_prefix) {
  ProgramOptions options;
  options.workdir = dir.workdir();
  options.start_time = start;
  options.printers.device_prefix = printer_prefix.empty()
                                       ? (dir.path() / "no-printer" / "lp").string()
                                       : std::move(printer_prefix);
  std::string input;
  for (const std::string& r : replies) input += r + "\n";
  std::istringstream in(input);
  std::ostringstream out;
  RunResult result;
  result.status = run_program(options, in, out);
  result.console = out.str();
  return result;
}

RunResult run_and_diff(const TempDir& dir, const std::vector<std::string>& replies,
                       Changes& changes, StartTime start, std::string printer_prefix) {
  Files before = files_under(dir.path());
  RunResult result = run(dir, replies, start, std::move(printer_prefix));
  changes = changes_between(before, files_under(dir.path()));
  return result;
}

Changes changes_between(const Files& before, const Files& after) {
  Changes changes;
  for (const auto& [name, content] : after) {
    auto it = before.find(name);
    if (it == before.end() || it->second != content) changes.written[name] = content;
  }
  for (const auto& [name, content] : before)
    if (after.count(name) == 0) changes.deleted.insert(name);
  return changes;
}

namespace {
std::string visible(const std::string& text) {
  std::string s;
  for (char c : text) {
    if (c == '\x1b')
      s += "<ESC>";
    else if (c == '\f')
      s += "<FF>";
    else
      s += c;
  }
  return s;
}
}  // namespace

std::string first_difference(const std::string& expected, const std::string& actual) {
  if (expected == actual) return "";
  std::istringstream e(expected), a(actual);
  std::string el, al;
  for (int n = 1;; ++n) {
    bool has_e = static_cast<bool>(std::getline(e, el));
    bool has_a = static_cast<bool>(std::getline(a, al));
    if (!has_e && !has_a) return "the texts differ only in their last line end";
    if (!has_e) return "line " + std::to_string(n) + ": extra [" + visible(al) + "]";
    if (!has_a) return "line " + std::to_string(n) + ": missing [" + visible(el) + "]";
    if (el != al)
      return "line " + std::to_string(n) + "\n  expected [" + visible(el) + "]\n  actual   [" +
             visible(al) + "]";
  }
}

void expect_files(const Files& written, const Files& expected) {
  for (const auto& [name, content] : expected) {
    auto it = written.find(name);
    if (it == written.end()) {
      ADD_FAILURE() << "missing file " << name;
      continue;
    }
    std::string d = first_difference(content, it->second);
    if (!d.empty()) ADD_FAILURE() << "file " << name << ": " << d;
  }
  for (const auto& [name, content] : written)
    if (expected.count(name) == 0) ADD_FAILURE() << "unexpected file " << name;
}

}  // namespace pavecast::scenarios
