// A terminate or interrupt signal is only recorded, for the frame step to
// act on; the process goes on running.
#include <gtest/gtest.h>

#include <csignal>

#include "platform/stop.hpp"

namespace {

TEST(STOP, RecordsTheSignalInsteadOfDying) {
  EXPECT_EQ(STOPSignal(), 0);
  STOPWatchSignals();
  raise(SIGTERM);
  EXPECT_EQ(STOPSignal(), SIGTERM);
  raise(SIGINT);
  EXPECT_EQ(STOPSignal(), SIGINT);
  signal(SIGINT, SIG_DFL);
  signal(SIGTERM, SIG_DFL);
}

}  // namespace
