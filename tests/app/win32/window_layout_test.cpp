#include <map>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "app/tab_order_cases.h"
#include "app/win32/window_fixture.h"

namespace {

using testing_support::kAllParameters;

RECT Pixels(int left, int top, int width, int height) {
  return {left / 15, top / 15, (left + width) / 15, (top + height) / 15};
}

std::string Name(HWND control) {
  for (const auto& layout : app::kForm1Controls) {
    if (GetDlgCtrlID(control) == win32::Form1::ControlId(layout.control)) return std::string(layout.name);
  }
  return "?";
}

// Every control of the shared table, in pixels, a control of the frame offset by the frame's place.
TEST_F(Win32WindowTest, OpensAt438By405WithEveryControlInPlaceWithItsTextAlsoWhenEnlarged) {
  AddTemplate("first", kAllParameters, "First");
  Start();
  EXPECT_EQ(Text(form->Handle()), "Parkmarq");
  EXPECT_NE(GetClassLongPtrA(form->Handle(), GCLP_HICON), 0U) << "the icon from the resource";
  RECT client;
  GetClientRect(form->Handle(), &client);
  EXPECT_EQ(std::pair(client.right, client.bottom), std::pair(438L, 405L));
  // The class, and the styles that make each kind of control what it stands for.
  using app::ControlKind;
  const std::map<ControlKind, std::pair<const char*, LONG>> kinds = {
      {ControlKind::List, {"ListBox", LBS_NOTIFY}},
      {ControlKind::Description, {"Edit", WS_VSCROLL | ES_MULTILINE}},
      {ControlKind::PictureBox, {"ParkmarqPictureBox", WS_TABSTOP}},
      {ControlKind::Frame, {"Button", BS_GROUPBOX}},
      {ControlKind::Label, {"Static", 0}},
      {ControlKind::Field, {"Edit", WS_TABSTOP | ES_AUTOHSCROLL}},
      {ControlKind::Button, {"Button", WS_TABSTOP}}};
  const app::TwipsRect frame = app::kForm1Controls[static_cast<int>(Control::frm_parameters)].place;
  SetWindowPos(form->Handle(), nullptr, 0, 0, 900, 800, SWP_NOMOVE | SWP_NOZORDER);
  for (const auto& layout : app::kForm1Controls) {
    SCOPED_TRACE(layout.name);
    EXPECT_EQ(Text(layout.control), layout.caption);
    const int left = layout.place.left + (layout.inFrame ? frame.left : 0);
    const int top = layout.place.top + (layout.inFrame ? frame.top : 0);
    const RECT place = Place(layout.control), expected = Pixels(left, top, layout.place.width, layout.place.height);
    EXPECT_EQ(std::tuple(place.left, place.top, place.right, place.bottom),
              std::tuple(expected.left, expected.top, expected.right, expected.bottom));
    char className[64] = {};
    GetClassNameA(Handle(layout.control), className, sizeof className);
    const auto& [kindClass, style] = kinds.at(layout.kind);
    EXPECT_STRCASEEQ(className, kindClass);
    EXPECT_EQ(GetWindowLongA(Handle(layout.control), GWL_STYLE) & style, style);
  }
  for (const Control button : {Control::cmd_heading_fs, Control::cmd_set_folder, Control::cmd_create}) {
    EXPECT_EQ(GetWindowLongA(Handle(button), GWL_STYLE) & BS_DEFPUSHBUTTON, 0) << "no default button";
  }
  EXPECT_EQ(GetWindowLongA(Handle(Control::lst_vgds), GWL_STYLE) & (WS_HSCROLL | LBS_SORT), 0);
  EXPECT_EQ(GetWindowLongA(Handle(Control::txt_description), GWL_STYLE) & (WS_HSCROLL | ES_AUTOHSCROLL), 0);
}

TEST_F(Win32WindowTest, AMonitorOfAnotherDpiScalesTheWholeLayoutAndTheFont) {
  AddTemplate("first", kAllParameters, "First");
  Start();
  const auto fontHeight = [&] {
    LOGFONTA font{};
    GetObjectA(reinterpret_cast<HFONT>(SendMessageA(Handle(Control::cmd_create), WM_GETFONT, 0, 0)), sizeof font,
               &font);
    return font.lfHeight;
  };
  EXPECT_EQ(fontHeight(), -11);  // 8 points at 96 dots per inch
  for (const UINT dpi : {120U, 144U}) {
    SCOPED_TRACE(dpi);
    RECT suggested{0, 0, 1000, 1000};
    SendMessageA(form->Handle(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
    const auto scaled = [dpi](int twips) { return MulDiv(twips, static_cast<int>(dpi), 1440); };
    const RECT create = Place(Control::cmd_create);
    EXPECT_EQ(create.left, scaled(3480));
    EXPECT_EQ(create.bottom, scaled(5640 + 375));
    const RECT lateral = Place(Control::txt_lateraldistance);
    EXPECT_EQ(lateral.right, scaled(3480 + 2040 + 855));
    EXPECT_EQ(fontHeight(), -MulDiv(8, static_cast<int>(dpi), 72));
  }
}

TEST_F(Win32WindowTest, TabStartsAtThePictureSkipsDisabledFieldsAndEnterOrSpaceClicksOnlyButtons) {
  AddTabOrderTemplates(app);
  Start();
  EXPECT_EQ(GetFocus(), Handle(Control::img_vgds)) << "the first in the tab order has the focus";
  for (const auto& c : kTabOrderCases) {
    SCOPED_TRACE(c.templateName);
    Select(c.templateName);
    std::vector<std::string> visited;
    HWND at = Handle(Control::txt_heading);
    for (std::size_t i = 0; i < c.order.size(); ++i)
      visited.push_back(Name(at = GetNextDlgTabItem(form->Handle(), at, FALSE)));
    EXPECT_EQ(visited, c.order);
  }

  // Tab itself, through the dialog manager, moves the focus the same way.
  SetFocus(Handle(Control::txt_heading));
  Key(Handle(Control::txt_heading), VK_TAB);
  EXPECT_EQ(GetFocus(), Handle(Control::cmd_create));

  // Enter and Space click the focused button; Enter elsewhere clicks nothing.
  const struct {
    const char* name;
    Control focus;
    WPARAM key;
    std::size_t browsers;
  } cases[] = {
      {"Enter on a field", Control::txt_heading, VK_RETURN, 0},
      {"Enter on the button", Control::cmd_set_folder, VK_RETURN, 1},
      {"Space on the button", Control::cmd_set_folder, VK_SPACE, 2},
      {"Enter on the list", Control::lst_vgds, VK_RETURN, 2},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    dialogs.folderAnswers = {"C:\\Models"};
    SetFocus(Handle(c.focus));
    Key(Handle(c.focus), c.key);
    EXPECT_EQ(dialogs.folderTitles.size(), c.browsers);
  }
  EXPECT_TRUE(dialogs.saveRequests.empty());
}

}  // namespace
