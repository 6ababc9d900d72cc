#pragma once

#include <gtest/gtest.h>

#include <QImage>
#include <QListWidget>
#include <memory>
#include <string>

#include "app/form1.h"
#include "app/scripted_dialogs.h"
#include "support/templates.h"

// A temporary application folder with templates the test writes, and the window started on it.
class WindowTest : public ::testing::Test {
 protected:
  testing_support::TempFolder app;
  ScriptedDialogs dialogs;
  std::unique_ptr<Form1> form;

  void AddTemplate(const std::string& file, const char* flags, const std::string& name,
                   const std::string& picture = "none.png", const std::string& description = "") {
    testing_support::AddTemplate(app, file, flags, name, picture, description);
  }

  void AddPicture(const std::string& file, int width, int height) {
    app.Write("vgds_source/.keep", "");
    QImage image(width, height, QImage::Format_RGB888);
    image.fill(Qt::red);
    ASSERT_TRUE(image.save(QString::fromStdString((app.Path() / "vgds_source" / file).string())));
  }

  void Start() {
    form = std::make_unique<Form1>(app.Str(), dialogs, build::NumberLocale{});
    form->show();
  }
};
