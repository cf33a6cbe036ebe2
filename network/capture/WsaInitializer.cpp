#include "network/capture/WsaInitializer.h"

#include <mutex>

namespace s::system::network::win {

namespace {
constexpr std::u16string_view kStatus = u"Socket layer ready - Linux sockets need no start-up";
}  // namespace

WsaInitializer& WsaInitializer::getInstance() {
  static WsaInitializer instance;
  return instance;
}

WsaInitializer::WsaInitializer() : status_(str::StrBuffer::of(kStatus)) {}

bool WsaInitializer::ensureStarted() {
  started_.store(true, std::memory_order_relaxed);
  return true;
}

PoolPtr<str::StrArray> WsaInitializer::getWsaReport() {
  PoolPtr<str::StrArray> report = str::StrArray::make();
  // A recycled list comes without its element disposer.
  report->setDestructor(&str::StrBuffer::pool());
  report->add(u"[WSA Initializer]");
  std::scoped_lock guard(lock_);
  report->add(status_->view());
  return report;
}

}  // namespace s::system::network::win
