// The text copier carries a conversion from the first byte to the last. It
// copies everything outside PHP blocks unchanged and, after writing each
// "<?" (so "<?php", "<?=" and "<?xml" alike), runs the block loop until the
// block ends.
#pragma once

#include "common/conversion_state.h"

namespace corvexa {

// Converts the whole input; returns at its end.
void copy_text(conversion_state& state);

}  // namespace corvexa
