// Helpers for the end-to-end tests: run the built corvexa binary in a
// folder of its own, capture both output streams, and look at the files it
// left behind.
#pragma once

#include <malloc.h>
#include <poll.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

namespace corvexa_test {

struct run_result {
  std::string out;           // everything written to standard output
  std::string err;           // everything written to standard error
  int status = -1;           // exit status; -1 if the process did not exit normally
  long peak_memory_kib = 0;  // the child's peak resident set size
};

// How a run's environment is made hostile.
struct run_options {
  // Called in the child after its output streams are connected and before
  // the binary starts: to limit memory, or to reconnect a stream.
  std::function<void()> in_child;
  // How long to leave the output streams unread at first, so that a child
  // writing much fills the pipes and has to wait.
  std::chrono::milliseconds read_delay{0};
};

// Runs `binary` in folder `cwd` with `argv` as its whole argument vector,
// argv[0] included exactly as given (an empty vector gives argc 0).
inline run_result run_program(const char* binary, const std::vector<std::string>& argv,
                              const std::string& cwd, const run_options& options = {}) {
  std::vector<char*> pointers;
  pointers.reserve(argv.size() + 1);
  for (const std::string& argument : argv) pointers.push_back(const_cast<char*>(argument.c_str()));
  pointers.push_back(nullptr);

  run_result result;
  int out_pipe[2], err_pipe[2];
  if (::pipe(out_pipe) != 0) return result;
  if (::pipe(err_pipe) != 0) {
    ::close(out_pipe[0]);
    ::close(out_pipe[1]);
    return result;
  }
  // The child's peak resident size counts the pages it shares with this
  // process until the exec; the heap that earlier tests freed is given back
  // first, so that the figure is the program's own.
  ::malloc_trim(0);
  pid_t child = ::fork();
  if (child == 0) {
    if (::chdir(cwd.c_str()) != 0) ::_exit(126);
    ::dup2(out_pipe[1], 1);
    ::dup2(err_pipe[1], 2);
    for (int fd : {out_pipe[0], out_pipe[1], err_pipe[0], err_pipe[1]}) ::close(fd);
    if (options.in_child) options.in_child();
    ::execv(binary, pointers.data());
    ::_exit(127);
  }
  ::close(out_pipe[1]);
  ::close(err_pipe[1]);
  std::this_thread::sleep_for(options.read_delay);
  // Drain both pipes together so that neither can fill up and stall the child.
  pollfd fds[2] = {{out_pipe[0], POLLIN, 0}, {err_pipe[0], POLLIN, 0}};
  std::string* sinks[2] = {&result.out, &result.err};
  int open_count = 2;
  while (child > 0 && open_count > 0) {
    if (::poll(fds, 2, -1) < 0) break;
    for (int i = 0; i < 2; ++i) {
      if (fds[i].fd < 0 || fds[i].revents == 0) continue;
      char buffer[65536];
      ssize_t got = ::read(fds[i].fd, buffer, sizeof buffer);
      if (got > 0) {
        sinks[i]->append(buffer, static_cast<std::size_t>(got));
      } else {
        fds[i].fd = -1;
        --open_count;
      }
    }
  }
  ::close(out_pipe[0]);
  ::close(err_pipe[0]);
  int wait_status = 0;
  rusage usage = {};
  if (child > 0 && ::wait4(child, &wait_status, 0, &usage) == child) {
    if (WIFEXITED(wait_status)) result.status = WEXITSTATUS(wait_status);
    result.peak_memory_kib = usage.ru_maxrss;
  }
  return result;
}

inline run_result run_corvexa(const std::vector<std::string>& argv, const std::string& cwd,
                              const run_options& options = {}) {
  return run_program(CORVEXA_BINARY, argv, cwd, options);
}

// A fresh folder, removed with everything in it when the object goes away.
class temp_dir {
 public:
  temp_dir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "corvexa-e2e-XXXXXX").string();
    if (::mkdtemp(pattern.data()) != nullptr) path_ = pattern;
  }
  ~temp_dir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  temp_dir(const temp_dir&) = delete;
  temp_dir& operator=(const temp_dir&) = delete;

  const std::string& path() const { return path_; }
  std::string operator/(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

inline void write_file(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

inline std::string read_file(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// Everything under `dir`, by relative path: the bytes of regular files,
// "<dir>" for folders, "-> target" for symbolic links and "<special>" for
// anything else. Two equal
// snapshots mean nothing was created, removed or changed.
inline std::map<std::string, std::string> snapshot(const std::string& dir) {
  namespace fs = std::filesystem;
  std::map<std::string, std::string> entries;
  for (const fs::directory_entry& entry : fs::recursive_directory_iterator(dir)) {
    // Lexically: fs::relative would resolve a link to its target.
    std::string name = entry.path().lexically_relative(dir).string();
    if (entry.is_symlink())
      entries[name] = "-> " + fs::read_symlink(entry.path()).string();
    else if (entry.is_directory())
      entries[name] = "<dir>";
    else if (entry.is_regular_file())
      entries[name] = read_file(entry.path().string());
    else
      entries[name] = "<special>";  // opening a FIFO would wait for a writer
  }
  return entries;
}

// The banner as this binary prints it, taken from a run with a single
// argument: everything up to and including the version line and the empty
// line after it. The credit lines in between are checked for their shape
// by the command-line tests.
inline const std::string& banner() {
  static const std::string text = [] {
    temp_dir dir;
    std::string out = run_corvexa({"corvexa", "x"}, dir.path()).out;
    const std::string version = "Version 0.95 - June 2, 2006\n\n";
    std::size_t end = out.find(version);
    return end == std::string::npos ? out : out.substr(0, end + version.size());
  }();
  return text;
}

// The start message of a run that got as far as converting.
inline std::string start_message(const std::string& in, const std::string& out,
                                 const std::string& database = "default") {
  return "Infile: " + in + "\nOutfile: " + out + "\nDatabase: " + database + "\n\n";
}

}  // namespace corvexa_test
