#pragma once

#include <atomic>

#include "framework/base/IObject.h"
#include "framework/base/ObjLocker.h"
#include "framework/str/StrArray.h"
#include "framework/str/StrBuffer.h"

namespace s::system::network::win {

// The process-wide starter of the socket layer that the watchers and the host-name resolver
// share. Linux sockets need no start-up, so it only keeps the error report's lines true.
class WsaInitializer final : public IObject {
 public:
  static WsaInitializer& getInstance();

  WsaInitializer();
  WsaInitializer(const WsaInitializer&) = delete;
  WsaInitializer& operator=(const WsaInitializer&) = delete;

  // Always true: there is nothing to start.
  bool ensureStarted();
  // A new list: "[WSA Initializer]" and the status line.
  PoolPtr<str::StrArray> getWsaReport();

  std::u16string_view className() const override { return u"s_system_network_win_WsaInitializer"; }
  ObjectPtr newInstance() const override { return ObjectPtr(new WsaInitializer()); }

 private:
  std::atomic<bool> started_{false};
  thread::ObjLocker lock_;
  PoolPtr<str::StrBuffer> status_;
};

}  // namespace s::system::network::win
