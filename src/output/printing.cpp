#include "output/printing.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "layout/layout.h"
#include "output/output_files.h"

namespace pavecast {

namespace {

const char kCommandFile[] = "temptemp.bat";

// Writes the whole buffer to `fd`; false on any error.
bool write_all(int fd, const char* data, std::size_t size) {
  while (size > 0) {
    ssize_t n = ::write(fd, data, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    data += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

// Copies the file at `from` to the existing device `to`, appending.
bool copy_to_device(const std::filesystem::path& from, const std::filesystem::path& to) {
  if (to.empty()) return false;
  int in = ::open(from.c_str(), O_RDONLY | O_CLOEXEC);
  if (in < 0) return false;
  int out = ::open(to.c_str(), O_WRONLY | O_APPEND | O_NOCTTY | O_CLOEXEC);
  if (out < 0) {
    ::close(in);
    return false;
  }
  bool ok = true;
  char buffer[1 << 15];
  for (;;) {
    ssize_t n = ::read(in, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) ok = false;
    if (n <= 0) break;
    if (!write_all(out, buffer, static_cast<std::size_t>(n))) {
      ok = false;
      break;
    }
  }
  ::close(in);
  if (::close(out) != 0) ok = false;
  return ok;
}

// The command file of a copy; it is removed when the returned file goes.
std::unique_ptr<OutputFile> write_command_file(const RunOutput& run, const std::string& command) {
  auto file = OutputFile::create_scratch_or_fatal(run.workdir.local(kCommandFile));
  file->write(command);
  file->close();
  return file;
}

}  // namespace

std::string print_report_command(const RunOutput& run) {
  static const layout::Layout kCommand("'@echo off',/,'copy ',A,' lpt',I1,' >\\nul'");
  return kCommand.format({padded_name(run.state.report_file_name), run.settings.printer_port});
}

std::string print_inputs_command(const RunOutput& run) {
  static const layout::Layout kCommand("'@echo off',/,'copy userdata.tmp lpt',I1,' >\\nul'");
  return kCommand.format({run.settings.printer_port});
}

std::filesystem::path printer_device(const RunOutput& run) {
  if (run.settings.printer_port < 1 || run.settings.printer_port > 9) return {};
  return run.printers.device_prefix + std::to_string(run.settings.printer_port - 1);
}

bool print_file(const RunOutput& run, const FilePath& from, const std::string& command) {
  auto command_file = write_command_file(run, command);
  return copy_to_device(from.path, printer_device(run));
}

bool print_bytes(const RunOutput& run, std::string_view bytes, const std::string& command) {
  auto command_file = write_command_file(run, command);
  const std::filesystem::path device = printer_device(run);
  if (device.empty()) return false;
  int out = ::open(device.c_str(), O_WRONLY | O_APPEND | O_NOCTTY | O_CLOEXEC);
  if (out < 0) return false;
  bool ok = write_all(out, bytes.data(), bytes.size());
  if (::close(out) != 0) ok = false;
  return ok;
}

}  // namespace pavecast
