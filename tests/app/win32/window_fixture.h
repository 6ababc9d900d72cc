#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <string>

#include "app/form1_controls.h"
#include "app/win32/form1.h"
#include "app/win32/scripted_dialogs.h"
#include "support/templates.h"

// A temporary application folder with templates the test writes, and the Win32 window started on
// it. The window is driven only through its own messages, as a person's keys and clicks would be.
class Win32WindowTest : public ::testing::Test {
 protected:
  using Control = app::Control;

  testing_support::TempFolder app;
  ScriptedDialogs dialogs;
  std::unique_ptr<win32::Form1> form;

  void AddTemplate(const std::string& file, const char* flags, const std::string& name) {
    testing_support::AddTemplate(app, file, flags, name);
  }

  void Start() {
    form.reset();
    form = std::make_unique<win32::Form1>(app.Str(), build::NumberLocale{}, &dialogs);
    form->Show(SW_SHOWNORMAL);
  }

  [[nodiscard]] HWND Handle(Control control) const {
    return GetDlgItem(form->Handle(), win32::Form1::ControlId(control));
  }
  [[nodiscard]] std::string Text(HWND window) const {
    char text[4096] = {};
    SendMessageA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
    return text;
  }
  [[nodiscard]] std::string Text(Control control) const { return Text(Handle(control)); }
  void SetText(Control control, const std::string& text) const {
    SendMessageA(Handle(control), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
  }
  void Click(Control control) const { SendMessageA(Handle(control), BM_CLICK, 0, 0); }
  // Selects a list item as the user does: the selection, then the list's notification.
  void Select(const std::string& name) const {
    HWND list = Handle(Control::lst_vgds);
    const auto row =
        SendMessageA(list, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(name.c_str()));
    ASSERT_NE(row, LB_ERR) << name;
    SendMessageA(list, LB_SETCURSEL, static_cast<WPARAM>(row), 0);
    SendMessageA(form->Handle(), WM_COMMAND, MAKEWPARAM(win32::Form1::ControlId(Control::lst_vgds), LBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(list));
  }
  [[nodiscard]] int SelectedRow() const {
    return static_cast<int>(SendMessageA(Handle(Control::lst_vgds), LB_GETCURSEL, 0, 0));
  }
  // The control's place in the window's client area, in pixels.
  [[nodiscard]] RECT Place(Control control) const {
    RECT place;
    GetWindowRect(Handle(control), &place);
    MapWindowPoints(nullptr, form->Handle(), reinterpret_cast<POINT*>(&place), 2);
    return place;
  }
  // Hands every message waiting in the thread's queue to the window, as the program's loop does.
  void DispatchWaiting() const {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE) != FALSE) {
      if (form->Handle() != nullptr && form->Translate(msg)) continue;
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
  }
  // A key pressed and released as the message loop hands it to the window.
  void Key(HWND target, WPARAM key) const {
    for (const UINT message : {static_cast<UINT>(WM_KEYDOWN), static_cast<UINT>(WM_KEYUP)}) {
      MSG msg{target, message, key, message == WM_KEYDOWN ? 1 : 0xC0000001, 0, {}};
      if (!form->Translate(msg)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
      }
    }
  }
};
