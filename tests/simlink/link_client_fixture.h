#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "helpers/process_probe.h"
#include "simlink/heading_button.h"
#include "support/link_server_process.h"
#include "support/unique_namespace.h"

namespace simlink {

using testing_support::LinkServerProcess;
using testing_support::UniqueNamespace;
using Clock = std::chrono::steady_clock;
inline constexpr std::chrono::milliseconds kTestTimeout{1500};

// Outputs filled with values no reply produces, to see whether a request touched them.
struct Outputs {
  std::string infoHead = "head?", infoTail = "tail?", replyText = "reply?";
  std::int32_t infoNumber1 = -77, infoNumber2 = -78, leadWord = -79;
  float value = -99.5F;
  bool operator==(const Outputs&) const = default;
};

class LinkClientTest : public ::testing::Test {
 protected:
  void SetUp() override { platform::SetWindowMessagesForTesting(prefix_, kTestTimeout); }
  void TearDown() override { platform::SetWindowMessagesForTesting(""); }

  std::int16_t GetInfo(Outputs& out) {
    return link_.fscGetInfo(out.infoHead, out.infoTail, out.infoNumber1, out.infoNumber2);
  }
  std::int16_t Read(Outputs& out, std::int32_t variable = kHeadingVariable, std::string_view letter = "n") {
    return link_.fscReadVariable(variable, letter, out.value, out.replyText, out.leadWord);
  }
  // Ends the server and expects every reply atom it handed out deleted.
  static void ExpectNoAtomLeft(LinkServerProcess& server) {
    const std::string printed = server.Stop();
    EXPECT_NE(printed.find(" 0 atoms left"), std::string::npos) << printed;
  }

  test_helpers::Watchdog watchdog_{std::chrono::seconds(60)};
  std::string prefix_ = UniqueNamespace();
  FSConnect link_;
};

}  // namespace simlink
