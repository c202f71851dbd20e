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

using namespace platform;
using u32 = std::uint32_t;

// A window of 4410 x 4650 twips. As a window loader it gives itself, or
// cannot be created when `fail` is set.
struct FakeForm final : Form, WindowLoader {
  float left = 0, top = 0;
  bool visible = false, fail = false;
  WindowState state = WindowState::kNormal;
  WindowHandle Handle() const override { return 0x1234; }
  float Width() const override { return 4410; }
  float Height() const override { return 4650; }
  void SetLeft(float t) override { left = t; }
  void SetTop(float t) override { top = t; }
  void Show() override { visible = true; }
  void Hide() override { visible = false; }
  void SetState(WindowState s) override { state = s; }
  Form& Load() override { return fail ? throw std::runtime_error("no window") : *this; }
};

// An edit control's text and selection. SetText cannot be undone; the other
// edits keep the text before them, as the control's one-level Undo does.
struct FakeTextBox final : TextBox {
  std::u16string text;
  std::size_t selStart = 0, selLength = 0;
  std::optional<std::u16string> undo;
  std::size_t holds = std::u16string::npos;  // a whole replacement is cut to this
  std::u16string Text() const override { return text; }
  SecretText ReadSecret() const override { return SecretText(text); }
  void SetText(std::u16string_view t) override { text = t, selStart = selLength = 0, undo.reset(); }
  std::u16string SelText() const override { return text.substr(selStart, selLength); }
  void SetSelText(std::u16string_view t) override {
    undo = text;
    text.replace(selStart, selLength, t);
    selStart += t.size(), selLength = 0;
  }
  void ReplaceAllUndoable(std::u16string_view t) override {
    selStart = 0, selLength = text.size(), SetSelText(t.substr(0, holds));
  }
};

using Shown = std::tuple<std::string, int, std::string>;  // a message box: text, flags, title

// Everything else the windows reach. The screen is 19200 x 14400 twips
// (1280 x 960 pixels at 96 DPI); paths are text, exactly as given.
// clang-format off
struct FakeSystem final : Desktop, Messages, FilePicker, Clipboard, Program, Files, Shell,
                          Registry, FileSearch, ProcessStarter {
  // clang-format on
  // Counts the one placement the program asks for: the window topmost
  // (HWND_TOPMOST, -1), neither moved nor resized (SWP_NOSIZE | SWP_NOMOVE).
  int onTop = 0;
  float ScreenWidthTwips() const override { return 19200; }
  float ScreenHeightTwips() const override { return 14400; }
  void SetWindowPos(WindowHandle w, WindowHandle after, int, int, int, int, unsigned f) override {
    onTop += w == 0x1234 && after == WindowHandle(-1) && f == 3;
  }
  Path AppFolder() const override { return u"C:\\app"; }

  std::vector<Shown> shown;
  int Show(std::string_view text, int flags, std::string_view title) override {
    shown.emplace_back(text, flags, title);
    return 1;
  }

  // One answer per dialog shown, a path or nullopt for Cancel; a dialog with
  // no answer left is a fault (out_of_range).
  std::deque<std::optional<Path>> answers;
  std::vector<FilePickRequest> requests;
  std::optional<FilePicked> Pick(const FilePickRequest& r) override {
    requests.push_back(r);
    const std::optional<Path> a = answers.at(0);
    answers.pop_front();
    return a ? std::optional(FilePicked{*a, Path(NameOf(*a)), r.filterIndex}) : std::nullopt;
  }

  std::u16string clipboard;
  void PutText(std::u16string_view t) override { clipboard = t; }
  std::u16string GetText() override { return clipboard; }

  std::vector<Path> arguments;
  bool ended = false;
  void End() override { ended = true; }
  std::vector<Path> Arguments() const override { return arguments; }

  // A copy needs its source and a folder in `folders` to go to; `copies`
  // counts the copies made. `failure` makes every read and replace fail.
  std::map<Path, std::string> files;
  std::optional<std::string> failure;
  std::set<Path> folders{u"c:\\windows", u"C:\\Local"};
  int copies = 0;
  FirstBytes ReadFirstBytes(const Path& f, std::size_t max) override {
    const auto it = files.find(f);
    if (failure || it == files.end()) throw FileError(failure.value_or("Not found."));
    return {it->second.substr(0, max), it->second.size() > max};
  }
  void Replace(const Path& f, std::string_view bytes) override {
    files[f] = failure ? throw FileError(*failure) : std::string(bytes);
  }
  void Copy(const Path& from, const Path& to) override {
    if (!files.count(from) || !folders.count(to.substr(0, to.rfind(u'\\')))) throw SystemError("");
    files[to] = files[from], ++copies;
  }
  // Files of the same bytes stand for files of the same size and time.
  bool SameFile(const Path& a, const Path& b) const override {
    return files.count(a) && files.count(b) && files.at(a) == files.at(b);
  }
  bool IsFile(const Path& p) const override { return files.count(p); }
  void MakeFolder(const Path& p) override { folders.insert(p); }
  std::optional<Path> local = u"C:\\Local";
  std::optional<Path> LocalAppData() const override { return local; }

  std::intptr_t result = 42;
  std::vector<Path> opened;  // document, then folder
  // Opens documents for the window, in a normal window (SW_SHOWNORMAL).
  std::intptr_t OpenDocument(WindowHandle w, const Path& doc, const Path& dir, int show) override {
    if (w != 0x1234 || show != 1) throw std::logic_error("not the window's normal show");
    opened = {doc, dir};
    return result;
  }

  // System Info: keys of HKLM map value names to (type, bytes as stored);
  // only read access (KEY_READ) is granted; a value longer than the reader's
  // buffer is refused with ERROR_MORE_DATA (234). `open` counts the keys not
  // closed yet.
  using Values = std::map<std::string, std::pair<u32, std::string>>;
  std::map<std::string, Values> keys;
  int open = 0;
  long OpenKey(u32 root, std::string_view path, u32 want, RegKey& key) override {
    const auto it = keys.find(std::string(path));
    if (root != 0x80000002 || want != 0x20019 || it == keys.end()) return 2;
    key = reinterpret_cast<RegKey>(&it->second), ++open;
    return 0;
  }
  long QueryValue(RegKey key, std::string_view name, u32& type, char* data, u32& size) override {
    const Values& values = *reinterpret_cast<const Values*>(key);
    const auto it = values.find(std::string(name));
    if (it == values.end()) return 2;
    const auto& [stored, bytes] = it->second;
    if (bytes.size() > std::exchange(size, static_cast<u32>(bytes.size()))) return 234;
    type = stored, bytes.copy(data, size);
    return 0;
  }
  void CloseKey(RegKey) override { --open; }
  // Marks what it was given to expand.
  std::string ExpandText(std::string_view text) override { return "<" + std::string(text) + ">"; }

  // Every start tried is recorded; a program in `broken` fails to start.
  std::set<std::string> normalFiles, broken;
  std::vector<std::string> started;
  bool IsNormalFile(std::string_view f) override { return normalFiles.count(std::string(f)); }
  void Start(std::string_view program, int style) override {
    started.push_back(std::string(program) + " " + std::to_string(style));
    if (broken.count(std::string(program))) throw StartError("cannot start it");
  }
};

}  // namespace torvane::fakes
