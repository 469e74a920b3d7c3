// Banner text: title, three lines on what the tool does, version.
#include "driver/banner.h"

#include "common/format_text.h"
#include "common/version.h"

namespace corvexa {

void print_banner(output_sink& console) {
  console.write_line("\nMysql PHP code to PostgresSQL php code converter.");
  console.write_line("Rewrites the MySQL calls of a PHP file as PostgreSQL calls.");
  console.write_line("Calls without a PostgreSQL counterpart become warning comments.");
  console.write_line("Read every warning below: those places need editing by hand.");
  write_format(console, "Version %s - June 2, 2006\n\n", {corvexa_version});
}

}  // namespace corvexa
