#pragma once

#include <string_view>

#include "framework/str/StrArray.h"

namespace s::app {

// The error report's lines, replacing what `lines` held, section by section in this order (a
// section whose probe gives nothing is left out):
//   [OS] (64 bit) on a 64-bit system, else (32 bit), then the user's language in parentheses,
//        the kernel's version numbers, the kernel and the distribution;
//   [CodePage] the locale's character set, its IANA number and the locale;
//   [CPU] vendor, name and identifier of the first processor, then the processor counts;
//   [HDD] each physical disk, numbered from 0: name, model, firmware, size, whether its
//        device may be opened and so whether its S.M.A.R.T. data could be read;
//   [NIC] the description of each interface of the interface list that is present;
//   the socket layer's report ([WSA Initializer]) and the capture's ([Packet Watcher]);
//   [Performance Counter Objects] each object the counter service offers, with its
//        instances ("# ") and its counters ("## "), an empty line before each but the first.
void composeErrorReport(str::StrArray& lines);

// Writes the report to `path` as the log page is written: UTF-8, CR LF between lines, no
// final line break; the folder is made when missing and a file there is replaced whole. False
// when it could not be written.
bool writeErrorReport(std::string_view path);

}  // namespace s::app
