#include "about/sys_info.h"

#include <exception>
#include <stdexcept>

namespace torvane {
namespace {

constexpr std::uint32_t kBufferSize = 1024;
constexpr std::string_view kToolKey = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
constexpr std::string_view kToolValue = "PATH";
constexpr std::string_view kFolderKey = "SOFTWARE\\Microsoft\\Shared Tools Location";
constexpr std::string_view kFolderValue = "MSINFO";
constexpr std::string_view kToolName = "\\MSINFO32.EXE";

class CloseOnExit {
 public:
  CloseOnExit(platform::Registry& registry, platform::RegKey key)
      : registry_(registry), key_(key) {}
  ~CloseOnExit() { registry_.CloseKey(key_); }
  CloseOnExit(const CloseOnExit&) = delete;
  CloseOnExit& operator=(const CloseOnExit&) = delete;

 private:
  platform::Registry& registry_;
  platform::RegKey key_;
};

// "&h" and two hex digits a byte, most significant (last stored) first.
std::string HexOfStoredBytes(std::string_view bytes) {
  constexpr char kDigits[] = "0123456789ABCDEF";
  std::string hex = "&h";
  for (auto it = bytes.rbegin(); it != bytes.rend(); ++it) {
    const auto b = static_cast<unsigned char>(*it);
    hex += kDigits[b >> 4];
    hex += kDigits[b & 0xF];
  }
  return hex;
}

// A path stored in quotes, as command lines want it, names the same file.
std::string Unquoted(std::string path) {
  if (path.size() >= 2 && path.front() == '"' && path.back() == '"') {
    path = path.substr(1, path.size() - 2);
  }
  return path;
}

}  // namespace

bool GetKeyValue(platform::Registry& registry, std::uint32_t keyRoot, std::string_view keyName,
                 std::string_view subKeyRef, std::string& keyVal) {
  platform::RegKey key = 0;
  // Read-only access: a standard account may read these keys but not write them.
  if (registry.OpenKey(keyRoot, keyName, platform::kKeyRead, key) != platform::kErrorSuccess) {
    keyVal.clear();
    return false;
  }
  CloseOnExit close(registry, key);

  std::string buffer(kBufferSize, '\0');
  std::uint32_t size = kBufferSize;
  std::uint32_t type = 0;
  if (registry.QueryValue(key, subKeyRef, type, buffer.data(), size) != platform::kErrorSuccess) {
    keyVal.clear();
    return false;
  }
  if (size == 0)
    throw std::out_of_range("the registry value " + std::string(subKeyRef) + " is empty");
  ConvertKeyValue(buffer, size, type, keyVal);
  // Windows may store a path as expandable text, e.g. "%windir%\...".
  if (type == platform::kRegExpandSz) keyVal = registry.ExpandText(keyVal);
  return true;
}

void ConvertKeyValue(std::string_view buffer, std::uint32_t size, std::uint32_t type,
                     std::string& keyVal) {
  // Drop the terminating zero of a string; a value stored without one stays
  // whole. A value of no bytes at all has no last character to look at.
  if (size == 0) throw std::out_of_range("the registry value is empty");
  if (size > buffer.size())
    throw std::out_of_range("the registry reported more bytes than it read");
  const std::string_view stored = buffer.substr(0, size);
  const std::string_view trimmed = stored.back() == '\0' ? stored.substr(0, size - 1) : stored;

  switch (type) {
    case platform::kRegSz:
    case platform::kRegExpandSz:
      keyVal = trimmed;
      break;
    case platform::kRegDword:
      keyVal = HexOfStoredBytes(stored);
      break;
    default:
      break;  // other types are not read
  }
}

namespace {

// False when no usable path is found; throws when starting fails.
bool FindAndStart(const SysInfoServices& s) {
  std::string path;
  // The first location's path is started as it is, without looking first:
  // a wrong one fails to start and so ends in the message too.
  if (!GetKeyValue(s.registry, platform::kHkeyLocalMachine, kToolKey, kToolValue, path)) {
    if (!GetKeyValue(s.registry, platform::kHkeyLocalMachine, kFolderKey, kFolderValue, path)) {
      return false;
    }
    path = Unquoted(path) + std::string(kToolName);
    if (!s.files.IsNormalFile(path)) return false;
  }
  path = Unquoted(path);
  s.processes.Start(path, platform::kShowNormalFocus);
  return true;
}

}  // namespace

void StartSysInfo(const SysInfoServices& s) {
  bool started = false;
  try {
    started = FindAndStart(s);
  } catch (const std::exception&) {
    // Any failure on the way, a zero-byte value among them, ends the same.
  }
  if (!started) s.messages.Show(kSysInfoUnavailable, platform::kMbOk);
}

}  // namespace torvane
