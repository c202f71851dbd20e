#pragma once

#include <filesystem>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <system_error>
#include <vector>

#include "fakes/call_log.h"
#include "platform/file_system.h"

namespace torvane::fakes {

// Files and folders as plain state, keyed by their Windows path text exactly
// as given (no normalising: a doubled separator is a different path).
// - Copy needs the source file, and the destination's folder (the text before
//   its last backslash) to exist and be writable; it replaces a file there.
// - A path in `readOnly` cannot be written: a file, or a folder's contents.
class FakeFileSystem final : public platform::FileSystem, public Logged {
 public:
  explicit FakeFileSystem(CallLog& log, std::string name = "Files")
      : Logged(log, std::move(name)) {}

  std::map<std::u16string, std::string> files;  // path -> contents
  std::set<std::u16string> folders{u"c:\\windows", u"C:\\Users\\ana\\AppData\\Local"};
  std::set<std::u16string> readOnly;
  std::optional<std::filesystem::path> localAppData =
      std::filesystem::path(u"C:\\Users\\ana\\AppData\\Local");

  struct CopyCall {
    std::u16string source, destination;
  };
  std::vector<CopyCall> copies;  // every attempt, failed ones included
  std::vector<std::u16string> madeFolders;

  void Copy(const std::filesystem::path& source,
            const std::filesystem::path& destination) override {
    Note("Copy");
    const std::u16string from = source.u16string(), to = destination.u16string();
    copies.push_back({from, to});
    const auto it = files.find(from);
    if (it == files.end()) Fail(std::errc::no_such_file_or_directory);
    if (!folders.count(Parent(to))) Fail(std::errc::no_such_file_or_directory);
    if (readOnly.count(Parent(to)) || readOnly.count(to) || folders.count(to)) {
      Fail(std::errc::permission_denied);
    }
    files[to] = it->second;
  }
  bool IsFile(const std::filesystem::path& path) const override {
    return files.count(path.u16string()) != 0;
  }
  void MakeFolder(const std::filesystem::path& path) override {
    Note("MakeFolder");
    const std::u16string p = path.u16string();
    madeFolders.push_back(p);
    if (folders.count(p)) return;
    if (!folders.count(Parent(p)) || readOnly.count(Parent(p))) Fail(std::errc::permission_denied);
    folders.insert(p);
  }
  std::optional<std::filesystem::path> LocalAppData() const override { return localAppData; }

  static std::u16string Parent(const std::u16string& path) {
    const auto slash = path.rfind(u'\\');
    return slash == std::u16string::npos ? std::u16string() : path.substr(0, slash);
  }

 private:
  [[noreturn]] static void Fail(std::errc e) { throw std::system_error(std::make_error_code(e)); }
};

}  // namespace torvane::fakes
