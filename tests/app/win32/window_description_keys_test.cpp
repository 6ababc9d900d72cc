#include <array>
#include <initializer_list>

#include "app/win32/window_fixture.h"

namespace {

TEST_F(Win32WindowTest, TheDescriptionTakesEnterAsALineBreakPassesTabOnAndIgnoresEsc) {
  AddTemplate("first", testing_support::kAllParameters, "First");
  Start();
  HWND description = Handle(Control::txt_description);
  // Each key to the control that has the focus, as the keyboard sends it.
  const auto type = [&](std::initializer_list<WPARAM> keys) {
    for (const WPARAM key : keys) {
      Key(GetFocus(), key);
      DispatchWaiting();
    }
  };
  // Shift as GetKeyState reports it to the dialog manager and the edit control.
  const auto shift = [](BYTE state) {
    std::array<BYTE, 256> keys{};
    GetKeyboardState(keys.data());
    keys[VK_SHIFT] = keys[VK_LSHIFT] = state;
    SetKeyboardState(keys.data());
  };

  SetFocus(description);
  type({'Z', 'Z', 'Z', VK_RETURN, 'Y', 'Y', 'Y', VK_ESCAPE});
  ASSERT_NE(IsWindow(form->Handle()), FALSE) << "Esc closed the window";
  EXPECT_EQ(Text(description), "zzz\r\nyyy");
  type({VK_TAB});
  EXPECT_EQ(GetFocus(), Handle(Control::lst_vgds));
  shift(0x80);
  type({VK_TAB});
  EXPECT_EQ(GetFocus(), description);
  type({VK_TAB});
  EXPECT_EQ(GetFocus(), Handle(Control::img_vgds));
  shift(0);
  EXPECT_EQ(Text(description), "zzz\r\nyyy") << "Tab is no character of the text";
}

}  // namespace
