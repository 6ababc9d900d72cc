#include "catalogue/selection.h"

#include <gtest/gtest.h>

#include <map>
#include <vector>

#include "support/temp_folder.h"

namespace catalogue {
namespace {

// Records what the selection logic does to the window, in order.
class RecordingView : public SelectionView {
 public:
  int selected = -1;
  std::string picture = "untouched";
  std::string description = "untouched";
  std::vector<std::string> calls;
  std::map<Parameter, bool> labels, fields;

  int SelectedListIndex() const override { return selected; }
  void ShowPicture(const std::string& path) override { picture = path; calls.push_back("picture"); }
  void ShowDescription(const std::string& text) override { description = text; calls.push_back("description"); }
  void SetLabelEnabled(Parameter p, bool on) override {
    labels[p] = on;
    calls.push_back("label" + std::to_string(static_cast<int>(p)));
  }
  void SetFieldEnabled(Parameter p, bool on) override {
    fields[p] = on;
    calls.push_back("field" + std::to_string(static_cast<int>(p)));
  }
};

TemplateCatalogue TwoTemplates() {
  TemplateCatalogue catalogue;
  TemplateEntry first;
  first.UsesHeading = true;
  first.UsesVisibilityDistance = true;
  first.PictureFile = "first.png";
  first.Description = "one\r\n";
  catalogue.Add(first);
  TemplateEntry second;
  second.UsesStopDistance = true;
  second.UsesLateralDistance = true;
  second.PictureFile = "second.png";
  catalogue.Add(second);
  return catalogue;
}

TEST(Selection, ShowsPictureDescriptionThenEnablesLabelBeforeFieldInParameterOrder) {
  RecordingView view;
  view.selected = 0;
  ShowSelectedTemplate(view, TwoTemplates(), "/app");
  EXPECT_EQ(view.picture, "/app/vgds_source/first.png");
  EXPECT_EQ(view.description, "one\r\n");
  const std::vector<std::string> order = {"picture", "description", "label1", "field1", "label2", "field2",
                                          "label3",  "field3",      "label4", "field4"};
  EXPECT_EQ(view.calls, order);
  const std::map<Parameter, bool> expected = {{Parameter::Heading, true},
                                              {Parameter::StopDistance, false},
                                              {Parameter::VisibilityDistance, true},
                                              {Parameter::LateralDistance, false}};
  EXPECT_EQ(view.labels, expected);
  EXPECT_EQ(view.fields, expected);
}

TEST(Selection, EveryRunOverwritesAndNoSelectionShowsTheEmptyEntry) {
  RecordingView view;
  const auto catalogue = TwoTemplates();
  view.selected = 1;
  ShowSelectedTemplate(view, catalogue, "/app");
  EXPECT_EQ(view.picture, "/app/vgds_source/second.png");
  EXPECT_EQ(view.description, "");
  EXPECT_TRUE(view.fields[Parameter::StopDistance]);

  view.selected = -1;
  ShowSelectedTemplate(view, catalogue, "/app");
  EXPECT_EQ(view.picture, "");  // no picture file: the box is cleared, not pointed at the folder
  for (const Parameter p : kParameters) {
    EXPECT_FALSE(view.labels[p]);
    EXPECT_FALSE(view.fields[p]);
  }
}

}  // namespace
}  // namespace catalogue
