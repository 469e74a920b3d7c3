// End-to-end runs of corvexa-tree against what could make it write where it
// must not: an output folder swapped for a link while the run writes, a
// report file that names a file of the source or of the output, trees too
// deep or too wide for one descriptor per folder, and many worker threads
// (the ThreadSanitizer build of tests/run runs these).
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <string>
#include <thread>
#include <vector>

#include "run_corvexa.h"
#include "tree_runs.h"

namespace corvexa_test {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

const std::string php_file =
    "<?php\n$link = mysql_connect($h, $u, $p);\n$r = mysql_query('SELECT 1', $link);\n";

mode_t mode_of(const std::string& path) {
  struct stat info;
  return ::stat(path.c_str(), &info) == 0 ? info.st_mode & 07777 : 0;
}

struct report_refusal {
  const char* name;
  std::vector<std::string> arguments;
  const char* message;
};

TEST(TreeSafety, ReportFileNeverReplacesASourceOrOutputFile) {
  const report_refusal cases[] = {
      {"a file of the source",
       {"src", "out", "--report-file", "src/b/keep.php"},
       "report file src/b/keep.php is a file of the source folder src"},
      {"a link elsewhere to a file of the source",
       {"src", "out", "--report-file", "link"},
       "is a file of the source folder"},
      {"a hard link of a file of the source",
       {"src", "out", "--report-file", "hard.php"},
       "is a file of the source folder"},
      {"diff mode, a file of the source",
       {"--diff", "src", "--report-file=src/b/keep.php"},
       "is a file of the source folder"},
      {"a new file in the output folder",
       {"src", "new-out", "--report-file", "new-out/r.txt"},
       "report file new-out/r.txt is inside the output folder new-out"},
      {"a converted file, with --force",
       {"--force", "src", "full", "--report-file", "full/a.php"},
       "is inside the output folder"},
      {"the output folder through a link",
       {"--force", "src", "full", "--report-file", "link-to-full/report.txt"},
       "is inside the output folder"},
  };
  for (const report_refusal& c : cases) {
    SCOPED_TRACE(c.name);
    temp_dir dir;
    fs::create_directories(dir / "src/b");
    write_file(dir / "src/a.php", php_file);
    write_file(dir / "src/b/keep.php", php_file);
    fs::create_directories(dir / "full");
    write_file(dir / "full/a.php", "converted before");
    fs::create_symlink("src/b/keep.php", dir / "link");
    fs::create_hard_link(dir / "src/a.php", dir / "hard.php");
    fs::create_directory_symlink("full", dir / "link-to-full");
    auto before = snapshot(dir.path());

    run_result run = run_tree(c.arguments, dir.path());

    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(snapshot(dir.path()), before);
  }
}

TEST(TreeSafety, ReportReplacesItsFileWholeAndKeepsItsBits) {
  temp_dir dir;
  fs::create_directories(dir / "src");
  write_file(dir / "src/a.php", php_file);
  write_file(dir / "report.txt", "the report before");
  ::chmod((dir / "report.txt").c_str(), 0640);
  // Another name of the old report is left alone: the report is a new
  // file, never the old one truncated.
  fs::create_hard_link(dir / "report.txt", dir / "old-report.txt");
  write_file(dir / "linked-report.txt", "");
  fs::create_symlink("linked-report.txt", dir / "report-link");

  run_result run = run_tree({"src", "out", "--report-file", "report.txt"}, dir.path());
  run_result linked = run_tree({"src", "out2", "--report-file", "report-link"}, dir.path());

  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(linked.status, 0) << linked.err;
  EXPECT_NE(read_file(dir / "report.txt").find("files: 1 (converted 1"), std::string::npos);
  EXPECT_EQ(mode_of(dir / "report.txt"), 0640u);
  EXPECT_EQ(read_file(dir / "old-report.txt"), "the report before");
  // A report through a link is written where the link leads.
  EXPECT_TRUE(fs::is_symlink(dir / "report-link"));
  EXPECT_NE(read_file(dir / "linked-report.txt").find("files: 1"), std::string::npos);
  for (const auto& [path, bytes] : snapshot(dir.path())) {
    EXPECT_EQ(path.find(".corvexa-"), std::string::npos) << "temporary file left: " << path;
  }
}

// Sets the descriptor limit of the run.
run_options with_descriptor_limit(rlim_t most) {
  run_options options;
  options.in_child = [most] {
    rlimit limit{most, most};
    ::setrlimit(RLIMIT_NOFILE, &limit);
  };
  return options;
}

// Far more folders than descriptors, one inside the other or side by
// side. The deep tree once overflowed the walk's call stack.
TEST(TreeSafety, DeepAndWideTreesNeedNoDescriptorPerFolder) {
  constexpr rlim_t descriptor_limit = 64;
  struct tree_case {
    const char* name;
    int depth;    // folders inside each other
    int folders;  // side by side, at the top
    int files;    // in each folder that holds files
  };
  // Paths stay under PATH_MAX, so that the test's own tools can read them.
  const tree_case cases[] = {{"2000 deep", 2000, 1, 1}, {"4000 files wide", 1, 1000, 4}};
  for (const tree_case& c : cases) {
    SCOPED_TRACE(c.name);
    temp_dir dir;
    for (int folder = 0; folder < c.folders; ++folder) {
      std::string path = dir / "src/";
      for (int level = 0; level < c.depth; ++level) {
        path += (level == 0 ? std::to_string(folder) : "d") + "/";
        if (level % 250 != 0 && level != c.depth - 1) continue;
        fs::create_directories(path);
        for (int file = 0; file < c.files; ++file) {
          write_file(path + "f" + std::to_string(file) + ".txt", path);
        }
      }
    }
    run_result run =
        run_tree({"-j", "2", "src", "out"}, dir.path(), with_descriptor_limit(descriptor_limit));
    EXPECT_EQ(run.status, 0) << run.err << run.out.substr(0, 2000);
    EXPECT_EQ(run.err, "");
    EXPECT_TRUE(snapshot(dir / "out") == snapshot(dir / "src"));
  }
}

// Swaps the output folder out/d for a link to elsewhere and back, again
// and again, while a run writes into it, and leaves the real folder in its
// place at the end. Returns how many times it swapped.
int swap_folder_until(const temp_dir& dir, const std::atomic<bool>& done) {
  std::string folder = dir / "out/d", aside = dir / "out/d.aside";
  std::string elsewhere = dir / "elsewhere";
  auto give_up = std::chrono::steady_clock::now() + 60s;
  while (!done && ::access(folder.c_str(), F_OK) != 0 &&
         std::chrono::steady_clock::now() < give_up) {
    std::this_thread::yield();
  }
  int swaps = 0;
  while (!done && ::rename(folder.c_str(), aside.c_str()) == 0) {
    bool linked = ::symlink(elsewhere.c_str(), folder.c_str()) == 0;
    swaps += linked;
    std::this_thread::sleep_for(200us);
    if (linked) ::unlink(folder.c_str());
    if (::rename(aside.c_str(), folder.c_str()) != 0) break;
    std::this_thread::sleep_for(200us);
  }
  return swaps;
}

// A run writes into out/d while another thread swaps it for a link to a
// folder whose files have the same names, many times over. Where a swap
// meets the run is left to chance, but whatever the timing, nothing may
// change elsewhere, and every file reported as written is in its place.
TEST(TreeSafety, OutputFolderSwappedForALinkDuringTheRunIsNeverWrittenThrough) {
  constexpr int rounds = 4;
  constexpr int folders = 30;
  constexpr int files_per_folder = 50;
  // Fewer folder descriptors than folders: some are looked up again by
  // name during the run.
  constexpr rlim_t descriptor_limit = 64;
  temp_dir dir;
  for (int folder = 0; folder < folders; ++folder) {
    std::string inner = "d/s" + std::to_string(folder);
    fs::create_directories(dir / "src/" + inner);
    fs::create_directories(dir / "elsewhere/" + inner.substr(2));
    for (int i = 0; i < files_per_folder; ++i) {
      std::string name = "/f" + std::to_string(i);
      write_file(dir / "src/" + inner + name + (i % 10 == 0 ? ".php" : ".txt"),
                 i % 10 == 0 ? php_file : inner + name);
      // The same names elsewhere: a write through the link replaces them.
      write_file(dir / "elsewhere/" + inner.substr(2) + name + ".txt", "elsewhere");
    }
  }
  auto elsewhere_before = snapshot(dir / "elsewhere");
  for (int round = 0; round < rounds; ++round) {
    SCOPED_TRACE(round);
    fs::remove_all(dir / "out");
    std::atomic<bool> done = false;
    std::thread swapping([&] { swap_folder_until(dir, done); });
    run_result run = run_tree({"-j", "2", "--report", "json", "src", "out"}, dir.path(),
                              with_descriptor_limit(descriptor_limit));
    done = true;
    swapping.join();

    EXPECT_TRUE(snapshot(dir / "elsewhere") == elsewhere_before);
    ASSERT_TRUE(run.status == 0 || run.status == 1) << run.err;
    nlohmann::json report = nlohmann::json::parse(run.out);
    bool failed = false;
    for (const auto& file : report["files"]) {
      std::string path = file["path"];
      if (file["kind"] == "failed") {
        // The folder d itself may be taken away as soon as it is made.
        failed = true;
        std::string problem = file["problem"];
        EXPECT_TRUE(problem.find("moved or replaced during the run") != std::string::npos ||
                    problem == "not written: its output folder could not be created")
            << file;
      } else if (file["kind"] == "copied") {
        // Reported as written only when its folder was in its place at the
        // end of the run, where the swapping left it.
        EXPECT_EQ(read_file(dir / "out/" + path), read_file(dir / "src/" + path)) << path;
      }
    }
    EXPECT_EQ(run.status, failed ? 1 : 0);
  }
}

// Long enough files that the workers' first conversions overlap: the
// choice of the searches' width, made by the first search, once raced with
// the other workers' searches.
TEST(TreeSafety, ParallelRunsGiveTheSameFilesAndReport) {
  constexpr int runs = 8;
  std::string long_file = "<?php\n";
  for (int line = 0; line < 400; ++line) {
    long_file += "$r" + std::to_string(line) + " = mysql_query('SELECT 1', $link);\n";
  }
  long_file += "mysql_errno();\n";
  temp_dir dir;
  for (int folder = 0; folder < 6; ++folder) {
    std::string path = dir / "src/f" + std::to_string(folder) + "/";
    fs::create_directories(path + "inner");
    for (int i = 0; i < 25; ++i) {
      write_file(path + "p" + std::to_string(i) + ".php", i % 3 ? long_file : php_file);
      write_file(path + "inner/t" + std::to_string(i) + ".txt", path);
    }
    fs::create_symlink("p0.php", path + "link.php");
  }
  run_result first = run_tree({"-j", "1", "--report", "json", "src", "out"}, dir.path());
  ASSERT_EQ(first.status, 0) << first.err;
  auto files = snapshot(dir / "out");
  for (int run = 0; run < runs; ++run) {
    SCOPED_TRACE(run);
    fs::remove_all(dir / "out");
    run_result parallel = run_tree({"-j", "8", "--report", "json", "src", "out"}, dir.path());
    EXPECT_EQ(parallel.status, 0);
    EXPECT_EQ(parallel.err, "");
    EXPECT_EQ(without_time(parallel.out), without_time(first.out));
    EXPECT_TRUE(snapshot(dir / "out") == files);
  }
}

}  // namespace
}  // namespace corvexa_test
