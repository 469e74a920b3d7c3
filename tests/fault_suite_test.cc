// End-to-end runs of the corvexa binary over files that are missing,
// unusable, the same file under another name, very large, or cut off in
// the middle of a token.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <thread>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "run_corvexa.h"

namespace corvexa_test {
namespace {

using namespace std::string_literals;

const std::string source = "<?php $r = mysql_query($sql, $db); ?>\n";
const std::string same_name = "Error: infile cannot be the same as outfile.\n\n";

// Compares byte strings without printing megabytes when they differ.
testing::AssertionResult same_bytes(const std::string& actual, const std::string& expected) {
  if (actual == expected) return testing::AssertionSuccess();
  std::size_t at =
      std::mismatch(actual.begin(), actual.end(), expected.begin(), expected.end()).first -
      actual.begin();
  return testing::AssertionFailure()
         << "sizes " << actual.size() << " and " << expected.size() << ", first difference at byte "
         << at << ": got \"" << actual.substr(at, 40) << "\", expected \""
         << expected.substr(at, 40) << "\"";
}

struct refusal_case {
  const char* name;
  // Prepares the folder (in.php already exists) and returns the arguments.
  std::function<std::vector<std::string>(const temp_dir&)> setup;
  std::string console;  // expected after the banner
};

const std::vector<refusal_case> refusal_cases = {
    {"missing input",
     [](const temp_dir&) {
       return std::vector<std::string>{"nope.php", "out.php"};
     },
     "Error: could not open infile nope.php.\n\n"},
    {"input is a folder",
     [](const temp_dir& dir) {
       std::filesystem::create_directory(dir / "indir");
       return std::vector<std::string>{"indir", "out.php"};
     },
     "Error: could not open infile indir.\n\n"},
    {"output in a missing folder",
     [](const temp_dir&) {
       return std::vector<std::string>{"in.php", "no/such/out.php"};
     },
     "Error: could not open outfile no/such/out.php.\n\n"},
    {"output is a folder",
     [](const temp_dir& dir) {
       std::filesystem::create_directory(dir / "outdir");
       return std::vector<std::string>{"in.php", "outdir"};
     },
     "Error: could not open outfile outdir.\n\n"},
    {"same file with ./",
     [](const temp_dir&) {
       return std::vector<std::string>{"./in.php", "in.php"};
     },
     same_name},
    {"same file through a symbolic link",
     [](const temp_dir& dir) {
       std::filesystem::create_symlink("in.php", dir / "link.php");
       return std::vector<std::string>{"in.php", "link.php"};
     },
     same_name},
    {"same file through a hard link",
     [](const temp_dir& dir) {
       std::filesystem::create_hard_link(dir / "in.php", dir / "hard.php");
       return std::vector<std::string>{"hard.php", "in.php"};
     },
     same_name},
    {"same file by absolute path",
     [](const temp_dir& dir) {
       return std::vector<std::string>{"in.php", dir / "in.php"};
     },
     same_name},
};

TEST(FaultSuite, RefusedRunsLeaveTheFolderUntouched) {
  for (const refusal_case& c : refusal_cases) {
    SCOPED_TRACE(c.name);
    temp_dir dir;
    write_file(dir / "in.php", source);
    std::vector<std::string> argv = {"corvexa"};
    for (std::string& argument : c.setup(dir)) argv.push_back(argument);
    auto before = snapshot(dir.path());

    run_result run = run_corvexa(argv, dir.path());

    EXPECT_EQ(run.out, banner() + c.console);
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(snapshot(dir.path()), before);
  }
}

TEST(FaultSuite, UnreadableInputIsAnOpenError) {
  if (::geteuid() == 0)
    GTEST_SKIP() << "running as root, which can read a file without read "
                    "permission";
  temp_dir dir;
  write_file(dir / "in.php", source);
  ::chmod((dir / "in.php").c_str(), 0);

  run_result run = run_corvexa({"corvexa", "in.php", "out.php"}, dir.path());

  EXPECT_EQ(run.out, banner() + "Error: could not open infile in.php.\n\n");
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(run.status, 1);
  EXPECT_FALSE(std::filesystem::exists(dir / "out.php"));
  ::chmod((dir / "in.php").c_str(), 0644);
  EXPECT_EQ(read_file(dir / "in.php"), source);
}

TEST(FaultSuite, WriteErrorIsReportedWithoutDone) {
  if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
  // The second input fails its first write long before its call is read:
  // the conversion still goes on to the end, so its warning is printed.
  const std::string inputs[] = {source, "<?php" + std::string(300000, ' ') + "mysql_errno() ?>"};
  const std::string consoles[] = {"", "Warning: mysql_errno() not supported.\n"};
  for (int i = 0; i < 2; ++i) {
    temp_dir dir;
    write_file(dir / "in.php", inputs[i]);

    run_result run = run_corvexa({"corvexa", "in.php", "/dev/full"}, dir.path());

    EXPECT_EQ(run.out, banner() + start_message("in.php", "/dev/full") + consoles[i] +
                           "Error: could not write outfile /dev/full.\n\n");
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(read_file(dir / "in.php"), inputs[i]);
  }
}

// Reading a process's own memory file from offset 0 fails with an I/O
// error, since nothing is mapped at address 0.
TEST(FaultSuite, ReadErrorIsReportedWithoutDone) {
  temp_dir dir;
  run_result run = run_corvexa({"corvexa", "/proc/self/mem", "out.php"}, dir.path());
  if (run.out.find("could not open infile") != std::string::npos)
    GTEST_SKIP() << "/proc/self/mem cannot be opened here";

  EXPECT_EQ(run.out, banner() + start_message("/proc/self/mem", "out.php") +
                         "Error: could not read infile /proc/self/mem.\n\n");
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(run.status, 1);
}

// Converts `input` and expects `output` in the output file, `messages`
// between the start message and "Done.", and the input left as it was.
void expect_conversion(const std::string& input, const std::string& output,
                       const std::string& messages = "") {
  temp_dir dir;
  write_file(dir / "in.php", input);

  run_result run = run_corvexa({"corvexa", "in.php", "out.php"}, dir.path());

  EXPECT_EQ(run.out, banner() + start_message("in.php", "out.php") + messages + "Done.\n\n");
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(run.status, 0);
  EXPECT_TRUE(same_bytes(read_file(dir / "out.php"), output));
  EXPECT_TRUE(same_bytes(read_file(dir / "in.php"), input));
}

struct conversion_case {
  const char* name;
  std::string input;
  std::string output;  // empty: the same as the input
};

const std::string deep_open(10000, '(');
const std::string deep_close(10000, ')');

const std::vector<conversion_case> conversion_cases = {
    {"only the block opener", "<?", ""},
    {"end inside a single-quoted string", "<?php $s = 'abc", ""},
    {"end inside a double-quoted string", "<?php $s = \"abc", ""},
    {"end after a backslash in a single-quoted string", "<?php $s = 'ab\\", ""},
    {"end after a backslash in a double-quoted string", "<?php $s = \"ab\\", ""},
    {"end inside a variable", "<?php echo $name", ""},
    {"end inside a word", "<?php echo", ""},
    {"end inside a number", "<?php $a = 12", ""},
    {"end inside a block comment", "<?php /* not closed ?>", ""},
    {"end right after a block comment opener", "<?php /*", ""},
    {"end inside a line comment", "<?php // not closed ?>", ""},
    {"end right after ? in a block", "<?php $a ?", ""},
    {"end right after / in a block", "<?php $a /", ""},
    {"zero bytes everywhere", "\0<?php $s = 'a\0b'; \0 echo \"\0\"; ?>\0"s, ""},
    {"end right after a call name", "<?php mysql_close", "<?php pg_close()"},
    {"end right after the opening parenthesis", "<?php mysql_close(", "<?php pg_close()"},
    {"end inside an argument list", "<?php mysql_query('x', $db", "<?php pg_query($db,'x')"},
    {"end inside a string argument", "<?php mysql_query('abc", "<?php pg_query('abc)"},
    {"deep nesting never closed", "<?php mysql_close" + deep_open,
     "<?php pg_close" + deep_open + ")"},
    {"deep nesting closed", "<?php mysql_close(" + deep_open + deep_close + "); ?>",
     "<?php pg_close(" + deep_open + deep_close + "); ?>"},
};

TEST(FaultSuite, InputsCutShortOrNestedDeeplyConvertToTheEnd) {
  for (const conversion_case& c : conversion_cases) {
    SCOPED_TRACE(c.name);
    expect_conversion(c.input, c.output.empty() ? c.input : c.output);
  }
}

TEST(FaultSuite, EveryByteValueIsCopiedUnchanged) {
  std::string ascending(256, '\0');
  for (int i = 0; i < 256; ++i) ascending[i] = static_cast<char>(i);
  std::vector<std::string> inputs = {ascending, "<?" + ascending,
                                     std::string(ascending.rbegin(), ascending.rend())};
  std::mt19937 random(20060602);
  for (int round = 0; round < 5; ++round) {
    std::string shuffled = ascending;
    for (std::size_t i = shuffled.size() - 1; i > 0; --i)
      std::swap(shuffled[i], shuffled[random() % (i + 1)]);
    inputs.push_back("<?" + shuffled);
  }
  for (const std::string& input : inputs) {
    std::string lower = input;
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    ASSERT_EQ(lower.find("mysql"), std::string::npos) << "holds a call name";
    SCOPED_TRACE(testing::PrintToString(input));
    expect_conversion(input, input);
  }
}

TEST(FaultSuite, HugeStringTokenIsCopiedWhole) {
  std::string input = "<?php $s = '" + std::string(64u << 20, 'a') + "'; ?>";
  expect_conversion(input, input);
}

// A long token is held once, where it is kept: a variable is shared by the
// last and the remembered variable, a string argument is read straight into
// its argument text, and growing a text remaps rather than copies.
TEST(FaultSuite, LongTokensCostTheirOwnLengthOnce) {
  if (CORVEXA_SANITIZED)
    GTEST_SKIP() << "the sanitizers' allocator keeps freed memory and shadow "
                    "pages, so resident size says nothing about the program";
  // The child's peak counts what it shared with this process before it
  // started the binary, so the inputs are written in pieces, never held.
  const std::size_t length = 32u << 20;
  const std::pair<std::string, std::string> inputs[] = {
      {"<?php $", " = mysql_connect($h, $u, $p); mysql_error(); ?>"},
      {"<?php mysql_query('", "', $db); ?>"},
      {"<?php echo ", "; ?>"},
  };
  for (const auto& [before, after] : inputs) {
    SCOPED_TRACE(before);
    temp_dir dir;
    {
      std::ofstream file(dir / "in.php", std::ios::binary);
      file << before;
      const std::string piece(1u << 20, 'a');
      for (std::size_t written = 0; written < length; written += piece.size()) file << piece;
      file << after;
    }

    run_result run = run_corvexa({"corvexa", "in.php", "out.php"}, dir.path());

    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(std::filesystem::file_size(dir / "out.php") > length, true);
    long limit_kib = static_cast<long>(length / 1024 * 3 / 2) + 4096;
    EXPECT_LE(run.peak_memory_kib, limit_kib);
  }
}

// A string of the block's code is copied through part by part as it is
// read: however long, it costs no memory of its own, also at the end of
// the input, where it is never closed.
TEST(FaultSuite, LongStringsOfCodeAreNeverHeld) {
  if (CORVEXA_SANITIZED)
    GTEST_SKIP() << "the sanitizers' allocator keeps freed memory and shadow "
                    "pages, so resident size says nothing about the program";
  const std::size_t length = 32u << 20;
  const std::pair<std::string, std::string> inputs[] = {
      {"<?php $a = '", "'; mysql_close($a); ?>"},
      {"<?php echo \"", ""},
  };
  for (const auto& [before, after] : inputs) {
    SCOPED_TRACE(before);
    temp_dir dir;
    {
      std::ofstream file(dir / "in.php", std::ios::binary);
      file << before;
      const std::string piece(1u << 20, 'a');
      for (std::size_t written = 0; written < length; written += piece.size()) file << piece;
      file << after;
    }

    run_result run = run_corvexa({"corvexa", "in.php", "out.php"}, dir.path());

    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(std::filesystem::file_size(dir / "out.php") > length, true);
    EXPECT_LE(run.peak_memory_kib, 24 * 1024);  // well below the string's 32 MiB
  }
}

TEST(FaultSuite, ClosedStandardDescriptorsKeepMessagesOutOfTheOutput) {
  temp_dir dir;
  const std::string input = "<?php mysql_errno(); ?>";
  write_file(dir / "in.php", input);
  // With 0, 1 and 2 closed, the input and output would otherwise open as
  // descriptors 0 and 1, and the console would write into the output.
  std::string command =
      "cd '" + dir.path() + "' && '" CORVEXA_BINARY "' in.php out.php <&- >&- 2>&-";
  // Its messages could not be shown: that is no success.
  EXPECT_EQ(WEXITSTATUS(std::system(command.c_str())), 1);
  EXPECT_EQ(read_file(dir / "out.php"), "<?php // Warning: mysql_errno() not supported.\n; ?>");
  EXPECT_EQ(read_file(dir / "in.php"), input);
}

// A name that turns into a link to the input between any check and the
// opening of the output must never cost the input a byte: the output is
// opened without truncation and compared, as opened, with the input.
TEST(FaultSuite, OutputNameTurningIntoALinkToTheInputNeverTruncatesIt) {
  temp_dir dir;
  const std::string victim = source + std::string(4096, '#');
  write_file(dir / "victim.php", victim);
  std::atomic<bool> done = false;
  std::thread swapper([&] {
    while (!done) {
      ::symlink("victim.php", (dir / "out.php").c_str());
      ::unlink((dir / "out.php").c_str());
    }
  });
  for (int run = 0; run < 400; ++run) {
    run_corvexa({"corvexa", "victim.php", "out.php"}, dir.path());
    testing::AssertionResult intact = same_bytes(read_file(dir / "victim.php"), victim);
    EXPECT_TRUE(intact) << "after run " << run;
    if (!intact) break;
  }
  done = true;
  swapper.join();
}

// A run whose child process may use at most `bytes` of `resource`.
run_options limited_to(int resource, rlim_t bytes) {
  run_options limited;
  limited.in_child = [resource, bytes] {
    rlimit limit = {bytes, bytes};
    ::setrlimit(resource, &limit);
  };
  return limited;
}

TEST(FaultSuite, RunningOutOfMemoryIsReportedWithoutDone) {
  if (CORVEXA_SANITIZED)
    GTEST_SKIP() << "AddressSanitizer reserves far more address space than "
                    "the limit allows and aborts when memory runs out";
  temp_dir dir;
  // The argument list of the call holds the 96 MiB name whole, which does
  // not fit in 64 MiB of address space.
  write_file(dir / "in.php", "<?php mysql_query(" + std::string(96u << 20, 'a'));
  run_result run =
      run_corvexa({"corvexa", "in.php", "out.php"}, dir.path(), limited_to(RLIMIT_AS, 64u << 20));

  EXPECT_EQ(run.out, banner() + start_message("in.php", "out.php") +
                         "Error: out of memory while converting infile in.php.\n\n");
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(run.status, 1);
}

// A file size limit makes writing fail, as a full disk does, instead of
// killing the process without a word.
TEST(FaultSuite, FileSizeLimitIsAWriteError) {
  temp_dir dir;
  write_file(dir / "in.php", source + std::string(200000, ' '));
  run_result run = run_corvexa({"corvexa", "in.php", "out.php"}, dir.path(),
                               limited_to(RLIMIT_FSIZE, 16u << 10));

  EXPECT_EQ(run.out, banner() + start_message("in.php", "out.php") +
                         "Error: could not write outfile out.php.\n\n");
  EXPECT_EQ(run.status, 1);
}

// Many warnings: far more console text than a pipe holds.
std::string input_with_warnings(int count) {
  std::string input = "<?php\n";
  for (int i = 0; i < count; ++i) input += "mysql_errno();\n";
  return input;
}

TEST(FaultSuite, ConsoleThatCannotBeWrittenFailsTheRunButNotTheOutput) {
  if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
  temp_dir dir;
  write_file(dir / "in.php", input_with_warnings(5000));
  run_options full_console;
  full_console.in_child = [] {
    int full = ::open("/dev/full", O_WRONLY);
    ::dup2(full, 1);
  };

  run_result run = run_corvexa({"corvexa", "in.php", "out.php"}, dir.path(), full_console);

  EXPECT_EQ(run.err, "");
  EXPECT_EQ(run.status, 1);
  std::string converted = "<?php\n";
  for (int i = 0; i < 5000; ++i) converted += "// Warning: mysql_errno() not supported.\n;\n";
  EXPECT_TRUE(same_bytes(read_file(dir / "out.php"), converted));
}

TEST(FaultSuite, SlowNonBlockingConsoleLosesNothing) {
  temp_dir dir;
  const std::string input = input_with_warnings(5000);
  write_file(dir / "in.php", input);
  run_options slow_console;
  slow_console.in_child = [] { ::fcntl(1, F_SETFL, O_NONBLOCK); };
  slow_console.read_delay = std::chrono::milliseconds(300);

  run_result run = run_corvexa({"corvexa", "in.php", "out.php"}, dir.path(), slow_console);

  std::string warnings;
  for (int i = 0; i < 5000; ++i) warnings += "Warning: mysql_errno() not supported.\n";
  EXPECT_TRUE(
      same_bytes(run.out, banner() + start_message("in.php", "out.php") + warnings + "Done.\n\n"));
  EXPECT_EQ(run.status, 0);
}

// strace makes the third read of the input report its end early, as if
// another process had truncated the file during the run.
TEST(FaultSuite, InputCutShortDuringTheRunIsAReadError) {
  if (std::system("strace -V >/dev/null 2>&1") != 0)
    GTEST_SKIP() << "strace is not installed; it injects the early end";
  temp_dir dir;
  write_file(dir / "in.php", source + std::string(300000, ' '));
  std::string command = "cd '" + dir.path() +
                        "' && strace -o /dev/null -P in.php -e trace=read "
                        "-e inject=read:retval=0:when=3 '" CORVEXA_BINARY
                        "' in.php out.php >console.txt 2>/dev/null";
  int status = std::system(command.c_str());

  EXPECT_EQ(WEXITSTATUS(status), 1);
  EXPECT_EQ(read_file(dir / "console.txt"), banner() + start_message("in.php", "out.php") +
                                                "Error: could not read infile in.php.\n\n");
}

}  // namespace
}  // namespace corvexa_test
