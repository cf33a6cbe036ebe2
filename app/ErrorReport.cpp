#include "app/ErrorReport.h"

#include <string>

#include "framework/file/NativePath.h"
#include "framework/file/PathWin.h"
#include "framework/lang/UserLanguage.h"
#include "framework/str/TextLines.h"
#include "network/capture/CaptureLog.h"
#include "network/capture/WsaInitializer.h"
#include "network/interfaces/InterfaceList.h"
#include "network/interfaces/NicConn.h"
#include "probes/Counter.h"
#include "probes/system/CodePage.h"
#include "probes/system/CpuInfo.h"
#include "probes/system/DiskInfo.h"
#include "probes/system/OsInfo.h"

namespace s::app {

namespace {

namespace probes = system::probes;

void add(str::StrArray& lines, const std::string& utf8) {
  lines.add(file::fromNative(utf8));
}

void addAll(str::StrArray& lines, PoolPtr<str::StrArray> report) {
  for (uint32_t i = 0; i < report->count(); ++i) {
    lines.add(report->at(i)->view());
  }
}

void addOs(str::StrArray& lines) {
  const probes::OsInfo os = probes::readOsInfo();
  std::u16string line = os.is64Bit ? u"[OS] (64 bit)(" : u"[OS] (32 bit)(";
  line += lang::userLanguageName();
  line += file::fromNative(") Major Version: " + std::to_string(os.major) +
                           ", Minor Version: " + std::to_string(os.minor) +
                           ", Build Number: " + std::to_string(os.build) +
                           ", Kernel: " + os.kernel + ", Distribution: " + os.distribution);
  lines.add(line);
}

void addCodePage(str::StrArray& lines) {
  const probes::CodePage page = probes::readCodePage();
  add(lines, "[CodePage] Code: " + std::to_string(page.number) + ", " + page.charset + " (locale " +
                 page.locale + ")");
}

void addCpu(str::StrArray& lines) {
  const probes::CpuInfo cpu = probes::readCpuInfo();
  add(lines, "[CPU]");
  add(lines, cpu.vendor);
  add(lines, cpu.name);
  add(lines, cpu.identifier);
  add(lines, "Logical Processors: " + std::to_string(cpu.logical) + ", Online: " +
                 std::to_string(cpu.online) + ", Available: " + std::to_string(cpu.available) +
                 ", Cores: " + std::to_string(cpu.cores) +
                 ", Packages: " + std::to_string(cpu.packages));
}

void addDisks(str::StrArray& lines) {
  add(lines, "[HDD]");
  int number = 0;
  for (const probes::DiskInfo& disk : probes::readDisks()) {
    add(lines, "#" + std::to_string(number++));
    add(lines, "Name: " + disk.name);
    add(lines, "Model: " + disk.model);
    add(lines, "Firmware: " + disk.firmware);
    add(lines, "Size: " + std::to_string(disk.bytes) + " bytes");
    add(lines,
        std::string("Device Handle: ") + (disk.deviceAccessible ? "Accessible" : "Not Accessible"));
    // The program reads no disk's S.M.A.R.T. data; without the device not even root could.
    add(lines,
        std::string("S.M.A.R.T: ") + (disk.deviceAccessible ? "Not Read" : "Not Accessible"));
  }
}

void addInterfaces(str::StrArray& lines) {
  lines.add(u"[NIC]");
  const system::network::win::InterfaceList& interfaces = system::network::win::getInterfaceList();
  PoolPtr<str::StrBuffer> description = str::StrBuffer::make();
  for (uint32_t i = 0; i < interfaces.count(); ++i) {
    interfaces.withInterface(i, [&](system::network::win::NicConn& nic) {
      if (nic.isPresent() && nic.getDescription(*description)) {
        lines.add(description->view());
      }
    });
  }
}

void addCounterObjects(str::StrArray& lines) {
  const std::vector<system::counter::win::CounterObject> objects =
      system::counter::win::counterService().objects();
  if (objects.empty()) {
    return;
  }
  lines.add(u"[Performance Counter Objects] ");
  for (size_t i = 0; i < objects.size(); ++i) {
    const system::counter::win::CounterObject& object = objects[i];
    if (object.instances.empty() || object.counters.empty()) {
      continue;
    }
    if (i != 0) {
      lines.add(u"");
    }
    lines.add(object.name);
    std::u16string instances = u"# ";
    for (size_t k = 0; k < object.instances.size(); ++k) {
      instances += (k == 0 ? u"" : u", ") + object.instances[k];
    }
    lines.add(instances);
    for (const std::u16string& counter : object.counters) {
      lines.add(u"## " + counter);
    }
  }
}

}  // namespace

void composeErrorReport(str::StrArray& lines) {
  lines.freeMemory();
  addOs(lines);
  addCodePage(lines);
  addCpu(lines);
  addDisks(lines);
  addInterfaces(lines);
  addAll(lines, system::network::win::WsaInitializer::getInstance().getWsaReport());
  addAll(lines, system::network::win::getCaptureReport());
  addCounterObjects(lines);
}

bool writeErrorReport(std::string_view path) {
  if (path.empty() || path.back() == '/') {
    return false;
  }
  PoolPtr<file::PathWin> file = file::PathWin::of(file::fromNative(path));
  if (!file->isWellFormed()) {
    return false;
  }
  PoolPtr<str::StrArray> lines = str::StrArray::make();
  composeErrorReport(*lines);
  return file->writeAtomically(str::joinTextLines(*lines));
}

}  // namespace s::app
