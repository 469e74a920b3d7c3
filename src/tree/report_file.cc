// A report that names an existing regular file replaces the file its name
// leads to, links followed as writing through them did, and keeps that
// file's permission bits; a new report gets the bits that the umask allows.
// A report to a device, a FIFO or a terminal (/dev/stdout) is written to it
// directly: there is nothing to replace.
#include "tree/report_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "common/byte_streams.h"
#include "common/descriptor.h"
#include "tree/file_io.h"
#include "tree/real_paths.h"
#include "tree/relative_path.h"

namespace corvexa {
namespace {

std::string is_in_source(const std::string& report, const std::string& source) {
  return "report file " + report + " is a file of the source folder " + source;
}

// The permission bits that a new file gets from the umask.
mode_t bits_for_new_file() {
  // Read by setting it: no other thread creates files by now.
  mode_t mask = ::umask(0);
  ::umask(mask);
  return 0666 & ~mask;
}

std::string write_in_place(const std::string& report, std::string_view text) {
  descriptor file(::open(report.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666));
  bool written = file.is_open() && fd_writer(file.get()).write_all(text);
  written = file.is_open() && file.close() && written;
  return written ? std::string() : std::strerror(errno);
}

}  // namespace

std::string check_report_path(const std::string& report, const std::string& source,
                              const std::string& output) {
  std::string real_report;
  if (!future_real_path(report, real_report)) {
    return "cannot use report file " + report + ": " + std::strerror(errno);
  }
  if (!output.empty()) {
    std::string real_output;
    file_identity output_identity;
    bool inside = future_real_path(output, real_output) && within(real_report, real_output);
    if (!inside && identity_of(output, output_identity)) {
      inside = within_by_identity(real_report, output_identity);
    }
    if (inside) return "report file " + report + " is inside the output folder " + output;
  }
  struct stat info;
  std::string real_source;
  if (::stat(report.c_str(), &info) == 0 && real_path(source, real_source) &&
      within(real_report, real_source)) {
    return is_in_source(report, source);
  }
  return {};
}

std::string check_report_not_in_source(const std::string& report, const std::string& source,
                                       folder_opener& folders,
                                       const std::vector<tree_entry>& entries) {
  struct stat report_info;
  if (::stat(report.c_str(), &report_info) != 0 || S_ISDIR(report_info.st_mode)) return {};
  for (const tree_entry& entry : entries) {
    if (entry.type != entry_type::regular_file && entry.type != entry_type::other) continue;
    shared_folder folder;
    struct stat info;
    if (!folders.open(folder_part(entry.path), folder).empty() ||
        ::fstatat(folder->get(), name_part(entry.path).c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0) {
      continue;
    }
    if (info.st_dev == report_info.st_dev && info.st_ino == report_info.st_ino) {
      return is_in_source(report, source);
    }
  }
  return {};
}

std::string write_report_file(const std::string& report, std::string_view text) {
  struct stat info;
  bool exists = ::stat(report.c_str(), &info) == 0;
  if (exists && !S_ISREG(info.st_mode)) return write_in_place(report, text);
  std::string target = report;
  if (exists && !real_path(report, target)) return std::strerror(errno);
  std::size_t slash = target.rfind('/');
  std::string folder_path = slash == std::string::npos ? "." : target.substr(0, slash + 1);
  std::string name = slash == std::string::npos ? target : target.substr(slash + 1);
  descriptor folder(::open(folder_path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (!folder.is_open()) return std::strerror(errno);
  mode_t mode = exists ? info.st_mode & 07777 : bits_for_new_file();
  io_error error = write_file_atomically(folder.get(), name, text, mode);
  // The reason alone: the caller says what could not be written.
  constexpr std::string_view prefix = "could not write: ";
  if (error.starts_with(prefix)) error.erase(0, prefix.size());
  return error;
}

}  // namespace corvexa
