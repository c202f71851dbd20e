// WinFilter on any text: the result is what the Win32 file dialogs can read,
// nothing (no filter) or description/pattern pairs, each a non-empty string
// ending in NUL, the list ending in a second NUL. The dialog stops at the
// first empty string, so an empty one inside would hide the pairs after it.
// A plain filter (no empty fields, no NUL, ASCII) must come out as its pairs.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz_check.h"
#include "dialog/common_dialog.h"

namespace {

std::vector<std::u16string> Strings(const std::u16string& list) {
  std::vector<std::u16string> out;
  std::size_t start = 0;
  for (std::size_t i = 0; i < list.size(); ++i) {
    if (list[i] == u'\0') {
      out.push_back(list.substr(start, i - start));
      start = i + 1;
    }
  }
  FUZZ_CHECK(start == list.size());  // the last string has its NUL too
  return out;
}

bool IsPlain(const std::string& filter) {
  for (char c : filter) {
    if (c == '\0' || static_cast<unsigned char>(c) >= 0x80) return false;
  }
  std::string trimmed = filter;
  if (!trimmed.empty() && trimmed.back() == '|') trimmed.pop_back();  // the optional last bar
  if (trimmed.empty() || trimmed.front() == '|' || trimmed.back() == '|') return false;
  return trimmed.find("||") == std::string::npos;
}

// The pairs a plain filter holds, read field by field.
std::u16string PlainPairs(const std::string& filter) {
  std::vector<std::u16string> fields(1);
  for (char c : filter) {
    if (c == '|') {
      fields.emplace_back();
    } else {
      fields.back() += static_cast<char16_t>(c);
    }
  }
  if (fields.back().empty()) fields.pop_back();
  if (fields.size() % 2 != 0) fields.pop_back();
  std::u16string out;
  for (const auto& f : fields) out += f + u'\0';
  if (!out.empty()) out += u'\0';
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string filter(reinterpret_cast<const char*>(data), size);
  const std::u16string out = torvane::dialog::WinFilter(filter);
  if (IsPlain(filter)) FUZZ_CHECK(out == PlainPairs(filter));
  if (out.empty()) return 0;

  FUZZ_CHECK(out.size() >= 2 && out[out.size() - 1] == u'\0' && out[out.size() - 2] == u'\0');
  const std::vector<std::u16string> strings = Strings(out.substr(0, out.size() - 1));
  FUZZ_CHECK(!strings.empty() && strings.size() % 2 == 0);
  for (const auto& s : strings) FUZZ_CHECK(!s.empty());
  // No more pairs than the text has fields for.
  std::size_t bars = 0;
  for (char c : filter) bars += c == '|';
  FUZZ_CHECK(strings.size() <= bars + 1);
  return 0;
}
