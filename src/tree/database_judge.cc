// PREPARE of the unnamed statement between BEGIN and ROLLBACK: parse
// analysis runs (names, types, functions are looked up), nothing executes.
// A statement timeout keeps a locked catalog from stalling the run.
#include "tree/database_judge.h"

#include <charconv>

#include <libpq-fe.h>

namespace corvexa {
namespace {

constexpr const char* session_setup = "SET statement_timeout = '10s'";

bool run(PGconn* connection, const char* command) {
  PGresult* result = PQexec(connection, command);
  bool ok = PQresultStatus(result) == PGRES_COMMAND_OK;
  PQclear(result);
  return ok;
}

std::string field(const PGresult* result, int code) {
  const char* value = PQresultErrorField(result, code);
  return value != nullptr ? value : "";
}

}  // namespace

database_judge::~database_judge() {
  if (connection_ != nullptr) PQfinish(connection_);
}

std::string database_judge::connect(const std::string& dsn) {
  connection_ = PQconnectdb(dsn.c_str());
  if (connection_ == nullptr) return "out of memory";
  if (PQstatus(connection_) != CONNECTION_OK) {
    std::string reason = PQerrorMessage(connection_);
    reason = reason.substr(0, reason.find('\n'));  // the first line says it
    PQfinish(connection_);
    connection_ = nullptr;
    return reason.empty() ? "cannot connect" : reason;
  }
  if (!run(connection_, session_setup)) return PQerrorMessage(connection_);
  return {};
}

sql::server_verdict database_judge::judge(const std::string& sql) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (connection_ == nullptr || PQstatus(connection_) != CONNECTION_OK) return {};
  if (!run(connection_, "BEGIN")) return {};
  PGresult* result = PQprepare(connection_, "", sql.c_str(), 0, nullptr);
  sql::server_verdict verdict;
  if (PQresultStatus(result) != PGRES_COMMAND_OK) {
    verdict.sqlstate = field(result, PG_DIAG_SQLSTATE);
    verdict.message = field(result, PG_DIAG_MESSAGE_PRIMARY);
    std::string position = field(result, PG_DIAG_STATEMENT_POSITION);
    std::uint64_t character = 0;
    auto [end, error] =
        std::from_chars(position.data(), position.data() + position.size(), character);
    if (error == std::errc() && end == position.data() + position.size())
      verdict.position = character;
  }
  PQclear(result);
  run(connection_, "ROLLBACK");
  return verdict;
}

}  // namespace corvexa
