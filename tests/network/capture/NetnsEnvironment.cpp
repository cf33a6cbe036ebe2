#include "tests/network/capture/NetnsEnvironment.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <memory>

#include "platform/linux/capture/NetnsPair.h"

namespace s::system::network {

namespace {

class NetnsEnvironment final : public ::testing::Environment {
 public:
  void SetUp() override {
    if (geteuid() != 0) {
      return;
    }
    pair_ = std::make_unique<platform::NetnsPair>();
    ASSERT_TRUE(pair_->create(platform::NetnsPair::Ipv6::Quiet));
    entry_ = std::make_unique<platform::NetnsEntry>(pair_->nameA());
    ASSERT_TRUE(entry_->entered());
  }
  void TearDown() override {
    entry_.reset();
    pair_.reset();
  }
  platform::NetnsPair* pair() const { return pair_.get(); }

 private:
  std::unique_ptr<platform::NetnsPair> pair_;
  std::unique_ptr<platform::NetnsEntry> entry_;
};

NetnsEnvironment* environment() {
  static NetnsEnvironment* registered =
      static_cast<NetnsEnvironment*>(::testing::AddGlobalTestEnvironment(new NetnsEnvironment()));
  return registered;
}

// Registers the environment before main() runs the tests.
[[maybe_unused]] const NetnsEnvironment* const kRegistered = environment();

const std::string kNone;

}  // namespace

bool haveNamespaces() {
  return environment()->pair() != nullptr;
}
const std::string& namespaceA() {
  return haveNamespaces() ? environment()->pair()->nameA() : kNone;
}
const std::string& namespaceB() {
  return haveNamespaces() ? environment()->pair()->nameB() : kNone;
}

}  // namespace s::system::network
