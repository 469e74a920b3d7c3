// A unified diff (three lines of context) between a file and its
// conversion, built from the calls the conversion replaced rather than by
// comparing lines: everything between two calls is copied unchanged, so the
// changed lines are exactly those that the replaced calls touch. `patch -p1`
// applied to the source folder gives the converted file.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "common/conversion_events.h"

namespace corvexa {

// The diff of `input` into `output`, with headers "--- a/PATH" and
// "+++ b/PATH"; empty when they are equal. `calls` are the replaced calls
// in input order. Should the bytes between them not match (they always
// do), the whole file is given as one change, which is still exact.
std::string unified_diff(std::string_view path, std::string_view input, std::string_view output,
                         std::span<const replaced_call> calls);

}  // namespace corvexa
