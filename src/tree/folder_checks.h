// The checks on the two folders that come before anything is written: the
// source must be a readable folder, and the output folder must be neither
// the source nor inside it nor around it (compared by their real paths,
// so no spelling or link can fool the check), and must be empty unless the
// user allows otherwise.
#pragma once

#include <string>

namespace corvexa {

// Why the source folder cannot be converted; empty if it can.
std::string check_source_folder(const std::string& source);

// Why the output folder cannot be used for `source`; empty if it can.
std::string check_output_folder(const std::string& source, const std::string& output,
                                bool allow_existing_content);

// Creates `path` and any missing folders above it.
std::string create_folder_path(const std::string& path);

}  // namespace corvexa
