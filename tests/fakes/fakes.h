#pragma once

#include <algorithm>
#include <deque>
#include <map>
#include <ostream>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/clipboard.h"
#include "platform/file_dialog.h"
#include "platform/files.h"
#include "platform/launcher.h"
#include "platform/program.h"
#include "platform/registry.h"
#include "platform/shell.h"
#include "platform/desktop.h"
#include "platform/form.h"
#include "platform/messages.h"
#include "platform/text_box.h"
#include "platform/window_loader.h"

// Recording fakes of every platform interface. All of a test's fakes write to
// one log, "<object>.<call>", so a test sees the order of effects across them;
// answers are plain fields the test sets.
namespace torvane::fakes {

using Log = std::vector<std::string>;

struct Logged {
  Logged(Log& l, std::string n) : log(l), name(std::move(n)) {}
  Log& log;
  std::string name;
  void Note(const std::string& call) const { log.push_back(name + "." + call); }
};

struct FakeForm final : platform::Form, Logged {
  using Logged::Logged;
  platform::WindowHandle handle = 0x1234;
  float left = 0, top = 0, width = 4410, height = 4650;
  bool visible = false;
  platform::WindowState state = platform::WindowState::kNormal;
  platform::WindowHandle Handle() const override { return handle; }
  float Width() const override { return width; }
  float Height() const override { return height; }
  void SetLeft(float t) override { Note("SetLeft"), left = t; }
  void SetTop(float t) override { Note("SetTop"), top = t; }
  void Show() override { Note("Show"), visible = true; }
  void Hide() override { Note("Hide"), visible = false; }
  void SetState(platform::WindowState s) override { Note("SetState"), state = s; }
};

// An edit control's text and selection. SetText cannot be undone; the other
// edits keep the text before them, as the control's one-level Undo does.
// `limit` makes the box refuse what does not fit, as a full control would.
struct FakeTextBox final : platform::TextBox, Logged {
  using Logged::Logged;
  std::u16string text;
  std::size_t selStart = 0, selLength = 0;
  std::optional<std::size_t> limit;
  std::optional<std::u16string> undo;
  std::u16string Text() const override { return text; }
  platform::SecretText ReadSecret() const override { return platform::SecretText(text); }
  void SetText(std::u16string_view t) override {
    Note("SetText"), text = t, selStart = selLength = 0, undo.reset();
  }
  std::u16string SelText() const override { return text.substr(selStart, selLength); }
  void SetSelText(std::u16string_view t) override { Note("SetSelText"), Edit(t); }
  void ReplaceAllUndoable(std::u16string_view t) override {
    Note("ReplaceAllUndoable"), selStart = 0, selLength = text.size(), Edit(t);
  }
  void Edit(std::u16string_view t) {
    undo = text;
    text.replace(selStart, selLength, t);
    if (limit && text.size() > *limit) text.resize(*limit);
    selStart += t.size(), selLength = 0;
  }
};

struct FakeMessages final : platform::Messages, Logged {
  using Logged::Logged;
  struct Shown {
    std::string text;
    int flags;
    std::string title;
    friend bool operator==(const Shown&, const Shown&) = default;
    friend void PrintTo(const Shown& s, std::ostream* os) {
      *os << s.title << " (" << s.flags << "): " << s.text.substr(0, 200);
    }
  };
  std::vector<Shown> shown;
  int Show(std::string_view text, int flags, std::string_view title) override {
    Note("Show");
    shown.push_back({std::string(text), flags, std::string(title)});
    return 1;
  }
};

struct FakeDesktop final : platform::Desktop, Logged {
  using Logged::Logged;
  float screenWidth = 19200, screenHeight = 14400;  // 1280 x 960 pixels at 96 DPI
  platform::Path appFolder = u"C:\\app";
  struct Pos {
    platform::WindowHandle window, after;
    int x, y, cx, cy;
    unsigned flags;
  };
  std::vector<Pos> positions;
  float ScreenWidthTwips() const override { return screenWidth; }
  float ScreenHeightTwips() const override { return screenHeight; }
  void SetWindowPos(platform::WindowHandle w, platform::WindowHandle after, int x, int y, int cx,
                    int cy, unsigned flags) override {
    Note("SetWindowPos");
    positions.push_back({w, after, x, y, cx, cy, flags});
  }
  platform::Path AppFolder() const override { return appFolder; }
};

// One scripted answer per dialog shown: a path, or nullopt for Cancel.
struct FakeFilePicker final : platform::FilePicker, Logged {
  using Logged::Logged;
  std::deque<std::optional<platform::Path>> answers;
  std::vector<platform::FilePickRequest> requests;
  std::optional<platform::FilePicked> Pick(const platform::FilePickRequest& r) override {
    Note(r.kind == platform::FilePickRequest::Kind::kOpen ? "Open" : "SaveAs");
    requests.push_back(r);
    if (answers.empty()) throw std::logic_error("a file dialog the test did not expect");
    const auto a = answers.front();
    answers.pop_front();
    if (!a) return std::nullopt;
    return platform::FilePicked{*a, platform::Path(platform::NameOf(*a)), r.filterIndex};
  }
};

struct FakeClipboard final : platform::Clipboard, Logged {
  using Logged::Logged;
  std::u16string text;
  void PutText(std::u16string_view t) override { Note("PutText"), text = t; }
  std::u16string GetText() override { return text; }
};

struct FakeProgram final : platform::Program, Logged {
  using Logged::Logged;
  std::vector<platform::Path> arguments;
  void End() override { Note("End"); }
  std::vector<platform::Path> Arguments() const override { return arguments; }
};

// Paths as text, exactly as given. A copy needs its source and the folder it
// goes to; a path in `readOnly` (a file or a folder) refuses writes.
struct FakeFiles final : platform::Files, Logged {
  using Logged::Logged;
  std::map<std::u16string, std::string> files;
  std::optional<std::string> failure;  // every read and replace throws FileError with it
  std::set<std::u16string> folders{u"c:\\windows", u"C:\\Users\\ana\\AppData\\Local"};
  std::set<std::u16string> readOnly;
  std::optional<platform::Path> localAppData = u"C:\\Users\\ana\\AppData\\Local";
  platform::FirstBytes ReadFirstBytes(const platform::Path& f, std::size_t max) override {
    Note("Read");
    if (failure) throw platform::FileError(*failure);
    const std::string& all = files.at(f);
    return {all.substr(0, max), all.size() > max};
  }
  void Replace(const platform::Path& f, std::string_view bytes) override {
    Note("Replace");
    if (failure) throw platform::FileError(*failure);
    files[f] = bytes;
  }
  static std::u16string Parent(const std::u16string& p) { return p.substr(0, p.rfind(u'\\')); }
  void Copy(const platform::Path& from, const platform::Path& to) override {
    Note("Copy");
    const auto src = files.find(from);
    if (src == files.end() || !folders.count(Parent(to)) || readOnly.count(Parent(to))) {
      throw std::runtime_error("cannot copy");
    }
    files[to] = src->second;
  }
  // Files of the same bytes stand for files of the same size and time.
  bool SameFile(const platform::Path& a, const platform::Path& b) const override {
    return files.count(a) && files.count(b) && files.at(a) == files.at(b);
  }
  bool IsFile(const platform::Path& p) const override { return files.count(p) != 0; }
  void MakeFolder(const platform::Path& p) override {
    Note("MakeFolder");
    if (!folders.count(Parent(p))) throw std::runtime_error("cannot make it");
    folders.insert(p);
  }
  std::optional<platform::Path> LocalAppData() const override { return localAppData; }
};

struct FakeShell final : platform::Shell, Logged {
  using Logged::Logged;
  std::intptr_t result = 42;
  std::vector<std::u16string> opened;  // document, then folder
  std::intptr_t OpenDocument(platform::WindowHandle, const platform::Path& document,
                             const platform::Path& folder, int show) override {
    Note("Open " + std::to_string(show));
    opened = {document, folder};
    return result;
  }
};

struct FakeWindowLoader final : platform::WindowLoader, Logged {
  platform::Form& form;
  bool fail = false;
  FakeWindowLoader(Log& l, std::string n, platform::Form& f) : Logged(l, std::move(n)), form(f) {}
  platform::Form& Load() override {
    Note("Load");
    if (fail) throw std::runtime_error("cannot create the window");
    return form;
  }
};

// Keys of HKLM in memory. A value that does not fit the reader's buffer is
// refused with ERROR_MORE_DATA; every key opened must be closed once.
struct FakeRegistry final : platform::Registry, Logged {
  using Logged::Logged;
  struct Value {
    std::uint32_t type;
    std::string bytes;  // as stored, a string with its terminating zero
  };
  std::map<std::string, std::map<std::string, Value>> keys;
  std::map<std::string, std::string> environment;
  std::set<platform::RegKey> open;
  std::vector<std::uint32_t> access;
  long OpenKey(std::uint32_t root, std::string_view path, std::uint32_t want,
               platform::RegKey& key) override {
    access.push_back(want);
    if (root != platform::kHkeyLocalMachine || !keys.count(std::string(path))) {
      return platform::kErrorFileNotFound;
    }
    key = reinterpret_cast<platform::RegKey>(&keys.at(std::string(path)));
    open.insert(key);
    return platform::kErrorSuccess;
  }
  long QueryValue(platform::RegKey key, std::string_view value, std::uint32_t& type, char* data,
                  std::uint32_t& size) override {
    const auto& values = *reinterpret_cast<std::map<std::string, Value>*>(key);
    const auto it = values.find(std::string(value));
    if (it == values.end()) return platform::kErrorFileNotFound;
    type = it->second.type;
    const bool fits = it->second.bytes.size() <= size;
    size = static_cast<std::uint32_t>(it->second.bytes.size());
    if (!fits) return platform::kErrorMoreData;
    std::copy(it->second.bytes.begin(), it->second.bytes.end(), data);
    return platform::kErrorSuccess;
  }
  void CloseKey(platform::RegKey key) override {
    if (open.erase(key) != 1) throw std::logic_error("closed a key that was not open");
  }
  std::string ExpandText(std::string_view text) override {
    std::string out(text);
    for (const auto& [variable, value] : environment) {
      for (auto at = out.find("%" + variable + "%"); at != std::string::npos;
           at = out.find("%" + variable + "%")) {
        out.replace(at, variable.size() + 2, value);
      }
    }
    return out;
  }
};

struct FakeLauncher final : platform::FileSearch, platform::ProcessStarter, Logged {
  using Logged::Logged;
  std::set<std::string> normalFiles;
  bool failStart = false;
  bool IsNormalFile(std::string_view f) override { return normalFiles.count(std::string(f)) != 0; }
  void Start(std::string_view program, int style) override {
    Note("Start " + std::string(program) + " " + std::to_string(style));
    if (failStart) throw platform::StartError("cannot start the program");
  }
};

}  // namespace torvane::fakes
