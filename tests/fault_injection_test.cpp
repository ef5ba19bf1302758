// Faults from outside the program, injected into whole runs of the bundled
// example: a working directory that cannot be written, an output name taken
// by a directory, a full device or a file size limit under the report and the
// final-conditions file, a fatal stop in the middle of the year loop, and
// Ctrl-C at a question. Each must end with a clear message and status 1 (or
// by the signal), leave the saved answers, the priority file and the output
// of earlier runs whole, and leave no temporary file behind.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "app/run_driver.h"
#include "dialogue/saved_answers.h"
#include "fatal/fatal.h"
#include "io/directory_lock.h"
#include "io/file_set.h"
#include "io/temporary_files.h"
#include "support/test_support.h"

namespace pavecast {
namespace {

namespace fs = std::filesystem;
using testing::TempDir;
using namespace std::string_literals;

// Left by an earlier run: the output a failed run must not touch, by name.
const std::map<std::string, std::string> kEarlierRun = {
    {"NET1-c.out", "report of an earlier run\n"},
    {"NET1-c.scr", "segment list of an earlier run\n"},
    {"NET1-c.rep", "repairs of an earlier run\n"},
    {"NET1-c.res", "inputs of an earlier run\n"},
    {"NET1.prd", "2030 NAMES\nconditions of an earlier run\n"}};

// The bundled example, with the output of an earlier run beside it.
void copy_example_after_a_run(const TempDir& dir) {
  testing::copy_example(dir);
  for (const auto& [name, content] : kEarlierRun) dir.write(name, content);
}

// The replies that keep every default of the example, with some changed:
// index 0 is the introduction question, then one reply per question in the
// order the example asks them (see the bundled README).
enum Question {
  kIntro,
  kSecondary,
  kPrintout,
  kDateTime,
  kTrace,
  kForceFix,
  kYears,
  kConstrained,
  kAmount,
  kAmountConfirmed,
  kOrder,
  kChangeLimits,
  kScoresName,
  kSplit,
  kRandomize,
  kTraffic,
  kReconstruct,
  kFinalConditions,
  kPrint,
  kAuxiliary
};

// The replies up to and including the question `last`, with the replies
// `after` a question following its reply (the priorities after the repair
// order, the trace entries after the trace question, the name after the
// final conditions question).
using After = std::map<Question, std::vector<std::string>>;
std::string answers(const std::map<Question, std::string>& changed, const After& after = {},
                    Question last = kAuxiliary) {
  std::string text;
  for (int q = 0; q <= last; ++q) {
    auto it = changed.find(static_cast<Question>(q));
    text += (it != changed.end() ? it->second : (q == kIntro ? "n" : "")) + "\n";
    if (auto more = after.find(static_cast<Question>(q)); more != after.end())
      for (const auto& line : more->second) text += line + "\n";
  }
  return text;
}

struct Outcome {
  int status = -1;
  std::string console;
};

// The program run by run_program; printer port 1 is `printer`.
Outcome run_in_process(const fs::path& root, const std::string& replies, int32_t capacity = 2500,
                       const fs::path& printer = "no-such-printer/lp0") {
  ProgramOptions options;
  options.workdir = Workdir{root};
  options.start_time = StartTime{2026, 12, 8, 9, 30};
  options.segment_capacity = capacity;
  std::string device = (root / printer).string();
  options.printers.device_prefix = device.substr(0, device.size() - 1);
  std::istringstream in(replies);
  std::ostringstream out;
  Outcome o;
  o.status = run_program(options, in, out);
  o.console = out.str();
  return o;
}

std::string last_line(const std::string& text) {
  std::string t = text;
  while (!t.empty() && t.back() == '\n') t.pop_back();
  return t.substr(t.rfind('\n') + 1);
}

// Every file under the directory named like a temporary file, and the
// commit's journal.
std::vector<std::string> temporaries(const fs::path& root) {
  std::vector<std::string> found;
  for (const auto& e : fs::recursive_directory_iterator(root)) {
    std::string name = e.path().filename().string();
    if (is_temporary_name(name) || name == kCommitJournal) found.push_back(e.path().string());
  }
  return found;
}

// The saved answers file can start the next run, with this run's answers.
void expect_saved_answers_readable(const TempDir& dir, int32_t years) {
  RunContext next(dir.workdir());
  next.settings.answers_file_name = "data\\default2.dat";
  try {
    read_default_dat(next.settings, next.workdir);
    read_saved_answers(next.settings, next.workdir);
  } catch (const FatalStop& stop) {
    ADD_FAILURE() << "the saved answers cannot start the next run: " << stop.console_text;
    return;
  }
  EXPECT_EQ(next.settings.default_years, years);
  EXPECT_EQ(next.settings.default_scores_name.trimmed(), "NET1");
}

// The earlier run's files whole, and nothing of the failed run's own: no
// temporary file, no scratch file.
void expect_earlier_output_kept(const TempDir& dir, const std::string& replaced_by_test = "") {
  for (const auto& [name, content] : kEarlierRun) {
    if (name == replaced_by_test) continue;
    EXPECT_EQ(dir.read(name), content) << name;
  }
  EXPECT_EQ(temporaries(dir.path()), std::vector<std::string>{});
  EXPECT_FALSE(dir.exists("userdata.tmp"));
  EXPECT_FALSE(dir.exists("temptemp.bat"));
}

// --- child processes

fs::path program_binary() {
  if (const char* bin = std::getenv("PAVECAST_BIN")) return bin;
  return fs::path(PAVECAST_BINARY_DIR) / "pavecast";
}

// A run in a child process, for the faults that need one: a lower identity
// or a resource limit for the child alone, or a signal. `in_process` runs the
// program with run_program after `prepare`; otherwise the built program is
// executed. Console replies are written as they are given, output read as
// it comes.
class Child {
 public:
  Child(const fs::path& root, const std::function<bool()>& prepare, bool in_process,
        const std::string& replies = "", const fs::path& printer = "no-such-printer/lp0") {
    int in[2], out[2];
    if (::pipe(in) != 0 || ::pipe(out) != 0) std::abort();
    pid_ = ::fork();
    if (pid_ == 0) {
      ::dup2(in[0], 0);
      ::dup2(out[1], 1);
      ::close(in[1]);
      ::close(out[0]);
      ::signal(SIGINT, SIG_DFL);
      ::signal(SIGXFSZ, SIG_DFL);
      if (!prepare()) ::_exit(kCannotPrepare);
      if (in_process) {
        remove_temporaries_on_interrupt();  // as the program's main does
        Outcome o = run_in_process(root, replies, 2500, printer);
        if (::write(1, o.console.data(), o.console.size()) < 0) ::_exit(kCannotPrepare);
        ::_exit(o.status);
      }
      if (::chdir(root.c_str()) != 0) ::_exit(kCannotPrepare);
      std::string bin = program_binary().string();
      ::execl(bin.c_str(), bin.c_str(), static_cast<char*>(nullptr));
      ::_exit(127);
    }
    ::close(in[0]);
    ::close(out[1]);
    to_child_ = in[1];
    from_child_ = out[0];
    if (!in_process) send(replies);
  }
  ~Child() {
    if (to_child_ >= 0) ::close(to_child_);
    ::close(from_child_);
    if (pid_ > 0 && !waited_) {
      ::kill(pid_, SIGKILL);
      ::waitpid(pid_, nullptr, 0);
    }
  }

  static constexpr int kCannotPrepare = 99;

  void send(const std::string& text) {
    if (!text.empty() && ::write(to_child_, text.data(), text.size()) < 0) std::abort();
  }
  void close_input() {
    ::close(to_child_);
    to_child_ = -1;
  }

  // Reads output until it ends with `tail` (true) or 20 s pass (false).
  bool read_until(const std::string& tail) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!output_.ends_with(tail)) {
      if (std::chrono::steady_clock::now() > deadline) return false;
      if (!read_some(100)) return output_.ends_with(tail);
    }
    return true;
  }

  // Reads everything up to the end and waits for the child (killed when it
  // has not ended within a minute).
  int finish() {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (read_some(1000)) {
      if (std::chrono::steady_clock::now() > deadline) {
        ADD_FAILURE() << "the child did not end";
        ::kill(pid_, SIGKILL);
      }
    }
    int status = 0;
    ::waitpid(pid_, &status, 0);
    waited_ = true;
    return status;
  }

  void signal(int number) { ::kill(pid_, number); }
  const std::string& output() const { return output_; }

 private:
  // False at the end of the output.
  bool read_some(int timeout_ms) {
    pollfd p{from_child_, POLLIN, 0};
    if (::poll(&p, 1, timeout_ms) <= 0) return true;
    char buffer[4096];
    ssize_t n = ::read(from_child_, buffer, sizeof buffer);
    if (n <= 0) return false;
    output_.append(buffer, static_cast<std::size_t>(n));
    return true;
  }

  pid_t pid_ = -1;
  int to_child_ = -1;
  int from_child_ = -1;
  bool waited_ = false;
  std::string output_;
};

// Drops root's power to write anywhere (the child becomes nobody), so that
// file modes bite; true when the child's permissions now follow the modes.
bool become_unprivileged() {
  if (::geteuid() != 0) return true;
  return ::setgid(65534) == 0 && ::setuid(65534) == 0;
}

void make_tree_mode(const fs::path& root, fs::perms dirs) {
  for (const auto& e : fs::recursive_directory_iterator(root))
    fs::permissions(e.path(), e.is_directory() ? dirs : fs::perms(0644));
  fs::permissions(root, dirs);
}

// Runs the example in a child that has given up root's rights, over the tree
// of `dir` with the modes `restrict` sets for this run only (open again
// afterwards). False when the child could not give up root's rights.
bool run_unprivileged(const TempDir& dir, const std::function<void()>& restrict,
                      const std::string& replies, Outcome& outcome) {
  restrict();
  Child child(dir.path(), become_unprivileged, /*in_process=*/true, replies);
  int status = child.finish();
  make_tree_mode(dir.path(), fs::perms(0755));
  if (WIFEXITED(status) && WEXITSTATUS(status) == Child::kCannotPrepare) return false;
  outcome.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  outcome.console = child.output();
  return true;
}

// --- the working directory cannot be written

TEST(FaultInjection, AWorkingDirectoryThatTakesNoFileStopsAtTheFirstFile) {
  // Even root cannot create a file among a process's entries under /proc.
  Outcome o = run_in_process("/proc/self", answers({}));
  EXPECT_EQ(o.status, 1);
  EXPECT_TRUE(
      o.console.starts_with(" ** Fatal Error: the file cannot be opened, file userdata.tmp: "))
      << o.console;
}

TEST(FaultInjection, AReadOnlyWorkingDirectoryStopsBeforeAnyQuestion) {
  TempDir dir;
  copy_example_after_a_run(dir);
  std::string saved = dir.read("data/default2.dat");
  Outcome o;
  if (!run_unprivileged(
          dir, [&] { make_tree_mode(dir.path(), fs::perms(0555)); }, answers({}), o))
    GTEST_SKIP() << "the test cannot give up root's rights here";
  EXPECT_EQ(o.status, 1);
  EXPECT_EQ(o.console,
            " ** Fatal Error: the file cannot be opened, file userdata.tmp: permission denied\n");
  EXPECT_EQ(dir.read("data/default2.dat"), saved);
  EXPECT_FALSE(dir.exists("userdata.tmp"));
  expect_earlier_output_kept(dir);
}

TEST(FaultInjection, AReadOnlyDataDirectoryStopsAtTheWriteBackAndKeepsTheSavedAnswers) {
  TempDir dir;
  copy_example_after_a_run(dir);
  std::string saved = dir.read("data/default2.dat");
  std::string set_up = dir.read("data/default.dat");
  auto data_read_only = [&] {
    make_tree_mode(dir.path(), fs::perms(0777));
    fs::permissions(dir.path() / "data", fs::perms(0555));
  };
  Outcome o;
  if (!run_unprivileged(dir, data_read_only, answers({{kYears, "12"}}), o))
    GTEST_SKIP() << "the test cannot give up root's rights here";
  EXPECT_EQ(o.status, 1);
  EXPECT_EQ(last_line(o.console),
            " ** Fatal Error: the file cannot be opened, file data/default.dat: permission denied");
  EXPECT_EQ(dir.read("data/default.dat"), set_up);
  EXPECT_EQ(dir.read("data/default2.dat"), saved);
  expect_earlier_output_kept(dir);
}

// --- an output name that is a directory

TEST(FaultInjection, AReportNamedLikeADirectoryStopsTheRunAtTheLoading) {
  TempDir dir;
  copy_example_after_a_run(dir);
  fs::remove(dir.path() / "NET1-c.out");
  fs::create_directory(dir.path() / "NET1-c.out");
  Outcome o = run_in_process(dir.path(), answers({{kYears, "12"}}));
  EXPECT_EQ(o.status, 1);
  EXPECT_EQ(last_line(o.console),
            " ** Fatal Error: the file cannot be opened, file NET1-c.out: is a directory");
  EXPECT_TRUE(fs::is_empty(dir.path() / "NET1-c.out"));
  expect_saved_answers_readable(dir, 12);
  expect_earlier_output_kept(dir, "NET1-c.out");
}

TEST(FaultInjection, AFinalConditionsFileNamedLikeADirectoryStopsTheRunAndKeepsTheRest) {
  TempDir dir;
  copy_example_after_a_run(dir);
  fs::create_directory(dir.path() / "old.prd");
  Outcome o = run_in_process(dir.path(),
                             answers({{kFinalConditions, "Y"}}, {{kFinalConditions, {"old.prd"}}}));
  EXPECT_EQ(o.status, 1);
  EXPECT_EQ(last_line(o.console),
            " ** Fatal Error: the file cannot be opened, file old.prd: is a directory");
  EXPECT_TRUE(fs::is_empty(dir.path() / "old.prd"));
  expect_saved_answers_readable(dir, 10);
  expect_earlier_output_kept(dir);
}

// --- stops before the report is closed: the earlier run's files stand

TEST(FaultInjection, AStopAtTheLoadingKeepsTheEarlierOutput) {
  TempDir dir;
  copy_example_after_a_run(dir);
  std::string net = dir.read("roads/NET1");
  net.replace(net.find("\n", net.find("\n", net.find("ACC")) + 1) + 1, 2, "x7");
  dir.write("roads/NET1", net);
  Outcome o = run_in_process(dir.path(), answers({{kAuxiliary, "Y"}}));
  EXPECT_EQ(o.status, 1);
  EXPECT_TRUE(
      last_line(o.console).starts_with(" ** Fatal Error: unreadable record, file roads/NET1"))
      << last_line(o.console);
  expect_earlier_output_kept(dir);
}

TEST(FaultInjection, AFatalStopInTheYearLoopKeepsThePriorityFileAndTheEarlierOutput) {
  TempDir dir;
  copy_example_after_a_run(dir);
  // Priority order rewrites the priority file before the loop; a table of
  // 805 segments fills up with the sixth year's split.
  const std::vector<std::string> priorities = {"10", "20", "30", "40", "50", "60", "70", "80", "Y"};
  Outcome o = run_in_process(
      dir.path(), answers({{kOrder, "2"}, {kAuxiliary, "Y"}}, {{kOrder, priorities}}), 805);
  EXPECT_EQ(o.status, 1);
  EXPECT_TRUE(o.console.ends_with(
      " Processing year   7.  It has  805 segments.\n"
      "\n  ** Fatal Error: You have exceeded the maximum number of segments.\n"))
      << o.console.substr(o.console.size() - 300);
  EXPECT_EQ(dir.read("data/priority.dat"), " 10\n 20\n 30\n 40\n 50\n 60\n 70\n 80\n");
  expect_saved_answers_readable(dir, 10);
  expect_earlier_output_kept(dir);
}

// A disk that fills up, as a file size limit for the child: the listings
// outgrow it in the year loop, the final conditions at the end.
TEST(FaultInjection, AFullDiskKeepsTheEarlierOutputAndNeverSaysDone) {
  struct Case {
    std::string replies, file;
  };
  for (const Case& c :
       {Case{answers({{kAuxiliary, "Y"}}), "NET1-c.scr"},
        Case{answers({{kFinalConditions, "Y"}, {kAuxiliary, "N"}}, {{kFinalConditions, {""}}}),
             "NET1.prd"}}) {
    TempDir dir;
    copy_example_after_a_run(dir);
    auto limit = [] {
      rlimit r{16384, 16384};
      return ::setrlimit(RLIMIT_FSIZE, &r) == 0;
    };
    Child child(dir.path(), limit, /*in_process=*/false, c.replies);
    child.close_input();
    int status = child.finish();
    ASSERT_TRUE(WIFEXITED(status)) << "ended by signal " << WTERMSIG(status);
    EXPECT_EQ(WEXITSTATUS(status), 1);
    EXPECT_EQ(last_line(child.output()),
              " ** Fatal Error: the file cannot be written, file " + c.file + ": file too large");
    EXPECT_EQ(child.output().find("done running"), std::string::npos);
    expect_saved_answers_readable(dir, 10);
    expect_earlier_output_kept(dir);
  }
}

// --- names and files planted in the directory

// Links planted under every name the run writes, each to a file outside the
// working directory: the run replaces the links and leaves the files alone.
TEST(FaultInjection, PlantedLinksAreReplacedNeverWrittenThrough) {
  TempDir dir, elsewhere;
  copy_example_after_a_run(dir);
  const std::vector<std::string> names = {"NET1-c.out",   "NET1-c.scr",  "NET1-c.rep",
                                          "NET1-c.res",   "NET1.prd",    "trace.5",
                                          "userdata.tmp", "temptemp.bat"};
  for (const std::string& name : names) {
    elsewhere.write(name, "not the run's\n");
    fs::remove(dir.path() / name);
    fs::create_symlink(elsewhere.path() / name, dir.path() / name);
  }
  dir.write("data/error.dat", "0\n");
  // One traced segment (count 1, segment 5, then the pause), printing, the
  // final conditions under their default name, and the auxiliary files.
  Outcome o = run_in_process(
      dir.path(),
      answers({{kTrace, "Y"}, {kFinalConditions, "Y"}, {kPrint, "Y"}, {kAuxiliary, "Y"}},
              {{kTrace, {"1", "5", ""}}, {kFinalConditions, {""}}}));
  EXPECT_EQ(o.status, 0) << last_line(o.console);
  EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(dir.path() / "NET1-c.out")));
  EXPECT_TRUE(dir.read("trace.5").starts_with("This is a tracing of"));
  EXPECT_FALSE(dir.exists("userdata.tmp"));
  EXPECT_FALSE(dir.exists("temptemp.bat"));
  for (const std::string& name : names) EXPECT_EQ(elsewhere.read(name), "not the run's\n") << name;
}

// Typed names that would leave the working directory, or name a directory,
// are refused with a warning and the question is asked again; nothing is
// created outside and the accepted names are the ones saved.
TEST(FaultInjection, TypedNamesThatLeaveTheDirectoryAreAskedAgain) {
  TempDir dir;
  copy_example_after_a_run(dir);
  const fs::path outside = dir.path().parent_path();
  const std::string run = dir.path().filename().string();
  Outcome o = run_in_process(
      dir.path(), answers({{kForceFix, "Y"}, {kScoresName, "/tmp/x"}, {kFinalConditions, "Y"}},
                          {{kForceFix, {"/etc/passwd", "..", "force.txt"}},
                           {kScoresName, {"../../etc", ""}},
                           {kFinalConditions, {"../" + run + ".prd", "/dev/full", "new.prd"}}}));
  EXPECT_EQ(o.status, 0) << last_line(o.console);
  std::size_t warnings = 0;
  for (std::size_t at = 0;
       (at = o.console.find(" ** Warning: a file name", at)) != std::string::npos; ++at)
    ++warnings;
  EXPECT_EQ(warnings, 6u);
  EXPECT_FALSE(fs::exists(outside / (run + ".prd")));
  EXPECT_FALSE(fs::exists("/tmp/x-c.out"));
  EXPECT_TRUE(fs::is_character_file("/dev/full"));
  EXPECT_TRUE(dir.read("new.prd").starts_with("2035 NAMES\n"));
  std::string saved = dir.read("data/default2.dat");
  EXPECT_NE(saved.find("\nforce.txt   \n"), std::string::npos) << saved;
  EXPECT_NE(saved.find("\nNET1     \n"), std::string::npos) << saved;
}

// Input files that are not regular files stop the run at once with the
// message naming them, in a child that is killed if it hangs or spins.
TEST(FaultInjection, AFifoOrAnEndlessDeviceAsInputStopsWithinASecond) {
  struct Case {
    std::string name;
    std::function<void(const fs::path&)> plant;
    std::map<Question, std::string> replies;
  };
  const std::vector<Case> cases = {
      {"roads/NET1", [](const fs::path& p) { ASSERT_EQ(::mkfifo(p.c_str(), 0600), 0); }, {}},
      {"data/random.dat",
       [](const fs::path& p) { fs::create_symlink("/dev/zero", p); },
       {{kRandomize, "Y"}}}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TempDir dir;
    copy_example_after_a_run(dir);
    fs::remove(dir.path() / c.name);
    c.plant(dir.path() / c.name);
    const auto start = std::chrono::steady_clock::now();
    Child child(
        dir.path(), [] { return true; }, /*in_process=*/true, answers(c.replies));
    int status = child.finish();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 1);
    EXPECT_EQ(last_line(child.output()),
              " ** Fatal Error: the file cannot be opened, file " + c.name);
    expect_earlier_output_kept(dir);
  }
}

// --- signals

// No core file from SIGQUIT in the working directory.
bool without_core() {
  rlimit none{0, 0};
  return ::setrlimit(RLIMIT_CORE, &none) == 0;
}

TEST(FaultInjection, ASignalAtAQuestionEndsTheRunByTheSignalAndChangesNothing) {
  for (int number : {SIGINT, SIGTERM, SIGHUP, SIGQUIT}) {
    SCOPED_TRACE(number);
    TempDir dir;
    copy_example_after_a_run(dir);
    std::string saved = dir.read("data/default2.dat");
    std::string set_up = dir.read("data/default.dat");
    std::string priorities = dir.read("data/priority.dat");

    // Interrupted in the middle of the priorities, after the file was read.
    Child child(dir.path(), without_core, /*in_process=*/false,
                answers({{kOrder, "2"}}, {{kOrder, {"10", "20"}}}, kOrder));
    ASSERT_TRUE(child.read_until(" 20\n")) << child.output();
    child.signal(number);
    int status = child.finish();
    ASSERT_TRUE(WIFSIGNALED(status));
    EXPECT_EQ(WTERMSIG(status), number);
    EXPECT_EQ(dir.read("data/default2.dat"), saved);
    EXPECT_EQ(dir.read("data/default.dat"), set_up);
    EXPECT_EQ(dir.read("data/priority.dat"), priorities);
    expect_earlier_output_kept(dir);
  }
}

// A printer that never takes the report (a FIFO nobody reads) holds the run
// in its copy, with the command file written: a termination then leaves
// neither scratch file, and the report, closed before printing, stands.
TEST(FaultInjection, ASignalWhilePrintingRemovesTheCommandFile) {
  TempDir dir;
  copy_example_after_a_run(dir);
  dir.write("data/error.dat", "0\n");
  ASSERT_EQ(::mkfifo((dir.path() / "lp0").c_str(), 0600), 0);
  Child child(dir.path(), without_core, /*in_process=*/true, answers({{kPrint, "Y"}}), "lp0");
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (!dir.exists("temptemp.bat") && std::chrono::steady_clock::now() < deadline)
    ::usleep(10000);
  ASSERT_TRUE(dir.exists("temptemp.bat"));
  child.signal(SIGTERM);
  int status = child.finish();
  ASSERT_TRUE(WIFSIGNALED(status));
  EXPECT_FALSE(dir.exists("temptemp.bat"));
  EXPECT_FALSE(dir.exists("userdata.tmp"));
  EXPECT_TRUE(dir.read("NET1-c.out").starts_with("\x1b"));
  EXPECT_EQ(temporaries(dir.path()), std::vector<std::string>{});
}

// --- one commit per run, one run per directory

// A run that stops while printing (the command file's name is taken by a
// directory) stops after its files took their names: the whole new set
// stands, the inputs record included.
TEST(FaultInjection, AStopWhilePrintingKeepsTheWholeNewSet) {
  TempDir dir;
  copy_example_after_a_run(dir);
  dir.write("data/error.dat", "0\n");
  fs::create_directory(dir.path() / "temptemp.bat");
  Outcome o = run_in_process(dir.path(),
                             answers({{kFinalConditions, "Y"}, {kPrint, "Y"}, {kAuxiliary, "Y"}},
                                     {{kFinalConditions, {""}}}));
  EXPECT_EQ(o.status, 1);
  EXPECT_EQ(last_line(o.console),
            " ** Fatal Error: the file cannot be opened, file temptemp.bat: is a directory");
  for (const auto& [name, content] : kEarlierRun) EXPECT_NE(dir.read(name), content) << name;
  EXPECT_NE(dir.read("NET1-c.res").find("final conditions output file. NET1.prd"),
            std::string::npos)
      << dir.read("NET1-c.res");
  EXPECT_FALSE(dir.exists("userdata.tmp"));
  EXPECT_EQ(temporaries(dir.path()), std::vector<std::string>{});
}

TEST(FaultInjection, ASecondRunInADirectoryInUseStopsBeforeTouchingAnything) {
  for (DirectoryLock::Mode mode : {DirectoryLock::Mode::kExclusive, DirectoryLock::Mode::kShared}) {
    TempDir dir;
    copy_example_after_a_run(dir);
    dir.write(".pavecast~NET1-c.out~abcDEF", "being written by the first run\n");
    const testing::Files before = testing::files_under(dir.path());
    std::unique_ptr<DirectoryLock> first;
    ASSERT_EQ(DirectoryLock::lock(dir.path(), mode, first), DirectoryLock::Outcome::kLocked);
    Outcome o = run_in_process(dir.path(), answers({}));
    EXPECT_EQ(o.status, 1);
    EXPECT_EQ(o.console, " ** Fatal Error: another run is using this directory\n");
    EXPECT_EQ(testing::files_under(dir.path()), before);
  }
}

// What a run killed during its commit left: a journal, one file renamed, one
// not, and temporary files of files never committed (in data/ too).
TEST(FaultInjection, TheNextStartCompletesAnInterruptedCommitAndRemovesLeftovers) {
  TempDir dir;
  copy_example_after_a_run(dir);
  dir.write("NET1-c.res", "inputs of the killed run\n");
  dir.write(".pavecast~NET1-c.out~Ab12Cd", "report of the killed run\n");
  dir.write(std::string(kCommitJournal),
            "pavecast commit\n.pavecast~NET1-c.out~Ab12Cd\0NET1-c.out\0"
            ".pavecast~NET1-c.res~Ef34Gh\0NET1-c.res\0end\0"s);
  dir.write(".pavecast~NET1-c.scr~Zz99Yy", "half a listing");
  dir.write("data/.pavecast~default2.dat~Qq11Qq", "half the answers");
  Outcome o = run_in_process(dir.path(), "");
  EXPECT_EQ(o.status, 1);
  EXPECT_EQ(last_line(o.console), " ** Fatal Error: end of console input");
  EXPECT_EQ(dir.read("NET1-c.out"), "report of the killed run\n");
  EXPECT_EQ(dir.read("NET1-c.res"), "inputs of the killed run\n");
  EXPECT_EQ(dir.read("NET1-c.scr"), "segment list of an earlier run\n");
  EXPECT_EQ(temporaries(dir.path()), std::vector<std::string>{});
  EXPECT_FALSE(dir.exists("userdata.tmp"));
}

// A final-conditions name that is one of the run's own files, and names
// holding a control character, are refused and asked again.
TEST(FaultInjection, NamesThatCollideOrHoldControlCharactersAreAskedAgain) {
  TempDir dir;
  copy_example_after_a_run(dir);
  const std::string nul("a\0b", 3);
  Outcome o = run_in_process(
      dir.path(),
      answers({{kTrace, "Y"}, {kForceFix, "Y"}, {kFinalConditions, "Y"}, {kAuxiliary, "Y"}},
              {{kTrace, {"1", "5", ""}},
               {kForceFix, {nul, "force.txt"}},
               {kFinalConditions,
                {"NET1-c.out", "NET1-c.rep", "userdata.tmp", "temptemp.bat", "trace.5",
                 "NET1-c.res", "x\x1b[2J", "new.prd"}}}));
  EXPECT_EQ(o.status, 0) << last_line(o.console);
  std::size_t own = 0, control = 0;
  for (std::size_t at = 0;
       (at = o.console.find("is a file this run writes", at)) != std::string::npos; ++at)
    ++own;
  for (std::size_t at = 0; (at = o.console.find("control character", at)) != std::string::npos;
       ++at)
    ++control;
  EXPECT_EQ(own, 6u) << o.console;
  EXPECT_EQ(control, 2u);
  EXPECT_TRUE(dir.read("NET1-c.out").starts_with("\x1b"));
  EXPECT_TRUE(dir.read("trace.5").starts_with("This is a tracing of"));
  EXPECT_TRUE(dir.read("new.prd").starts_with("2035 NAMES\n"));
  EXPECT_EQ(dir.read("data/default2.dat").find('\0'), std::string::npos);
}

}  // namespace
}  // namespace pavecast
