#include <gtest/gtest.h>

#include <string>

#include "core/report.hpp"

namespace {

// A traced operation that fails after one extra line.
void FailingOperation(bool on) {
  REPORTTrace trace(on, "THINGNew");
  trace.Line("keySym=%c\n", 'q');
  trace.Error("void parameter");
}

}  // namespace

TEST(REPORT, WritesExactlyTheGivenLinesOnlyWhileSwitchedOn) {
  testing::internal::CaptureStdout();
  REPORTError(true, "LASER Error.\n");
  FailingOperation(true);
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            "LASER Error.\nTHINGNew_\nkeySym=q\nERR void parameter\n_THINGNew\n");

  testing::internal::CaptureStdout();
  REPORTError(false, "LASER Error.\n");
  FailingOperation(false);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
}
