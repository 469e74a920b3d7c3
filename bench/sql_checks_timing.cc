// Times the SQL checks of PHP files in memory, single-threaded.
//
//   corvexa_sql_timing                 a generated query-heavy PHP file
//   corvexa_sql_timing PATH...         the PHP files under each PATH
//
// For the generated file it prints the rate in MB/s and the cost per query
// text, reporting and rewriting; for files, the total over them, which can
// be set beside the time `cp -r` takes to copy the same tree.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "sql/query_checks.h"

namespace {

namespace fs = std::filesystem;
using clock_type = std::chrono::steady_clock;

// The queries of the generated file: a mix of what PHP applications send,
// half of it MySQL's own.
const char* const query_lines[] = {
    "$r = pg_query($link,\"SELECT id, name FROM users WHERE id = $id\");\n",
    "$r = pg_query($link,\"SELECT * FROM `users` WHERE `name` = '$name' LIMIT $start, 20\");\n",
    "$sql = 'SELECT count(*) FROM orders WHERE status = ' . (int)$s;\n$r = pg_query($link,$sql);\n",
    "$r = pg_query(sprintf(\"UPDATE items SET qty = %d WHERE id = %d LIMIT 1\", $q, $i));\n",
    "$r = pg_query($link,\"SELECT IFNULL(a, 0), UNIX_TIMESTAMP(created) FROM log WHERE d > NOW() - "
    "INTERVAL 1 DAY\");\n",
    "$r = pg_query_params($link,'SELECT name FROM users WHERE id = $1', array($id));\n",
    "$r = pg_query($link,\"INSERT INTO log (msg, created) VALUES ('\" . pg_escape_string($m) . "
    "\"', now())\");\n",
    "$r = pg_query($link,\"DELETE FROM sessions WHERE expires < \" . time());\n",
};

std::string generated_file(std::size_t queries) {
  std::string php = "<?php\n// generated for timing the SQL checks\n$link = pg_connect($dsn);\n";
  for (std::size_t i = 0; i < queries; ++i) {
    php += query_lines[i % std::size(query_lines)];
    php +=
        "while ($row = pg_fetch_assoc($r)) { echo htmlspecialchars($row['name']), \"<br>\\n\"; }\n";
  }
  return php;
}

bool is_php(const fs::path& path) {
  static const char* const extensions[] = {".php", ".php3", ".php4", ".php5", ".phtml", ".inc"};
  std::string ext = path.extension().string();
  std::transform(ext.begin(), ext.end(), ext.begin(),
                 [](unsigned char c) { return std::tolower(c); });
  return std::find(std::begin(extensions), std::end(extensions), ext) != std::end(extensions);
}

void read_php_files(const fs::path& path, std::vector<std::string>& files) {
  auto read = [&](const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    files.emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  };
  if (fs::is_regular_file(path)) return read(path);
  for (const auto& entry : fs::recursive_directory_iterator(path)) {
    if (entry.is_regular_file() && is_php(entry.path())) read(entry.path());
  }
}

struct timing {
  double seconds = 0;
  corvexa::sql::query_report totals;
};

// The fastest of `runs` passes over all files.
timing time_checks(const std::vector<std::string>& files, bool rewrite, int runs) {
  timing best;
  best.seconds = 1e30;
  for (int run = 0; run < runs; ++run) {
    corvexa::sql::query_report totals;
    auto start = clock_type::now();
    for (const std::string& php : files) {
      corvexa::sql::query_report r = corvexa::sql::check_php_queries(php, {rewrite, nullptr});
      totals.texts_found += r.texts_found;
      totals.texts_parsed += r.texts_parsed;
      totals.texts_rejected += r.texts_rejected;
      totals.texts_rewritten += r.texts_rewritten;
    }
    double seconds = std::chrono::duration<double>(clock_type::now() - start).count();
    if (seconds < best.seconds) best = timing{seconds, totals};
  }
  return best;
}

void print(const char* label, const std::vector<std::string>& files, const timing& t) {
  std::size_t bytes = 0;
  for (const std::string& f : files) bytes += f.size();
  auto texts = static_cast<double>(std::max<std::uint64_t>(t.totals.texts_found, 1));
  std::printf(
      "%-10s %zu files, %.1f MB, %.3f s: %.1f MB/s; %llu texts (%llu parsed, %llu rejected, "
      "%llu rewritten), %.1f us per text\n",
      label, files.size(), bytes / 1e6, t.seconds, bytes / 1e6 / t.seconds,
      static_cast<unsigned long long>(t.totals.texts_found),
      static_cast<unsigned long long>(t.totals.texts_parsed),
      static_cast<unsigned long long>(t.totals.texts_rejected),
      static_cast<unsigned long long>(t.totals.texts_rewritten), t.seconds * 1e6 / texts);
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> files;
  if (argc == 1) {
    files.push_back(generated_file(40000));
  } else {
    for (int i = 1; i < argc; ++i) read_php_files(argv[i], files);
  }
  print("report", files, time_checks(files, false, 3));
  print("rewrite", files, time_checks(files, true, 3));
  std::vector<std::string> no_queries;
  for (const std::string& f : files) {
    std::string copy = f;
    for (std::size_t at = copy.find("pg_"); at != std::string::npos; at = copy.find("pg_", at))
      copy[at] = 'q';
    no_queries.push_back(std::move(copy));
  }
  print("no calls", no_queries, time_checks(no_queries, false, 3));
  return 0;
}
