// The registry value step of GetKeyValue for any buffer, byte count and type:
// ConvertKeyValue directly, and GetKeyValue over a registry that reports
// whatever size and status the input says (a registry is not ours to trust).
//
// Input: a type selector, a size, a status selector, then the buffer bytes.

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <stdexcept>
#include <string>

#include "about/sys_info.h"
#include "fuzz_check.h"
#include "platform/registry.h"

namespace {

using namespace torvane;

constexpr std::uint32_t kTypes[] = {platform::kRegSz,
                                    platform::kRegExpandSz,
                                    platform::kRegBinary,
                                    platform::kRegDword,
                                    platform::kRegMultiSz,
                                    0,
                                    11};

// What the value should read as: text (expanded by a registry that changes
// nothing) loses one terminating zero; a number is
// "&h" and its bytes in hex, last stored first; other types change nothing.
std::string Expected(const std::string& stored, std::uint32_t type, const std::string& before) {
  if (type == platform::kRegSz || type == platform::kRegExpandSz) {
    return !stored.empty() && stored.back() == '\0' ? stored.substr(0, stored.size() - 1) : stored;
  }
  if (type == platform::kRegDword) {
    std::string hex = "&h";
    for (std::size_t i = stored.size(); i-- > 0;) {
      char two[3];
      std::snprintf(two, sizeof two, "%02X", static_cast<unsigned char>(stored[i]));
      hex += two;
    }
    return hex;
  }
  return before;
}

// One key, one value; QueryValue copies what fits and reports the size and
// status it was told to.
class ScriptedRegistry final : public platform::Registry {
 public:
  std::string stored;
  std::uint32_t type = 0;
  std::uint32_t reportedSize = 0;
  long status = 0;
  int open = 0;

  long OpenKey(std::uint32_t, std::string_view, std::uint32_t, platform::RegKey& key) override {
    ++open;
    key = 1;
    return platform::kErrorSuccess;
  }
  long QueryValue(platform::RegKey, std::string_view, std::uint32_t& t, char* data,
                  std::uint32_t& size) override {
    std::copy_n(stored.data(), std::min<std::size_t>(stored.size(), size), data);
    t = type;
    size = reportedSize;
    return status;
  }
  void CloseKey(platform::RegKey) override { --open; }
  std::string ExpandText(std::string_view text) override { return std::string(text); }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider in(data, size);
  const auto typePick = in.ConsumeIntegral<std::uint8_t>();
  const std::uint32_t type =
      typePick < 224 ? kTypes[typePick % std::size(kTypes)] : in.ConsumeIntegral<std::uint32_t>();
  const auto sizePick = in.ConsumeIntegral<std::uint8_t>();
  const auto sizeRaw = in.ConsumeIntegral<std::uint32_t>();
  const auto statusPick = in.ConsumeIntegral<std::uint8_t>();
  const std::string bytes = in.ConsumeRemainingBytesAsString();

  // Mostly a size within reach of the buffer, sometimes any 32-bit number.
  const std::uint32_t count =
      sizePick < 192 ? static_cast<std::uint32_t>(sizeRaw % (bytes.size() + 3)) : sizeRaw;
  const std::string before = "before";

  {
    std::string keyVal = before;
    bool threw = false;
    try {
      ConvertKeyValue(bytes, count, type, keyVal);
    } catch (const std::out_of_range&) {
      threw = true;
    }
    const bool fits = count > 0 && count <= bytes.size();
    FUZZ_CHECK(threw == !fits);
    if (fits) {
      FUZZ_CHECK(keyVal == Expected(bytes.substr(0, count), type, before));
    } else {
      FUZZ_CHECK(keyVal == before);
    }
  }

  {
    ScriptedRegistry registry;
    registry.stored = bytes;
    registry.type = type;
    registry.reportedSize = count;
    registry.status = statusPick < 200 ? platform::kErrorSuccess
                                       : static_cast<long>(statusPick % 4 == 0 ? 234 : statusPick);
    std::string keyVal = before;
    bool threw = false, read = false;
    try {
      read = GetKeyValue(registry, platform::kHkeyLocalMachine, "K", "V", keyVal);
    } catch (const std::out_of_range&) {
      threw = true;
    }
    FUZZ_CHECK(registry.open == 0);  // closed on every path
    if (registry.status != platform::kErrorSuccess) {
      FUZZ_CHECK(!threw && !read && keyVal.empty());
    } else if (count == 0 || count > 1024) {
      FUZZ_CHECK(threw && keyVal == before);
    } else {
      FUZZ_CHECK(read && !threw);
      // What the 1024-byte buffer held: the value's first bytes, zeros after.
      std::string buffer = bytes.substr(0, 1024);
      buffer.resize(1024, '\0');
      FUZZ_CHECK(keyVal == Expected(buffer.substr(0, count), type, before));
    }
  }
  return 0;
}
