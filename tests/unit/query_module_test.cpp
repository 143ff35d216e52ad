#include "polling/query_module.h"

#include <gtest/gtest.h>

namespace {

TEST(QueryModule, WaitBeforeReadByBaudIndex) {
  const struct {
    bool snmp;
    int baud_index, request, reply, wait_ms;
  } cases[] = {
      {false, 0, 17, 26, 61},    // 38400: d / 2 + 40, halved as an integer
      {false, 4, 17, 27, 340},   // 2400: 5d + 120
      {false, 11, 17, 27, 100},  // not in the table
      {true, 4, 45, 70, 10},     // SNMP whatever the rate
  };
  for (const auto& c : cases) {
    EXPECT_EQ(polling::wait_before_read_ms(c.snmp, c.baud_index, c.request, c.reply), c.wait_ms) << c.baud_index;
  }
}

}  // namespace
