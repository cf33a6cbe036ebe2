#include "network/capture/CaptureLog.h"

#include <atomic>

#include "framework/base/ObjLocker.h"

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

bool rawAccessAdded() {
  return rawAccess.load(std::memory_order_relaxed);
}

void setRawAccessAdded() {
  rawAccess.store(true, std::memory_order_relaxed);
}

}  // namespace s::system::network::win
