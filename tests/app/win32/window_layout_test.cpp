#include <array>
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

TEST_F(Win32WindowTest, OpensAt438By405WithEveryControlInPlaceWithItsTextAlsoWhenEnlarged) {
  AddTemplate("first", kAllParameters, "First");
  Start();
  EXPECT_EQ(Text(form->Handle()), "Parkmarq");
  EXPECT_NE(GetClassLongPtrA(form->Handle(), GCLP_HICON), 0U) << "the icon from the resource";
  const std::pair<Control, const char*> texts[] = {
      {Control::lbl_heading, "Heading (deg):"}, {Control::txt_heading, "0"},
      {Control::txt_stopdistance, "20"},        {Control::txt_visibilitydistance, "500"},
      {Control::txt_lateraldistance, "10"},     {Control::lbl_lateraldistance, "Lateral distance (m):"},
      {Control::cmd_heading_fs, "FS"},          {Control::frm_parameters, "Parameters"},
      {Control::cmd_create, "Create new MDL"},  {Control::cmd_set_folder, "Set default output folder"}};
  for (const auto& [control, text] : texts) EXPECT_EQ(Text(control), text);
  RECT client;
  GetClientRect(form->Handle(), &client);
  EXPECT_EQ(client.right, 438);
  EXPECT_EQ(client.bottom, 405);

  const struct {
    Control control;
    RECT place;
    const char* className;
    LONG style;  // styles that make the control what it stands for
  } expected[] = {
      {Control::lst_vgds, Pixels(120, 120, 3255, 2985), "ListBox", LBS_NOTIFY},
      {Control::txt_description, Pixels(120, 3240, 3255, 2775), "Edit", WS_VSCROLL | ES_MULTILINE},
      {Control::img_vgds, Pixels(3480, 120, 2985, 2985), "ParkmarqPictureBox", WS_TABSTOP},
      {Control::frm_parameters, Pixels(3480, 3120, 3015, 1935), "Button", BS_GROUPBOX},
      {Control::cmd_set_folder, Pixels(3480, 5160, 3015, 375), "Button", WS_TABSTOP},
      {Control::cmd_create, Pixels(3480, 5640, 3015, 375), "Button", WS_TABSTOP},
      {Control::lbl_heading, Pixels(3480 + 120, 3120 + 360, 1455, 255), "Static", 0},
      {Control::cmd_heading_fs, Pixels(3480 + 1560, 3120 + 360, 375, 240), "Button", WS_TABSTOP},
      {Control::txt_heading, Pixels(3480 + 2040, 3120 + 360, 855, 285), "Edit", WS_TABSTOP | ES_AUTOHSCROLL},
      {Control::lbl_visibilitydistance, Pixels(3480 + 120, 3120 + 1080, 1815, 255), "Static", 0},
      {Control::txt_lateraldistance, Pixels(3480 + 2040, 3120 + 1440, 855, 285), "Edit", WS_TABSTOP},
  };
  SetWindowPos(form->Handle(), nullptr, 0, 0, 900, 800, SWP_NOMOVE | SWP_NOZORDER);
  for (const auto& e : expected) {
    SCOPED_TRACE(Name(Handle(e.control)));
    const RECT place = Place(e.control);
    EXPECT_EQ(place.left, e.place.left);
    EXPECT_EQ(place.top, e.place.top);
    EXPECT_EQ(place.right, e.place.right);
    EXPECT_EQ(place.bottom, e.place.bottom);
    char className[64] = {};
    GetClassNameA(Handle(e.control), className, sizeof className);
    EXPECT_STRCASEEQ(className, e.className);
    EXPECT_EQ(GetWindowLongA(Handle(e.control), GWL_STYLE) & e.style, e.style);
  }
  EXPECT_EQ(GetWindowLongA(Handle(Control::lst_vgds), GWL_STYLE) & (WS_HSCROLL | LBS_SORT), 0);
  EXPECT_EQ(GetWindowLongA(Handle(Control::txt_description), GWL_STYLE) & (WS_HSCROLL | ES_AUTOHSCROLL), 0);
  for (const Control button : {Control::cmd_heading_fs, Control::cmd_set_folder, Control::cmd_create}) {
    EXPECT_EQ(GetWindowLongA(Handle(button), GWL_STYLE) & BS_DEFPUSHBUTTON, 0) << "no default button";
  }
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

TEST_F(Win32WindowTest, TabVisitsControlsInTabIndexOrderSkippingDisabledFieldsAndThePictureTakesFocus) {
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
}

TEST_F(Win32WindowTest, EnterAndSpaceClickTheFocusedButtonAndEnterElsewhereClicksNothing) {
  AddTemplate("first", kAllParameters, "First");
  Start();
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
