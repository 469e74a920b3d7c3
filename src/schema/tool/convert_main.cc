// corvexa-sql-convert: converts one MySQL .sql file to PostgreSQL SQL with
// the schema library, and prints its findings as file:line:column lines.
// A tool for trying the library, its tests and its benchmark; corvexa-tree
// is where .sql files of an application are converted.
//
//   corvexa-sql-convert [--charset NAME] [--schema-only] IN.sql OUT.sql
//
// Exit status: 0 after a conversion, 1 when a file cannot be read or
// written, 2 for a usage error.
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "common/byte_streams.h"
#include "common/read_ahead.h"
#include "common/write_behind.h"
#include "schema/mysql_sql_conversion.h"

namespace {

using corvexa::schema::schema_finding;

constexpr const char* usage =
    "usage: corvexa-sql-convert [--charset NAME] [--schema-only] IN.sql OUT.sql\n";

// Where the lines stand at offsets of the input, taken while the
// conversion reads it (on the read-ahead thread, for a large file), so that the findings can be
// placed without reading the file again from its start. At most `max_marks` are kept: past that,
// every other one is dropped and the distance between them doubles, so
// that their memory stays the same however large the file.
class line_marks final : public corvexa::byte_reader {
 public:
  struct mark {
    std::uint64_t offset = 0, line = 1, line_start = 0;
  };

  explicit line_marks(corvexa::byte_reader& input) : input_(input) {}

  long read_some(char* buffer, std::size_t capacity) override {
    long count = input_.read_some(buffer, capacity);
    if (count > 0) note(buffer, static_cast<std::size_t>(count));
    return count;
  }

  // The last mark at or before `offset` (the start, when nothing was read).
  mark before(std::uint64_t offset) const {
    auto after = std::upper_bound(marks_.begin(), marks_.end(), offset,
                                  [](std::uint64_t o, const mark& m) { return o < m.offset; });
    return after == marks_.begin() ? mark{} : *(after - 1);
  }

 private:
  static constexpr std::size_t max_marks = 4096;

  // Marks the lines of the next `count` bytes of the input.
  void note(const char* bytes, std::size_t count) {
    for (std::size_t i = 0; i < count;) {
      if (at_.offset == next_mark_) add_mark();
      std::size_t take = static_cast<std::size_t>(
          std::min<std::uint64_t>(static_cast<std::uint64_t>(count - i), next_mark_ - at_.offset));
      count_lines(bytes + i, take);
      i += take;
    }
  }

  void count_lines(const char* p, std::size_t n) {
    const char* end = p + n;
    std::uint64_t base = at_.offset;
    const char* start = p;
    while ((p = static_cast<const char*>(
                std::memchr(p, '\n', static_cast<std::size_t>(end - p)))) != nullptr) {
      ++at_.line;
      at_.line_start = base + static_cast<std::uint64_t>(++p - start);
      if (p == end) break;
    }
    at_.offset = base + n;
  }

  void add_mark() {
    if (marks_.size() == max_marks) {
      std::size_t kept = 0;
      for (std::size_t i = 0; i < marks_.size(); i += 2) marks_[kept++] = marks_[i];
      marks_.resize(kept);
      spacing_ *= 2;
    }
    if (at_.offset % spacing_ == 0) marks_.push_back(at_);
    next_mark_ = (at_.offset / spacing_ + 1) * spacing_;
  }

  corvexa::byte_reader& input_;
  std::vector<mark> marks_;
  mark at_;
  std::uint64_t spacing_ = 1 << 16;
  std::uint64_t next_mark_ = 0;
};

// Prints each finding with the line and column of its offset in `path`,
// read again from the mark before it.
void print_findings(const char* path, std::vector<schema_finding> findings,
                    const line_marks& marks) {
  std::stable_sort(
      findings.begin(), findings.end(),
      [](const schema_finding& a, const schema_finding& b) { return a.offset < b.offset; });
  FILE* file = std::fopen(path, "rb");
  std::vector<char> block(1 << 16);
  std::size_t filled = 0, used = 0;  // of block
  std::uint64_t offset = 0, line = 1, line_start = 0;
  for (const schema_finding& f : findings) {
    line_marks::mark mark = marks.before(f.offset);
    if (file != nullptr && mark.offset > offset &&
        fseeko(file, static_cast<off_t>(mark.offset), SEEK_SET) == 0) {
      offset = mark.offset;
      line = mark.line;
      line_start = mark.line_start;
      filled = used = 0;
    }
    // Counts the line breaks before the finding, a block at a time.
    while (file != nullptr && offset < f.offset) {
      if (used == filled) {
        filled = std::fread(block.data(), 1, block.size(), file);
        used = 0;
        if (filled == 0) break;
      }
      std::size_t take = std::min<std::uint64_t>(filled - used, f.offset - offset);
      const char* start = block.data() + used;
      for (const char* p = start;
           (p = static_cast<const char*>(std::memchr(p, '\n', take - (p - start)))) != nullptr;
           ++p) {
        ++line;
        line_start = offset + static_cast<std::uint64_t>(p - start) + 1;
      }
      used += take;
      offset += take;
    }
    std::printf("%s:%llu:%llu: %s: %s [%.*s]\n", path, static_cast<unsigned long long>(line),
                static_cast<unsigned long long>(f.offset - line_start + 1),
                f.level == corvexa::schema::schema_severity::note ? "note" : "warning",
                f.message.c_str(), static_cast<int>(f.rule.size()), f.rule.data());
  }
  if (file != nullptr) std::fclose(file);
}

}  // namespace

int main(int argc, char** argv) {
  corvexa::schema::sql_conversion_options options;
  bool schema_only = false;
  std::vector<const char*> files;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--charset") == 0 && i + 1 < argc) {
      options.charset = argv[++i];
    } else if (std::strcmp(argv[i], "--schema-only") == 0) {
      schema_only = true;
    } else {
      files.push_back(argv[i]);
    }
  }
  if (files.size() != (schema_only ? 1u : 2u)) {
    std::fputs(usage, stderr);
    return 2;
  }
  int in = ::open(files[0], O_RDONLY);
  if (in < 0) {
    std::fprintf(stderr, "corvexa-sql-convert: cannot read %s: %s\n", files[0],
                 std::strerror(errno));
    return 1;
  }
  corvexa::fd_reader file(in);
  line_marks marks(file);
  std::optional<corvexa::read_ahead_reader> ahead;
  if (corvexa::worth_a_thread(in)) ahead.emplace(marks);
  corvexa::byte_reader& reader = ahead ? static_cast<corvexa::byte_reader&>(*ahead) : marks;
  corvexa::schema::sql_conversion_result result;
  if (schema_only) {
    result = corvexa::schema::read_schema_model(reader, options);
    for (const auto& [name, table] : result.model.tables()) {
      std::printf("table %s\n", name.c_str());
      for (const auto& column : table.columns) {
        std::printf("  %s %s%s%s\n", column.name.c_str(), column.type.c_str(),
                    column.not_null ? " not null" : "", column.auto_increment ? " identity" : "");
      }
    }
  } else {
    int out = ::open(files[1], O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (out < 0) {
      std::fprintf(stderr, "corvexa-sql-convert: cannot write %s: %s\n", files[1],
                   std::strerror(errno));
      return 1;
    }
    corvexa::file_output output(out, corvexa::worth_a_thread(in));
    result = corvexa::schema::convert_mysql_sql(reader, output.writer(), options);
    if (!output.finish() || ::close(out) != 0) result.write_failed = true;
  }
  ::close(in);
  ahead.reset();  // the marks are complete once its thread has stopped
  print_findings(files[0], result.findings, marks);
  if (result.read_failed || result.write_failed) {
    std::fprintf(stderr, "corvexa-sql-convert: %s failed\n",
                 result.read_failed ? "reading" : "writing");
    return 1;
  }
  return 0;
}
