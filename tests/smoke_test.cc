// A first check that the library links and a block passes through.
#include <gtest/gtest.h>

#include "support/memory_conversion.h"

TEST(Smoke, BlockWithoutCallsIsCopied) {
  corvexa::call_table empty;
  auto result = corvexa::convert_in_memory("<?php echo 'a'; ?>x", empty);
  EXPECT_EQ(result.output, "<?php echo 'a'; ?>x");
}
