// A view of the window that records what the logic tells it and answers its dialogs from a script,
// and the window started on a folder of the test's own.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <deque>
#include <filesystem>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "app/form1_logic.h"
#include "app/form1_view.h"
#include "build/build_sequence.h"
#include "build/parameter_fields.h"
#include "helpers/process_probe.h"
#include "support/templates.h"

namespace app {

namespace fs = std::filesystem;
using catalogue::Parameter;
using testing_support::ReadAll;

class RecordingView final : public Form1View {
 public:
  std::vector<std::string> list;
  int selected = -1;
  std::string picture, description, caption{build::kCreateCaption}, toolTip;
  build::ParameterFields fields, labels;
  std::vector<std::string> boxes;         // "title|text"
  std::vector<std::string> saveRequests;  // "title|filter|initial name"
  std::vector<std::string> folderTitles;
  std::deque<std::string> saveAnswers, folderAnswers;
  std::vector<std::string> paintedCaptions;  // the caption each time the window is kept painted
  std::function<void()> whilePainted;        // runs once, at the first repaint
  std::function<void()> close = [] {};
  int closes = 0;

  RecordingView() {
    for (const auto parameter : catalogue::kParameters) fields[parameter].text = catalogue::InitialText(parameter);
  }

  int SelectedListIndex() const override { return selected; }
  void ShowPicture(const std::string& path) override { picture = path; }
  void ShowDescription(const std::string& text) override { description = text; }
  void SetLabelEnabled(Parameter parameter, bool enabled) override { labels[parameter].enabled = enabled; }
  void SetFieldEnabled(Parameter parameter, bool enabled) override { fields[parameter].enabled = enabled; }
  void AddListItem(const std::string& name) override { list.push_back(name); }
  void SelectListItem(int index) override { selected = index; }
  build::ParameterField Field(Parameter parameter) const override { return fields[parameter]; }
  void SetFieldText(Parameter parameter, const std::string& text) override { fields[parameter].text = text; }
  void SetCreateCaption(const std::string& text) override { caption = text; }
  void SetFolderToolTip(const std::string& folder) override { toolTip = folder; }
  void KeepPainted() override {
    paintedCaptions.push_back(caption);
    if (whilePainted) std::exchange(whilePainted, {})();
  }
  void Close() override { ++closes, close(); }
  void ShowCritical(const std::string& title, const std::string& text) override { boxes.push_back(title + "|" + text); }
  std::string SaveFileName(const std::string& title, const std::string& filter, const std::string& initial) override {
    saveRequests.push_back(title + "|" + filter + "|" + initial);
    return Next(saveAnswers);
  }
  std::string ChooseFolder(const std::string& title) override {
    folderTitles.push_back(title);
    return Next(folderAnswers);
  }

 private:
  static std::string Next(std::deque<std::string>& answers) {
    if (answers.empty()) throw std::logic_error("a dialog the test did not expect");
    std::string answer = answers.front();
    answers.pop_front();
    return answer;
  }
};

class Form1LogicTest : public ::testing::Test {
 protected:
  // The window started on app: Load, then the start-up reports as the window shows them once open.
  Form1Logic& Start(std::function<std::string()> find = {}) {
    logic_.reset();
    view_ = RecordingView();
    if (!find) find = [this] { return app_.Str(); };
    logic_.emplace(view_, std::move(find), build::NumberLocale{});
    view_.close = [this] { closedBy_ = logic_->Unload(); };
    logic_->Load();
    return *logic_;
  }
  [[nodiscard]] std::string Settings() const { return ReadAll(app_.Path() / "parkmarq.ini"); }
  [[nodiscard]] fs::path Tools(const std::string& name) const { return app_.Path() / "tools" / name; }
  void UseBuiltApplicationFolder() { testing_support::CopyApplicationFolder(PARKMARQ_APP_DIR, app_.Path()); }
  void Select(const std::string& name) {
    for (view_.selected = 0; view_.list.at(static_cast<std::size_t>(view_.selected)) != name;) ++view_.selected;
    logic_->lst_vgds_Click();
  }

  test_helpers::Watchdog watchdog_{std::chrono::seconds(100)};
  testing_support::TempFolder app_;
  RecordingView view_;
  std::optional<Form1Logic> logic_;
  std::optional<bool> closedBy_;
};

}  // namespace app
