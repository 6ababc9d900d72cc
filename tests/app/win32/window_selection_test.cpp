#include <cstdint>

#include "app/win32/window_fixture.h"

namespace {

constexpr const char* kAll = "True\r\nTrue\r\nTrue\r\nTrue\r\n";
constexpr const char* kHeadingAndVisibility = "True\r\nFalse\r\nTrue\r\nFalse\r\n";
constexpr const char* kNone = "False\r\nFalse\r\nFalse\r\nFalse\r\n";

// An uncompressed 24-bit BMP of one colour.
std::string Bmp(int width, int height) {
  const int row = (width * 3 + 3) / 4 * 4;
  const std::uint32_t size = 54 + static_cast<std::uint32_t>(row * height);
  std::string bmp(size, '\0');
  const auto put = [&](std::size_t at, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) bmp[at + static_cast<std::size_t>(i)] = static_cast<char>(value >> (8 * i));
  };
  bmp[0] = 'B';
  bmp[1] = 'M';
  put(2, size, 4);
  put(10, 54, 4);
  put(14, 40, 4);
  put(18, static_cast<std::uint32_t>(width), 4);
  put(22, static_cast<std::uint32_t>(height), 4);
  put(26, 1, 2);
  put(28, 24, 2);
  for (std::size_t at = 54; at < size; at += 3) bmp[at + 2] = static_cast<char>(0xFF);
  return bmp;
}

TEST_F(Win32WindowTest, StartsWithTheFirstTemplateShownAndTheInitialTexts) {
  AddTemplate("first", kHeadingAndVisibility, "First dock", "first.bmp", "line one\r\nline two\r\n");
  app.Write("vgds_source/first.bmp", Bmp(50, 40));
  Start();

  EXPECT_EQ(SendMessageA(Handle(Control::lst_vgds), LB_GETCOUNT, 0, 0), 1);
  EXPECT_EQ(SelectedRow(), 0);
  EXPECT_EQ(Text(Control::txt_description), "line one\r\nline two\r\n");
  EXPECT_EQ(form->img_vgds.PictureSize().cx, 50);
  EXPECT_EQ(form->img_vgds.PictureSize().cy, 40);
  EXPECT_NE(GetClassLongPtrA(form->Handle(), GCLP_HICON), 0U) << "the icon from the resource";

  const struct {
    Control control;
    const char* text;
    bool enabled;
  } expected[] = {
      {Control::txt_heading, "0", true},
      {Control::lbl_heading, "Heading (deg):", true},
      {Control::txt_stopdistance, "20", false},
      {Control::lbl_stopdistance, "Stop distance (m):", false},
      {Control::txt_visibilitydistance, "500", true},
      {Control::txt_lateraldistance, "10", false},
      {Control::lbl_lateraldistance, "Lateral distance (m):", false},
      {Control::cmd_heading_fs, "FS", true},
      {Control::frm_parameters, "Parameters", true},
      {Control::cmd_set_folder, "Set default output folder", true},
      {Control::cmd_create, "Create new MDL", true},
  };
  for (const auto& e : expected) {
    SCOPED_TRACE(e.text);
    EXPECT_EQ(Text(e.control), e.text);
    EXPECT_EQ(Enabled(e.control), e.enabled);
  }
  EXPECT_TRUE(dialogs.boxes.empty());
}

TEST_F(Win32WindowTest, SelectionSwitchesPictureAndStatesButKeepsTypedValues) {
  AddTemplate("big", kAll, "Big", "big.bmp", "big one\r\n");
  AddTemplate("none", kNone, "Nothing", "missing.png");
  app.Write("vgds_source/big.bmp", Bmp(400, 300));
  Start();

  Select("Big");
  EXPECT_EQ(form->img_vgds.PictureSize().cx, 400);  // unscaled; the box clips it
  EXPECT_EQ(Place(Control::img_vgds).right - Place(Control::img_vgds).left, 199);
  SetText(Control::txt_stopdistance, "33.5");

  const struct {
    const char* name;
    bool stopEnabled;
    const char* description;
    LONG pictureWidth;
  } steps[] = {
      {"Nothing", false, "", 0},  // a picture that cannot be loaded shows none
      {"Big", true, "big one\r\n", 400},
  };
  for (const auto& step : steps) {
    SCOPED_TRACE(step.name);
    Select(step.name);
    EXPECT_EQ(Enabled(Control::txt_stopdistance), step.stopEnabled);
    EXPECT_EQ(Enabled(Control::lbl_stopdistance), step.stopEnabled);
    EXPECT_EQ(Enabled(Control::txt_heading), step.stopEnabled);
    EXPECT_TRUE(Enabled(Control::cmd_heading_fs));  // never disabled, even without the heading
    EXPECT_EQ(Text(Control::txt_description), step.description);
    EXPECT_EQ(form->img_vgds.PictureSize().cx, step.pictureWidth);
    EXPECT_EQ(Text(Control::txt_stopdistance), "33.5");
  }
  EXPECT_TRUE(dialogs.boxes.empty());
}

}  // namespace
