#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <string_view>

#include "build/build_sequence.h"
#include "catalogue/parameter.h"

// The window's controls as both windows build them: kind, name, caption, place in twips and tab index.
namespace app {

inline constexpr std::string_view kForm1Caption = "Parkmarq";
inline constexpr int kTwipsPerInch = 1440;
// The layout was drawn in twips for 96 dots per inch: 15 twips make a pixel there.
inline constexpr int kLayoutDpi = 96;
inline constexpr int kClientWidthTwips = 6570;
inline constexpr int kClientHeightTwips = 6075;
// The fixed sizes were drawn for an 8-point interface font.
inline constexpr int kLayoutPointSize = 8;

enum class ControlKind { List, Description, PictureBox, Frame, Label, Field, Button };

// In the order of kForm1Controls.
enum class Control {
  lst_vgds,
  txt_description,
  img_vgds,
  frm_parameters,
  lbl_heading,
  cmd_heading_fs,
  txt_heading,
  lbl_stopdistance,
  txt_stopdistance,
  lbl_visibilitydistance,
  txt_visibilitydistance,
  lbl_lateraldistance,
  txt_lateraldistance,
  cmd_set_folder,
  cmd_create,
};

struct TwipsRect {
  int left;
  int top;
  int width;
  int height;
};

struct ControlLayout {
  Control control;
  ControlKind kind;
  std::string_view name;
  std::string_view caption;  // a field's initial text
  TwipsRect place;           // inside frm_parameters when inFrame, else inside the client area
  int tabIndex;
  bool inFrame;
};

inline constexpr std::array<ControlLayout, 15> kForm1Controls = {{
    {Control::lst_vgds, ControlKind::List, "lst_vgds", "", {120, 120, 3255, 2985}, 2, false},
    {Control::txt_description, ControlKind::Description, "txt_description", "", {120, 3240, 3255, 2775}, 1, false},
    {Control::img_vgds, ControlKind::PictureBox, "img_vgds", "", {3480, 120, 2985, 2985}, 0, false},
    {Control::frm_parameters, ControlKind::Frame, "frm_parameters", "Parameters", {3480, 3120, 3015, 1935}, 3, false},
    {Control::lbl_heading, ControlKind::Label, "lbl_heading", "Heading (deg):", {120, 360, 1455, 255}, 5, true},
    {Control::cmd_heading_fs, ControlKind::Button, "cmd_heading_fs", "FS", {1560, 360, 375, 240}, 10, true},
    {Control::txt_heading,
     ControlKind::Field,
     "txt_heading",
     catalogue::InitialText(catalogue::Parameter::Heading),
     {2040, 360, 855, 285},
     4,
     true},
    {Control::lbl_stopdistance,
     ControlKind::Label,
     "lbl_stopdistance",
     "Stop distance (m):",
     {120, 720, 1455, 255},
     7,
     true},
    {Control::txt_stopdistance,
     ControlKind::Field,
     "txt_stopdistance",
     catalogue::InitialText(catalogue::Parameter::StopDistance),
     {2040, 720, 855, 285},
     6,
     true},
    {Control::lbl_visibilitydistance,
     ControlKind::Label,
     "lbl_visibilitydistance",
     "Visibility distance (m):",
     {120, 1080, 1815, 255},
     12,
     true},
    {Control::txt_visibilitydistance,
     ControlKind::Field,
     "txt_visibilitydistance",
     catalogue::InitialText(catalogue::Parameter::VisibilityDistance),
     {2040, 1080, 855, 285},
     11,
     true},
    {Control::lbl_lateraldistance,
     ControlKind::Label,
     "lbl_lateraldistance",
     "Lateral distance (m):",
     {120, 1440, 1815, 255},
     14,
     true},
    {Control::txt_lateraldistance,
     ControlKind::Field,
     "txt_lateraldistance",
     catalogue::InitialText(catalogue::Parameter::LateralDistance),
     {2040, 1440, 855, 285},
     13,
     true},
    {Control::cmd_set_folder,
     ControlKind::Button,
     "cmd_set_folder",
     "Set default output folder",
     {3480, 5160, 3015, 375},
     9,
     false},
    {Control::cmd_create, ControlKind::Button, "cmd_create", build::kCreateCaption, {3480, 5640, 3015, 375}, 8, false},
}};

static_assert(std::ranges::all_of(kForm1Controls,
                                  [](const ControlLayout& c) {
                                    return &c == &kForm1Controls[static_cast<std::size_t>(c.control)];
                                  }),
              "kForm1Controls is in the order of Control");

[[nodiscard]] constexpr const ControlLayout& LayoutOf(Control control) {
  return kForm1Controls[static_cast<std::size_t>(control)];
}

// Labels and the frame take no focus themselves.
[[nodiscard]] constexpr bool TakesFocus(ControlKind kind) {
  return kind != ControlKind::Label && kind != ControlKind::Frame;
}

inline constexpr std::size_t kFocusableControls = static_cast<std::size_t>(
    std::count_if(kForm1Controls.begin(), kForm1Controls.end(), [](const auto& c) { return TakesFocus(c.kind); }));

// The controls that take focus, in tab index order.
[[nodiscard]] constexpr std::array<Control, kFocusableControls> FocusOrder() {
  std::array<ControlLayout, kForm1Controls.size()> sorted = kForm1Controls;
  std::sort(sorted.begin(), sorted.end(), [](const auto& a, const auto& b) { return a.tabIndex < b.tabIndex; });
  std::array<Control, kFocusableControls> order{};
  std::size_t next = 0;
  for (const auto& c : sorted) {
    if (TakesFocus(c.kind)) order[next++] = c.control;
  }
  return order;
}

// The place inside the client area, for a toolkit whose frame does not hold its controls.
[[nodiscard]] constexpr TwipsRect ClientPlace(const ControlLayout& layout) {
  if (!layout.inFrame) return layout.place;
  const TwipsRect frame = LayoutOf(Control::frm_parameters).place;
  return {frame.left + layout.place.left, frame.top + layout.place.top, layout.place.width, layout.place.height};
}

[[nodiscard]] constexpr Control FieldOf(catalogue::Parameter parameter) {
  switch (parameter) {
    case catalogue::Parameter::Heading: return Control::txt_heading;
    case catalogue::Parameter::StopDistance: return Control::txt_stopdistance;
    case catalogue::Parameter::VisibilityDistance: return Control::txt_visibilitydistance;
    case catalogue::Parameter::LateralDistance: return Control::txt_lateraldistance;
  }
  return Control::txt_heading;
}

[[nodiscard]] constexpr Control LabelOf(catalogue::Parameter parameter) {
  switch (parameter) {
    case catalogue::Parameter::Heading: return Control::lbl_heading;
    case catalogue::Parameter::StopDistance: return Control::lbl_stopdistance;
    case catalogue::Parameter::VisibilityDistance: return Control::lbl_visibilitydistance;
    case catalogue::Parameter::LateralDistance: return Control::lbl_lateraldistance;
  }
  return Control::lbl_heading;
}

}  // namespace app
