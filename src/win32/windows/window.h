#pragma once

#include <windows.h>

#include <shellapi.h>

#include <functional>
#include <memory>
#include <string_view>
#include <vector>

#include "win32/base/guard.h"
#include "win32/base/handles.h"
#include "platform/layout.h"
#include "platform/form.h"
#include "platform/text_box.h"
#include "platform/window_logic.h"

namespace torvane::win32 {

class EditBox;

// A top-level window built from a layout table. It forwards every click to
// its WindowLogic by the control's or menu item's name; it holds no logic.
class Window final : public platform::Form {
 public:
  struct Options {
    HICON bigIcon = nullptr;        // not owned
    HICON smallIcon = nullptr;      // not owned
    bool endsProgram = false;       // destroying it ends the message loop
    std::function<void()> onClose;  // the close box; empty: destroy the window
  };

  Window(const platform::WindowLayout& layout, HINSTANCE instance, Options options);
  ~Window() override;
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;

  void SetLogic(platform::WindowLogic* logic) { logic_ = logic; }
  void Load();  // runs the logic's Form_Load, with the handler guard
  platform::TextBox& Box(std::string_view name);
  HWND hwnd() const { return window_.get(); }
  int Dpi() const { return dpi_; }

  // platform::Form
  platform::WindowHandle Handle() const override;
  float Width() const override;
  float Height() const override;
  void SetLeft(float twips) override;
  void SetTop(float twips) override;
  void Show() override;
  void Hide() override;
  void SetState(platform::WindowState state) override;

  // Runs the thread's message loop until a window that ends the program is
  // destroyed; returns the exit code.
  static int RunMessageLoop();

 private:
  static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) noexcept;
  LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp);
  void CreateControls();
  void BuildMenu();
  void OnCommand(int id, int code, HWND control);
  void Dispatch(std::string_view name);
  void OnDropFiles(HDROP drop);
  void CreateDefaultFont();
  void CreatePageBrush();
  void PaintBackground(HDC dc);
  void PaintLines(HDC dc);
  // The brush a label or picture stands on; null: the system's default.
  HBRUSH ColorStatic(HDC dc, HWND control) const;
  void KeepLabelOffControls(HDC dc, const platform::ControlRow& label) const;
  void ColorsChanged(WPARAM wp, LPARAM lp);
  HFONT FontFor(const platform::Font& font);
  RECT PixelRect(const platform::ControlRow& c) const;
  const platform::ControlRow* RowOfControl(HWND control) const;
  RECT WindowRect() const;

  const platform::WindowLayout& layout_;
  Options options_;
  int dpi_ = 96;
  platform::WindowLogic* logic_ = nullptr;
  HWND lastFocus_ = nullptr;

  struct FontEntry {
    platform::Font want;
    UniqueFont font;
  };
  std::vector<FontEntry> fonts_;
  UniqueFont defaultFont_;
  UniqueBrush pageBrush_;
  std::vector<std::pair<std::string_view, std::unique_ptr<EditBox>>> boxes_;
  // Last, so destroyed first, while what its messages use still lives.
  // Unhooked from this object before it is destroyed.
  struct Close {
    void operator()(HWND h) const noexcept {
      ::SetWindowLongPtrW(h, GWLP_USERDATA, 0);
      ::DestroyWindow(h);
    }
  };
  Unique<HWND, Close> window_;
};

}  // namespace torvane::win32
