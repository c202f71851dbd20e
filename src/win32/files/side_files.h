#pragma once

#include <string>
#include <string_view>

// The files a Save puts beside its target: the new one until it takes the
// target's place, and the old one while they swap. Each is named
// "<target's name>.<stamp><check><suffix>", the stamp 8 hex digits and the
// check their complement, so that whoever finds one left by a killed Save
// knows what it is, and the next Save to the target clears it without ever
// taking a user's file for one.
namespace torvane::win32 {

constexpr std::wstring_view kNewSuffix = L".torvane.tmp";
constexpr std::wstring_view kOldSuffix = L".torvane.bak";
// How much longer a side file's name is than its target's, at most.
constexpr std::size_t kSideLonger = 1 + 16 + kNewSuffix.size();

// A fresh name beside the target.
std::wstring SidePath(const std::wstring& target, std::wstring_view suffix);
// Removes the files of that suffix beside the target that carry a name of
// ours; leaves every other file, and one that another Save has open.
void ClearStrays(const std::wstring& target, std::wstring_view suffix);

}  // namespace torvane::win32
