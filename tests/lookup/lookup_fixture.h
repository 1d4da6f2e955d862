#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "tests/support/recording_events.h"
#include "tests/support/sample_prefixes.h"
#include "tests/support/temp_folder.h"
#include "torvane/torvane_control.h"

namespace torvane::testing {

// A data folder with the sample prefix rows, and a service object on it whose events are
// recorded.
class LookupTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_.Execute(folder_.PrefixDatabase(), kSamplePrefixRows);
    Start();
  }

  void Start() {
    control_.reset();
    control_ = std::make_unique<TorvaneControl>(folder_.MakeOptions(), &events_);
    events_.Take();
  }

  TorvaneControl& control() { return *control_; }

  TempDataFolder folder_;
  RecordingEvents events_;
  std::unique_ptr<TorvaneControl> control_;
};

}  // namespace torvane::testing
