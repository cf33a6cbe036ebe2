#include "network/ProcessInfo.h"

#include <unistd.h>

#include <atomic>
#include <string>

#include "platform/linux/Processes.h"

namespace s::system::network::win {

namespace {

std::atomic<platform::IPoliteCloser*> politeCloser{nullptr};

PoolPtr<str::StrBuffer> textOf(const std::string& bytes) {
  PoolPtr<str::StrBuffer> text = str::StrBuffer::make();
  text->assignUtf8(bytes);
  return text;
}

}  // namespace

PoolPtr<str::StrBuffer> getProcessName(int32_t pid) {
  std::string name;
  platform::processName(pid, name);
  return textOf(name);
}

PoolPtr<str::StrBuffer> getProcessPath(int32_t pid) {
  std::string path;
  platform::processPath(pid, path);
  return textOf(path);
}

void closeProgram(int32_t pid) {
  platform::IPoliteCloser* closer = politeCloser.load();
  platform::closeProcess(pid,
                         closer != nullptr ? *closer : platform::TerminateSignalCloser::instance());
}

void killProgram(int32_t pid) {
  platform::killProcess(pid);
}

bool findOtherInstance(int32_t& pid) {
  std::string own;
  platform::ownExecutablePath(own);
  return platform::findProcessByPath(own, getpid(), pid);
}

void setPoliteCloser(platform::IPoliteCloser* closer) {
  politeCloser.store(closer);
}

}  // namespace s::system::network::win
