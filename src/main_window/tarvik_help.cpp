// The help document: its silent start-up copy and the Help command.
#include <cstdint>
#include <exception>

#include "main_window/tarvik.h"

namespace torvane {
namespace {

// Joins as text, the way Windows paths are written, whatever the host: the
// help document's source is the folder text followed by "\help.doc", even
// when the folder text already ends in a separator.
platform::Path JoinAsText(const platform::Path& folder, std::u16string_view tail) {
  return folder + platform::Path(tail);
}

// The per-user copy's name inside its folder.
constexpr std::u16string_view kOwnCopyName = u"\\encrypthelp.doc";

}  // namespace

void Tarvik::help1_Click() {
  const std::intptr_t result = s_.shell.OpenDocument(
      c_.form.Handle(), HelpToOpen(), platform::Path(kHelpDirectory), platform::kSwShowNormal);
  if (result < 33) Error("Error opening help file.");
}

std::optional<platform::Path> Tarvik::PerUserHelpFolder() const {
  const auto local = s_.files.LocalAppData();
  if (!local || local->empty()) return std::nullopt;
  return JoinAsText(*local, u"\\Torvane");
}

std::optional<platform::Path> Tarvik::PerUserHelpCopy() const {
  const auto folder = PerUserHelpFolder();
  if (!folder) return std::nullopt;
  return JoinAsText(*folder, kOwnCopyName);
}

// Silent whatever happens: a missing help document is no reason to trouble
// the user at start-up. A copy already the same as the source is kept: after
// the start the copy is the source's, either way, and an unchanged one costs
// nothing.
void Tarvik::CopyHelp() noexcept {
  try {
    const platform::Path source = JoinAsText(s_.desktop.AppFolder(), u"\\help.doc");
    try {
      if (!s_.files.SameFile(source, platform::Path(kHelpCopy))) {
        s_.files.Copy(source, platform::Path(kHelpCopy));
      }
      return;
    } catch (const std::exception&) {
      // A standard account cannot write the system folder: keep a copy of
      // the user's own instead, unless there is nothing to copy.
    }
    if (!s_.files.IsFile(source)) return;
    const auto folder = PerUserHelpFolder();
    if (!folder) return;
    const platform::Path own = JoinAsText(*folder, kOwnCopyName);
    if (s_.files.SameFile(source, own)) return;
    s_.files.MakeFolder(*folder);
    s_.files.Copy(source, own);
  } catch (...) {
  }
}

// The fixed copy when it is there, else the user's own; with neither, the
// fixed path, and the shell reports what is wrong.
platform::Path Tarvik::HelpToOpen() const {
  const platform::Path fixed(kHelpCopy);
  if (s_.files.IsFile(fixed)) return fixed;
  if (const auto own = PerUserHelpCopy(); own && s_.files.IsFile(*own)) return *own;
  return fixed;
}

}  // namespace torvane
