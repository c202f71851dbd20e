#pragma once

#include <deque>
#include <map>
#include <set>
#include <tuple>

// The platform interfaces, as the two windows take them.
#include "about/frm_about.h"
#include "main_window/tarvik.h"

// Fakes of the platform interfaces: each keeps what was done to it in plain
// fields, and answers from fields the test sets.
namespace torvane::fakes {

// A window of 4410 x 4650 twips. As a window loader it gives itself, or
// cannot be created when `fail` is set.
struct FakeForm final : platform::Form, platform::WindowLoader {
  float left = 0, top = 0;
  bool visible = false, fail = false;
  platform::WindowState state = platform::WindowState::kNormal;
  platform::WindowHandle Handle() const override { return 0x1234; }
  float Width() const override { return 4410; }
  float Height() const override { return 4650; }
  void SetLeft(float t) override { left = t; }
  void SetTop(float t) override { top = t; }
  void Show() override { visible = true; }
  void Hide() override { visible = false; }
  void SetState(platform::WindowState s) override { state = s; }
  platform::Form& Load() override { return fail ? throw std::runtime_error("no window") : *this; }
};

// An edit control's text and selection. SetText cannot be undone; the other
// edits keep the text before them, as the control's one-level Undo does.
// `limit` makes the box refuse what does not fit, as a full control would.
struct FakeTextBox final : platform::TextBox {
  std::u16string text;
  std::size_t selStart = 0, selLength = 0;
  std::optional<std::size_t> limit;
  std::optional<std::u16string> undo;
  std::u16string Text() const override { return text; }
  platform::SecretText ReadSecret() const override { return platform::SecretText(text); }
  void SetText(std::u16string_view t) override { text = t, selStart = selLength = 0, undo.reset(); }
  std::u16string SelText() const override { return text.substr(selStart, selLength); }
  void SetSelText(std::u16string_view t) override {
    undo = text;
    text.replace(selStart, selLength, t);
    if (limit && text.size() > *limit) text.resize(*limit);
    selStart += t.size(), selLength = 0;
  }
  void ReplaceAllUndoable(std::u16string_view t) override {
    selStart = 0, selLength = text.size(), SetSelText(t);
  }
};

using Shown = std::tuple<std::string, int, std::string>;  // a message box: text, flags, title

// Everything else the windows reach: screen, message boxes, file dialog,
// clipboard, program, files, shell. The screen is 19200 x 14400 twips (1280 x
// 960 pixels at 96 DPI); paths are text, exactly as given.
struct FakeSystem final : platform::Desktop,
                          platform::Messages,
                          platform::FilePicker,
                          platform::Clipboard,
                          platform::Program,
                          platform::Files,
                          platform::Shell {
  // Counts the one placement the program asks for: the window topmost
  // (HWND_TOPMOST, -1), neither moved nor resized (SWP_NOSIZE | SWP_NOMOVE).
  int onTop = 0;
  float ScreenWidthTwips() const override { return 19200; }
  float ScreenHeightTwips() const override { return 14400; }
  void SetWindowPos(platform::WindowHandle window, platform::WindowHandle after, int, int, int, int,
                    unsigned flags) override {
    onTop += window == 0x1234 && after == platform::WindowHandle(-1) && flags == 3;
  }
  platform::Path AppFolder() const override { return u"C:\\app"; }

  std::vector<Shown> shown;
  int Show(std::string_view text, int flags, std::string_view title) override {
    shown.emplace_back(text, flags, title);
    return 1;
  }

  // One answer per dialog shown, a path or nullopt for Cancel; a dialog with
  // no answer left is a fault (out_of_range).
  std::deque<std::optional<platform::Path>> answers;
  std::vector<platform::FilePickRequest> requests;
  std::optional<platform::FilePicked> Pick(const platform::FilePickRequest& r) override {
    requests.push_back(r);
    const auto a = answers.at(0);
    answers.pop_front();
    if (!a) return std::nullopt;
    return platform::FilePicked{*a, platform::Path(platform::NameOf(*a)), r.filterIndex};
  }

  std::u16string clipboard;
  void PutText(std::u16string_view t) override { clipboard = t; }
  std::u16string GetText() override { return clipboard; }

  std::vector<platform::Path> arguments;
  bool ended = false;
  void End() override { ended = true; }
  std::vector<platform::Path> Arguments() const override { return arguments; }

  // A copy needs its source and a folder in `folders` to go to; `copies`
  // counts the copies made. `failure` makes every read and replace fail.
  std::map<std::u16string, std::string> files;
  std::optional<std::string> failure;
  std::set<std::u16string> folders{u"c:\\windows", u"C:\\Local"};
  int copies = 0;
  platform::FirstBytes ReadFirstBytes(const platform::Path& f, std::size_t max) override {
    const auto it = files.find(f);
    if (failure || it == files.end()) throw platform::FileError(failure.value_or("Not found."));
    return {it->second.substr(0, max), it->second.size() > max};
  }
  void Replace(const platform::Path& f, std::string_view bytes) override {
    if (failure) throw platform::FileError(*failure);
    files[f] = bytes;
  }
  static std::u16string Parent(const std::u16string& p) { return p.substr(0, p.rfind(u'\\')); }
  void Copy(const platform::Path& from, const platform::Path& to) override {
    if (!files.count(from) || !folders.count(Parent(to))) throw platform::SystemError("no copy");
    files[to] = files[from], ++copies;
  }
  // Files of the same bytes stand for files of the same size and time.
  bool SameFile(const platform::Path& a, const platform::Path& b) const override {
    return files.count(a) && files.count(b) && files.at(a) == files.at(b);
  }
  bool IsFile(const platform::Path& p) const override { return files.count(p) != 0; }
  void MakeFolder(const platform::Path& p) override {
    if (!folders.count(Parent(p))) throw platform::SystemError("no folder");
    folders.insert(p);
  }
  std::optional<platform::Path> LocalAppData() const override { return u"C:\\Local"; }

  // Opens documents for the window, in a normal window (SW_SHOWNORMAL).
  std::intptr_t result = 42;
  std::vector<std::u16string> opened;  // document, then folder
  std::intptr_t OpenDocument(platform::WindowHandle window, const platform::Path& document,
                             const platform::Path& folder, int show) override {
    if (window != 0x1234 || show != 1) throw std::logic_error("not the window's normal show");
    opened = {document, folder};
    return result;
  }
};

// The registry and the starting of programs, for System Info. Keys of HKLM
// map value names to (type, bytes as stored); only read access (KEY_READ) is
// granted; a value longer than the reader's buffer is refused with
// ERROR_MORE_DATA (234). `open` counts the keys not closed yet.
struct FakeSysInfo final : platform::Registry, platform::FileSearch, platform::ProcessStarter {
  using Values = std::map<std::string, std::pair<std::uint32_t, std::string>>;
  std::map<std::string, Values> keys;
  int open = 0;
  long OpenKey(std::uint32_t root, std::string_view path, std::uint32_t want,
               platform::RegKey& key) override {
    const auto it = keys.find(std::string(path));
    if (root != 0x80000002 || want != 0x20019 || it == keys.end()) return 2;
    key = reinterpret_cast<platform::RegKey>(&it->second), ++open;
    return 0;
  }
  long QueryValue(platform::RegKey key, std::string_view name, std::uint32_t& type, char* data,
                  std::uint32_t& size) override {
    const Values& values = *reinterpret_cast<const Values*>(key);
    const auto it = values.find(std::string(name));
    if (it == values.end()) return 2;
    const auto& [stored, bytes] = it->second;
    if (bytes.size() > std::exchange(size, static_cast<std::uint32_t>(bytes.size()))) return 234;
    type = stored, bytes.copy(data, size);
    return 0;
  }
  void CloseKey(platform::RegKey) override { --open; }
  // Marks what it was given to expand.
  std::string ExpandText(std::string_view text) override { return "<" + std::string(text) + ">"; }

  // Every start tried is recorded; a program in `broken` fails to start.
  std::set<std::string> normalFiles, broken;
  std::vector<std::string> started;
  bool IsNormalFile(std::string_view f) override { return normalFiles.count(std::string(f)); }
  void Start(std::string_view program, int style) override {
    started.push_back(std::string(program) + " " + std::to_string(style));
    if (broken.count(std::string(program))) throw platform::StartError("cannot start it");
  }
};

}  // namespace torvane::fakes
