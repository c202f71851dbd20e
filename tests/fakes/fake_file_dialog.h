#pragma once

#include <deque>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "fakes/call_log.h"
#include "dialog/common_dialog.h"
#include "platform/file_dialog.h"

namespace torvane::fakes {

// The platform's file dialog: records what it was asked to show and answers
// with what the test scripted, one answer per dialog shown.
class FakeFilePicker final : public platform::FilePicker, public Logged {
 public:
  explicit FakeFilePicker(CallLog& log, std::string name = "FilePicker")
      : Logged(log, std::move(name)) {}

  struct Answer {
    std::optional<std::filesystem::path> chosen;  // nullopt: the user cancels
    std::optional<int> filterIndex;               // the pair in use; default: as asked
  };
  std::deque<Answer> answers;
  std::vector<platform::FilePickRequest> requests;

  void Choose(std::filesystem::path file, std::optional<int> filterIndex = std::nullopt) {
    answers.push_back({std::move(file), filterIndex});
  }
  void Cancel() { answers.push_back({std::nullopt, std::nullopt}); }

  std::optional<platform::FilePicked> Pick(const platform::FilePickRequest& request) override {
    Note(request.kind == platform::FilePickRequest::Kind::kOpen ? "Open" : "SaveAs");
    requests.push_back(request);
    if (answers.empty()) throw std::logic_error("a file dialog the test did not expect");
    const Answer a = answers.front();
    answers.pop_front();
    if (!a.chosen) return std::nullopt;
    return platform::FilePicked{*a.chosen, a.chosen->filename(),
                                a.filterIndex.value_or(request.filterIndex)};
  }
};

// CMDialog1 for the handlers' tests: the real property logic over a fake
// dialog, with every property set logged ("CMDialog1.Filter", ...) so a test
// can check the order of the settings.
class FakeCommonDialog final : public platform::CommonDialog, public Logged {
 public:
  explicit FakeCommonDialog(CallLog& log, std::string name = "CMDialog1")
      : Logged(log, std::move(name)), picker(log) {}

  FakeFilePicker picker;

  void SetDialogTitle(std::string_view t) override {
    Note("DialogTitle");
    real_.SetDialogTitle(t);
  }
  void SetFilter(std::string_view f) override {
    Note("Filter");
    real_.SetFilter(f);
  }
  void SetFilename(const std::filesystem::path& f) override {
    Note("Filename");
    real_.SetFilename(f);
  }
  void SetFlags(std::int32_t f) override {
    Note("Flags");
    real_.SetFlags(f);
  }
  void SetFilterIndex(std::int16_t i) override {
    Note("FilterIndex");
    real_.SetFilterIndex(i);
  }
  void SetAction(std::int16_t a) override {
    Note("Action");
    real_.SetAction(a);
  }
  std::string DialogTitle() const override { return real_.DialogTitle(); }
  std::string Filter() const override { return real_.Filter(); }
  std::filesystem::path Filename() const override { return real_.Filename(); }
  std::int32_t Flags() const override { return real_.Flags(); }
  std::int16_t FilterIndex() const override { return real_.FilterIndex(); }
  std::filesystem::path FileTitle() const override { return real_.FileTitle(); }

 private:
  dialog::CommonDialogControl real_{picker};
};

}  // namespace torvane::fakes
