#pragma once

#include <string>

#include "platform/win32_api.h"
// windows.h first
#include <commctrl.h>

// Thin holders of a control's window handle: each method sends the one message it names. Texts are
// in the system's ANSI code page; the narrow calls convert them to and from the controls.
namespace win32 {

class Window {
 public:
  Window() = default;
  explicit Window(HWND handle) : handle_(handle) {}

  [[nodiscard]] HWND Handle() const { return handle_; }
  void Attach(HWND handle) { handle_ = handle; }

  void SetText(const std::string& text) const { SendMessageA(handle_, WM_SETTEXT, 0, ToParam(text.c_str())); }
  [[nodiscard]] std::string GetText() const {
    std::string text(static_cast<std::size_t>(SendMessageA(handle_, WM_GETTEXTLENGTH, 0, 0)) + 1, '\0');
    const auto copied = SendMessageA(handle_, WM_GETTEXT, text.size(), ToParam(text.data()));
    text.resize(static_cast<std::size_t>(copied));
    return text;
  }
  void Enable(bool enabled) const { EnableWindow(handle_, enabled ? TRUE : FALSE); }
  [[nodiscard]] bool IsEnabled() const { return IsWindowEnabled(handle_) != FALSE; }
  void SetFont(HFONT font) const { SendMessageA(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE); }
  void Move(const RECT& place) const {
    MoveWindow(handle_, place.left, place.top, place.right - place.left, place.bottom - place.top, TRUE);
  }
  // Paints what is pending now rather than when the thread next reads its messages.
  void Update() const { UpdateWindow(handle_); }

 protected:
  template <typename Pointer>
  static LPARAM ToParam(Pointer* pointer) {
    return reinterpret_cast<LPARAM>(pointer);
  }

  HWND handle_ = nullptr;
};

class ListBox : public Window {
 public:
  void AddString(const std::string& text) const { SendMessageA(handle_, LB_ADDSTRING, 0, ToParam(text.c_str())); }
  void SetCurSel(int index) const { SendMessageA(handle_, LB_SETCURSEL, static_cast<WPARAM>(index), 0); }
  [[nodiscard]] int GetCurSel() const { return static_cast<int>(SendMessageA(handle_, LB_GETCURSEL, 0, 0)); }
};

class Edit : public Window {};

class Button : public Window {
 public:
  void Click() const { SendMessageA(handle_, BM_CLICK, 0, 0); }
};

// One tool tip window holding tips for controls of one owner window.
class ToolTip : public Window {
 public:
  void AddTool(HWND owner, HWND tool) const {
    TOOLINFOA info = Info(owner, tool);
    SendMessageA(handle_, TTM_ADDTOOLA, 0, ToParam(&info));
  }
  void UpdateTipText(HWND owner, HWND tool, const std::string& text) const {
    TOOLINFOA info = Info(owner, tool);
    info.lpszText = const_cast<char*>(text.c_str());
    SendMessageA(handle_, TTM_UPDATETIPTEXTA, 0, ToParam(&info));
  }
  [[nodiscard]] std::string GetText(HWND owner, HWND tool) const {
    char text[1024] = {};
    TOOLINFOA info = Info(owner, tool);
    info.lpszText = text;
    SendMessageA(handle_, TTM_GETTEXTA, sizeof text, ToParam(&info));
    return text;
  }

 private:
  static TOOLINFOA Info(HWND owner, HWND tool) {
    TOOLINFOA info{};
    info.cbSize = sizeof info;
    info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    info.hwnd = owner;
    info.uId = reinterpret_cast<UINT_PTR>(tool);
    info.lpszText = const_cast<char*>("");
    return info;
  }
};

}  // namespace win32
