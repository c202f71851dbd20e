#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/launcher.h"
#include "platform/registry.h"
#include "platform/messages.h"

namespace torvane {

inline constexpr std::string_view kSysInfoUnavailable =
    "System Information Is Unavailable At This Time";

// Reads one registry value into `keyVal`. False, with `keyVal` emptied, when
// the key cannot be opened or the value cannot be read (absent, or longer
// than 1024 bytes). Text becomes the text (expandable text expanded), a
// 32-bit number "&h" and its hex digits; any other type leaves `keyVal` as it
// was. Throws for a value stored with zero bytes. The key is closed on every path.
bool GetKeyValue(platform::Registry& registry, std::uint32_t keyRoot, std::string_view keyName,
                 std::string_view subKeyRef, std::string& keyVal);

// GetKeyValue's step after a successful read: `size` bytes of `buffer` as the
// registry stored them, of value type `type`, into `keyVal` as above, but
// expandable text is not expanded. Throws std::out_of_range for a size of 0
// or one larger than the buffer.
void ConvertKeyValue(std::string_view buffer, std::uint32_t size, std::uint32_t type,
                     std::string& keyVal);

struct SysInfoServices {
  platform::Registry& registry;
  platform::FileSearch& files;
  platform::ProcessStarter& processes;
  platform::Messages& messages;
};

// Finds the system-information tool through the registry and starts it, or
// shows the one "unavailable" message, whatever went wrong.
void StartSysInfo(const SysInfoServices& s);

}  // namespace torvane
