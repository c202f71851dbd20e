#include "platform/common_dialog.h"

#include <limits>
#include <stdexcept>
#include <vector>

#include "platform/codepage.h"

namespace torvane::platform {

std::u16string WinFilter(std::string_view filter) {
  std::vector<std::string_view> parts;
  while (!filter.empty()) {
    const std::size_t bar = filter.find('|');
    parts.push_back(filter.substr(0, bar));
    filter = bar == std::string_view::npos ? std::string_view() : filter.substr(bar + 1);
  }
  if (parts.size() % 2 != 0) parts.pop_back();
  if (parts.empty()) return {};
  std::u16string out;
  for (std::string_view part : parts) {
    out += Utf8ToUtf16(part);
    out += u'\0';
  }
  out += u'\0';
  return out;
}

void CommonDialogControl::SetAction(std::int16_t action) {
  if (action != kActionOpen && action != kActionSaveAs) {
    throw std::invalid_argument("the common dialog shows only Open (1) and Save As (2)");
  }
  // A dialog that fails reads as one the user cancelled.
  fileTitle_.clear();

  FilePickRequest request;
  request.kind =
      action == kActionOpen ? FilePickRequest::Kind::kOpen : FilePickRequest::Kind::kSaveAs;
  request.title = Utf8ToUtf16(title_);
  request.filter = WinFilter(filter_);
  request.file = filename_;
  request.flags = static_cast<std::uint32_t>(flags_);
  // File-must-exist is an Open option. Left over from a Load, it would keep
  // Save As from naming a new file.
  if (action == kActionSaveAs) request.flags &= ~static_cast<std::uint32_t>(kOfnFileMustExist);
  request.filterIndex = filterIndex_;

  const std::optional<FilePicked> picked = picker_.Pick(request);
  if (!picked || picked->path.empty()) return;
  filename_ = picked->path;
  fileTitle_ = picked->title.empty() ? picked->path.filename() : picked->title;
  if (picked->filterIndex > 0 && picked->filterIndex <= std::numeric_limits<std::int16_t>::max()) {
    filterIndex_ = static_cast<std::int16_t>(picked->filterIndex);
  }
}

}  // namespace torvane::platform
