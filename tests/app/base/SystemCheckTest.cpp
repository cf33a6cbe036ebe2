#include <gtest/gtest.h>

#include <cerrno>
#include <string>
#include <vector>

#include "app/base/SystemCheck.h"
#include "platform/linux/ProcNetSource.h"
#include "platform/linux/SockDiagSource.h"

namespace s::app::win {
namespace {

// Netlink refused, as a kernel without sock_diag or a filter refuses it.
class RefusedNetlink : public platform::ISocketSource {
 public:
  bool read(platform::Protocol /*protocol*/, platform::ByteCounts /*counts*/,
            std::vector<platform::SocketRow>& rows) override {
    rows.clear();
    errno = EPROTONOSUPPORT;
    return false;
  }
};

TEST(SystemCheck, TheKernelsTablesAreEnoughAndADisplayChoosesTheWindow) {
  EXPECT_TRUE(checkSystem({}).usable);
  EXPECT_EQ(checkSystem({}).front, Front::kConsole);
  EXPECT_EQ(checkSystem([] { return false; }).front, Front::kConsole);
  EXPECT_EQ(checkSystem([] { return true; }).front, Front::kWindow);
  // /proc/net stands in for a refused netlink.
  RefusedNetlink refused;
  platform::ProcNetSource procNet;
  EXPECT_TRUE(checkSystem(refused, procNet, {}).usable);
}

TEST(SystemCheck, WithoutEitherTableOneLineSaysWhatIsMissing) {
  RefusedNetlink refused;
  platform::ProcNetSource missing("/nonexistent/proc/net");
  bool asked = false;
  SystemCheck check = checkSystem(refused, missing, [&asked] { return asked = true; });
  EXPECT_FALSE(check.usable);
  EXPECT_FALSE(asked);
  EXPECT_EQ(check.problem.find('\n'), std::string::npos);
  EXPECT_NE(check.problem.find("socket tables"), std::string::npos) << check.problem;
  EXPECT_NE(check.problem.find("Protocol not supported"), std::string::npos) << check.problem;
  EXPECT_NE(check.problem.find("No such file or directory"), std::string::npos) << check.problem;
}

}  // namespace
}  // namespace s::app::win
