#include "catalogue/selection.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/path.h"

namespace catalogue {
namespace {

// Records what the selection logic does to the window, in order.
class RecordingView : public SelectionView {
 public:
  int selected = -1;
  std::vector<std::string> calls;

  int SelectedListIndex() const override { return selected; }
  void ShowPicture(const std::string& path) override { calls.push_back("picture " + path); }
  void ShowDescription(const std::string& text) override { calls.push_back("description " + text); }
  void SetLabelEnabled(Parameter p, bool on) override { Record("label", p, on); }
  void SetFieldEnabled(Parameter p, bool on) override { Record("field", p, on); }

 private:
  void Record(const char* what, Parameter p, bool on) {
    calls.push_back(std::string(what) + std::to_string(static_cast<int>(p)) + (on ? " on" : " off"));
  }
};

TEST(Selection, ShowsTheSelectedEntryLabelBeforeFieldInParameterOrderAndEntryZeroForNoSelection) {
  TemplateCatalogue catalogue;
  TemplateEntry first;
  first.UsesHeading = first.UsesVisibilityDistance = true;
  first.PictureFile = "sub\\first.png";  // as written on Windows
  first.Description = "one\r\n";
  catalogue.Add(first);
  TemplateEntry second;
  second.UsesStopDistance = second.UsesLateralDistance = true;
  catalogue.Add(second);

  const struct {
    int selected;
    std::vector<std::string> calls;
  } cases[] = {
      {0,
       {"picture " +
            platform::JoinPath(platform::JoinPath(platform::JoinPath("/app", "vgds_source"), "sub"), "first.png"),
        "description one\r\n", "label1 on", "field1 on", "label2 off", "field2 off", "label3 on", "field3 on",
        "label4 off", "field4 off"}},
      // No picture file clears the box instead of pointing it at the folder.
      {1,
       {"picture ", "description ", "label1 off", "field1 off", "label2 on", "field2 on", "label3 off", "field3 off",
        "label4 on", "field4 on"}},
      {-1,
       {"picture ", "description ", "label1 off", "field1 off", "label2 off", "field2 off", "label3 off", "field3 off",
        "label4 off", "field4 off"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.selected);
    RecordingView view;
    view.selected = c.selected;
    ShowSelectedTemplate(view, catalogue, "/app");
    EXPECT_EQ(view.calls, c.calls);
  }
}

}  // namespace
}  // namespace catalogue
