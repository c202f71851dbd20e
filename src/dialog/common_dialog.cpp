#include "dialog/common_dialog.h"

#include <limits>
#include <stdexcept>
#include <vector>

#include "text/codepage.h"

namespace torvane::dialog {

namespace {

// A field ends at a NUL, as the dialog reads it.
std::u16string Field(std::string_view part) {
  std::u16string field = text::Utf8ToUtf16(part);
  const std::size_t nul = field.find(u'\0');
  if (nul != std::u16string::npos) field.resize(nul);
  return field;
}

}  // namespace

std::u16string WinFilter(std::string_view filter) {
  std::vector<std::string_view> parts;
  while (!filter.empty()) {
    const std::size_t bar = filter.find('|');
    parts.push_back(filter.substr(0, bar));
    filter = bar == std::string_view::npos ? std::string_view() : filter.substr(bar + 1);
  }
  std::u16string out;
  for (std::size_t i = 0; i + 1 < parts.size(); i += 2) {
    const std::u16string description = Field(parts[i]);
    const std::u16string pattern = Field(parts[i + 1]);
    // The dialog takes an empty string for the end of the list: a pair with
    // an empty half would hide every pair after it.
    if (description.empty() || pattern.empty()) continue;
    out += description + u'\0' + pattern + u'\0';
  }
  if (!out.empty()) out += u'\0';
  return out;
}

void CommonDialogControl::SetAction(std::int16_t action) {
  if (action != platform::kActionOpen && action != platform::kActionSaveAs) {
    throw std::invalid_argument("the common dialog shows only Open (1) and Save As (2)");
  }
  // Cleared first, so a dialog that fails (it throws) leaves no file chosen.
  fileTitle_.clear();

  platform::FilePickRequest request;
  request.kind = action == platform::kActionOpen ? platform::FilePickRequest::Kind::kOpen
                                                 : platform::FilePickRequest::Kind::kSaveAs;
  request.title = text::Utf8ToUtf16(title_);
  request.filter = WinFilter(filter_);
  request.file = filename_;
  request.flags = static_cast<std::uint32_t>(flags_);
  // File-must-exist is an Open option. Left over from a Load, it would keep
  // Save As from naming a new file. Save As always asks before it replaces a
  // file, as Windows users expect; the property itself stays as set.
  if (action == platform::kActionSaveAs) {
    request.flags &= ~static_cast<std::uint32_t>(platform::kOfnFileMustExist);
    request.flags |= static_cast<std::uint32_t>(platform::kOfnOverwritePrompt);
  }
  request.filterIndex = filterIndex_;

  const std::optional<platform::FilePicked> picked = picker_.Pick(request);
  if (!picked || picked->path.empty()) return;
  filename_ = picked->path;
  fileTitle_ =
      picked->title.empty() ? platform::Path(platform::NameOf(picked->path)) : picked->title;
  if (picked->filterIndex > 0 && picked->filterIndex <= std::numeric_limits<std::int16_t>::max()) {
    filterIndex_ = static_cast<std::int16_t>(picked->filterIndex);
  }
}

}  // namespace torvane::dialog
