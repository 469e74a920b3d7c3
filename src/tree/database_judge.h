// The database of --against: a PostgreSQL server (libpq) on which each
// query text is prepared inside a transaction that is rolled back, so that
// the server's own catalog judges its tables, columns, functions and types
// without anything being run or kept. One connection serves every worker,
// one statement at a time.
#pragma once

#include <mutex>
#include <string>

#include "sql/query_checks.h"

struct pg_conn;

namespace corvexa {

class database_judge {
 public:
  database_judge() = default;
  database_judge(const database_judge&) = delete;
  database_judge& operator=(const database_judge&) = delete;
  ~database_judge();

  // Connects to the database `dsn` names (a libpq connection string or
  // URI); the reason when it cannot.
  std::string connect(const std::string& dsn);

  // The server's verdict on `sql`; none when the connection is lost.
  sql::server_verdict judge(const std::string& sql);

 private:
  std::mutex mutex_;
  pg_conn* connection_ = nullptr;
};

}  // namespace corvexa
