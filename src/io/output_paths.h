// The files a command line names for writing (the scenario tool's --csv,
// --svg, --conditions and --html): all of them checked before any work
// starts, then each written as the program writes its own files, under a
// temporary name beside it and renamed over it whole (record_files.h), so a
// symbolic link at the name is replaced, never written through, and an
// interrupted write leaves the old file as it was.
//
// An output is refused, with the reason, when
//   - its folder does not exist or cannot be written;
//   - it is a directory, or something else that is not a regular file (a
//     device, a FIFO; a link to one counts as one);
//   - it is a file the command reads: compared by device and inode, so a link
//     to an input, or a second name of it, counts as the input;
//   - it is one of the program's own files: anything in the working
//     directory's data/ or roads/ folders, or a run's product in the working
//     directory itself (a report NAME.out, its .res, .scr and .rep, a trace
//     file trace.*, userdata.tmp, temptemp.bat), whether it exists yet or not;
//   - it is the same file as another output of the same command.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "io/record_files.h"

namespace pavecast {

struct FileIdentity {
  uint64_t device = 0;
  uint64_t inode = 0;
  friend bool operator==(const FileIdentity&, const FileIdentity&) = default;
};

// The identity of the file at `path` (links followed); none when there is
// no such file.
std::optional<FileIdentity> identity_of(const std::filesystem::path& path);

// Every regular file of the working directory's data/ and roads/ folders:
// all the files the program and the tool read there.
std::vector<FileIdentity> program_inputs(const std::filesystem::path& workdir);

struct NamedOutput {
  std::string option;  // "--csv"
  std::string name;    // as given, for messages
  std::filesystem::path path;
};

// The first output refused, as "--csv data/repairs.dat: it is a file the
// command reads"; none when every output may be written.
std::optional<std::string> refuse_outputs(const std::vector<NamedOutput>& outputs,
                                          const std::filesystem::path& workdir,
                                          const std::vector<FileIdentity>& inputs);

// A checked output opened for writing: the replacement file of
// record_files.h. A failure is a fatal stop naming the file.
std::unique_ptr<OutputFile> create_output(const NamedOutput& output);

}  // namespace pavecast
