#include <array>

#include "app/win32/window_fixture.h"

namespace {

// Holds Shift down for the thread, as GetKeyState reports it to the dialog manager and the edit control.
class ShiftHeld {
 public:
  ShiftHeld() { Set(0x80); }
  ~ShiftHeld() { Set(0); }
  ShiftHeld(const ShiftHeld&) = delete;
  ShiftHeld& operator=(const ShiftHeld&) = delete;

 private:
  static void Set(BYTE state) {
    std::array<BYTE, 256> keys{};
    GetKeyboardState(keys.data());
    keys[VK_SHIFT] = state;
    keys[VK_LSHIFT] = state;
    SetKeyboardState(keys.data());
  }
};

TEST_F(Win32WindowTest, TheDescriptionTakesEnterAsALineBreakPassesTabOnAndIgnoresEsc) {
  AddTemplate("first", testing_support::kAllParameters, "First");
  Start();
  HWND description = Handle(Control::txt_description);
  const auto type = [&](HWND target, WPARAM key) {
    Key(target, key);
    DispatchWaiting();
  };

  SetFocus(description);
  for (const WPARAM key : std::array<WPARAM, 7>{'Z', 'Z', 'Z', VK_RETURN, 'Y', 'Y', 'Y'}) type(description, key);
  EXPECT_EQ(Text(description), "zzz\r\nyyy");

  type(description, VK_ESCAPE);
  ASSERT_NE(IsWindow(form->Handle()), FALSE) << "Esc closed the window";
  EXPECT_EQ(Text(description), "zzz\r\nyyy");

  type(description, VK_TAB);
  EXPECT_EQ(GetFocus(), Handle(Control::lst_vgds));
  {
    const ShiftHeld shift;
    type(Handle(Control::lst_vgds), VK_TAB);
    EXPECT_EQ(GetFocus(), description);
    type(description, VK_TAB);
    EXPECT_EQ(GetFocus(), Handle(Control::img_vgds));
  }
  EXPECT_EQ(Text(description), "zzz\r\nyyy") << "Tab is no character of the text";
}

}  // namespace
