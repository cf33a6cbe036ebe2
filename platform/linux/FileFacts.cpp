#include "platform/linux/FileFacts.h"

#include <grp.h>
#include <linux/capability.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/xattr.h>

#include <array>
#include <cstring>
#include <string_view>

namespace s::platform {

namespace {

constexpr std::string_view kCapabilityNames[] = {
    "cap_chown",
    "cap_dac_override",
    "cap_dac_read_search",
    "cap_fowner",
    "cap_fsetid",
    "cap_kill",
    "cap_setgid",
    "cap_setuid",
    "cap_setpcap",
    "cap_linux_immutable",
    "cap_net_bind_service",
    "cap_net_broadcast",
    "cap_net_admin",
    "cap_net_raw",
    "cap_ipc_lock",
    "cap_ipc_owner",
    "cap_sys_module",
    "cap_sys_rawio",
    "cap_sys_chroot",
    "cap_sys_ptrace",
    "cap_sys_pacct",
    "cap_sys_admin",
    "cap_sys_boot",
    "cap_sys_nice",
    "cap_sys_resource",
    "cap_sys_time",
    "cap_sys_tty_config",
    "cap_mknod",
    "cap_lease",
    "cap_audit_write",
    "cap_audit_control",
    "cap_setfcap",
    "cap_mac_override",
    "cap_mac_admin",
    "cap_syslog",
    "cap_wake_alarm",
    "cap_block_suspend",
    "cap_audit_read",
    "cap_perfmon",
    "cap_bpf",
    "cap_checkpoint_restore",
};

uint32_t littleEndian32(const unsigned char* bytes) {
  return static_cast<uint32_t>(bytes[0]) | static_cast<uint32_t>(bytes[1]) << 8 |
         static_cast<uint32_t>(bytes[2]) << 16 | static_cast<uint32_t>(bytes[3]) << 24;
}

std::string nameOf(int capability) {
  if (capability < static_cast<int>(std::size(kCapabilityNames))) {
    return std::string(kCapabilityNames[capability]);
  }
  return "cap_" + std::to_string(capability);
}

std::string ownerText(uid_t uid, gid_t gid) {
  std::string text;
  passwd user{};
  passwd* foundUser = nullptr;
  group grp{};
  group* foundGroup = nullptr;
  std::array<char, 4096> buffer{};
  if (getpwuid_r(uid, &user, buffer.data(), buffer.size(), &foundUser) == 0 &&
      foundUser != nullptr) {
    text = foundUser->pw_name;
  } else {
    text = std::to_string(uid);
  }
  text += ':';
  if (getgrgid_r(gid, &grp, buffer.data(), buffer.size(), &foundGroup) == 0 &&
      foundGroup != nullptr) {
    text += foundGroup->gr_name;
  } else {
    text += std::to_string(gid);
  }
  return text;
}

}  // namespace

std::string capabilityText(const void* bytes, size_t size) {
  const auto* data = static_cast<const unsigned char*>(bytes);
  if (size < XATTR_CAPS_SZ_1) {
    return {};
  }
  uint32_t magic = littleEndian32(data);
  uint32_t revision = magic & VFS_CAP_REVISION_MASK;
  size_t words = 0;
  if (revision == VFS_CAP_REVISION_1 && size == XATTR_CAPS_SZ_1) {
    words = VFS_CAP_U32_1;
  } else if ((revision == VFS_CAP_REVISION_2 && size == XATTR_CAPS_SZ_2) ||
             (revision == VFS_CAP_REVISION_3 && size == XATTR_CAPS_SZ_3)) {
    words = VFS_CAP_U32_2;
  } else {
    return {};
  }
  uint64_t permitted = 0;
  uint64_t inheritable = 0;
  for (size_t i = 0; i < words; ++i) {
    const unsigned char* pair = data + 4 + i * 8;
    permitted |= static_cast<uint64_t>(littleEndian32(pair)) << (32 * i);
    inheritable |= static_cast<uint64_t>(littleEndian32(pair + 4)) << (32 * i);
  }
  bool effective = (magic & VFS_CAP_FLAGS_EFFECTIVE) != 0;
  // One group per distinct set of flags, as getcap writes them.
  std::string text;
  for (const char* flags : {"ep", "eip", "ip", "p", "ei", "i"}) {
    std::string_view want(flags);
    bool wantE = want.find('e') != std::string_view::npos;
    bool wantI = want.find('i') != std::string_view::npos;
    bool wantP = want.find('p') != std::string_view::npos;
    if (wantE != effective) {
      continue;
    }
    std::string names;
    for (int capability = 0; capability < 64; ++capability) {
      bool p = (permitted >> capability & 1) != 0;
      bool i = (inheritable >> capability & 1) != 0;
      if (p == wantP && i == wantI && (p || i)) {
        names += (names.empty() ? "" : ",") + nameOf(capability);
      }
    }
    if (!names.empty()) {
      text += (text.empty() ? "" : " ") + names + "=" + std::string(want);
    }
  }
  return text;
}

std::string modeText(uint32_t mode) {
  std::string text = "?---------";
  switch (mode & S_IFMT) {
    case S_IFREG:
      text[0] = '-';
      break;
    case S_IFDIR:
      text[0] = 'd';
      break;
    case S_IFLNK:
      text[0] = 'l';
      break;
    case S_IFCHR:
      text[0] = 'c';
      break;
    case S_IFBLK:
      text[0] = 'b';
      break;
    case S_IFIFO:
      text[0] = 'p';
      break;
    case S_IFSOCK:
      text[0] = 's';
      break;
    default:
      break;
  }
  const char letters[] = "rwxrwxrwx";
  for (int bit = 0; bit < 9; ++bit) {
    if ((mode & (0400U >> bit)) != 0) {
      text[1 + bit] = letters[bit];
    }
  }
  auto special = [&](uint32_t flag, size_t at, char set, char setWithout) {
    if ((mode & flag) != 0) {
      text[at] = text[at] == 'x' ? set : setWithout;
    }
  };
  special(S_ISUID, 3, 's', 'S');
  special(S_ISGID, 6, 's', 'S');
  special(S_ISVTX, 9, 't', 'T');
  return text;
}

bool readFileFacts(const std::string& path, FileFacts& facts) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) {
    return false;
  }
  facts.path = path;
  facts.size = info.st_size;
  facts.owner = ownerText(info.st_uid, info.st_gid);
  facts.mode = info.st_mode;
  facts.modifiedMs =
      static_cast<int64_t>(info.st_mtim.tv_sec) * 1000 + info.st_mtim.tv_nsec / 1000000;
  unsigned char capability[XATTR_CAPS_SZ_3 + 4];
  ssize_t size = ::getxattr(path.c_str(), "security.capability", capability, sizeof capability);
  facts.capabilities = size > 0 ? capabilityText(capability, static_cast<size_t>(size)) : "";
  return true;
}

}  // namespace s::platform
