#include "network/capture/CaptureLog.h"

#include <atomic>

#include <string>

#include "framework/base/ObjLocker.h"
#include "framework/str/Utf8.h"
#include "platform/linux/capture/ErrnoName.h"
#include "platform/linux/capture/PacketRing.h"
#include "platform/linux/rights/RightsClient.h"

namespace s::system::network::win {

namespace {

struct CaptureLog {
  thread::ObjLocker lock;
  str::StrArray texts;
};

CaptureLog& captureLog() {
  static CaptureLog log;
  return log;
}

std::atomic<bool> rawAccess{false};

}  // namespace

void addCaptureMessage(std::u16string_view text) {
  CaptureLog& log = captureLog();
  std::scoped_lock guard(log.lock);
  log.texts.add(text);
  if (log.texts.count() > kCaptureLogLimit) {
    log.texts.disposeAt(0);
  }
}

PoolPtr<str::StrArray> getCaptureReport() {
  PoolPtr<str::StrArray> report = str::StrArray::make();
  // A recycled list comes without its element disposer.
  report->setDestructor(&str::StrBuffer::pool());
  report->add(u"[Packet Watcher]");
  CaptureLog& log = captureLog();
  std::scoped_lock guard(log.lock);
  for (const str::StrBuffer* text : log.texts) {
    report->add(text->view());
  }
  return report;
}

void logCaptureFailure(const char* step, int error) {
  std::string text = std::string(step) + " Failed: " + platform::errnoName(error);
  addCaptureMessage(std::u16string(text.begin(), text.end()));
  if (platform::isAccessDenied(error)) {
    if (!rawAccessAdded()) {
      platform::RightsClient* rights = platform::RightsClient::current();
      std::string note =
          "NOTE: Capture needs CAP_NET_RAW, which netvigil-rights holds for the members of its "
          "group (see the README); " +
          (rights != nullptr ? rights->statusText() : std::string("netvigil-rights: not started"));
      // The helper's path may hold any UTF-8.
      std::u16string units(note.size(), u'\0');
      units.resize(str::utf8::decode(reinterpret_cast<const uint8_t*>(note.data()), note.size(),
                                     units.data()));
      addCaptureMessage(units);
    }
    setRawAccessAdded();
  }
}

void logCaptureDrops(std::u16string_view address, uint32_t dropped) {
  PoolPtr<str::StrBuffer> text = str::StrBuffer::make();
  text->append(u"Capture ring full: ");
  text->appendU32(dropped);
  text->append(u" datagrams lost on ");
  text->append(address);
  addCaptureMessage(text->view());
}

bool captureIsPermitted() {
  int error = platform::PacketRing::probe();
  platform::RightsClient* rights = platform::RightsClient::current();
  if (error == 0 || (rights != nullptr && rights->serves(platform::rights::kRightCapture))) {
    return true;
  }
  logCaptureFailure("socket()", error);
  return false;
}

bool rawAccessAdded() {
  return rawAccess.load(std::memory_order_relaxed);
}

void setRawAccessAdded() {
  rawAccess.store(true, std::memory_order_relaxed);
}

}  // namespace s::system::network::win
