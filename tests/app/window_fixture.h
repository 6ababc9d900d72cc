#pragma once

#include <gtest/gtest.h>

#include <QImage>
#include <QListWidget>
#include <memory>
#include <string>

#include "app/form1.h"
#include "app/scripted_dialogs.h"
#include "support/temp_folder.h"

// A temporary application folder with templates the test writes, and the window started on it.
class WindowTest : public ::testing::Test {
 protected:
  testing_support::TempFolder app;
  ScriptedDialogs dialogs;
  std::unique_ptr<Form1> form;

  void AddTemplate(const std::string& file, const std::string& flags, const std::string& name,
                   const std::string& picture, const std::string& description = "") {
    app.Write("vgds_source/" + file + ".vgp",
              flags + name + "\r\n" + picture + "\r\n" + file + ".asm\r\nreserved\r\n" + description);
  }

  void AddPicture(const std::string& file, int width, int height) {
    app.Write("vgds_source/.keep", "");
    QImage image(width, height, QImage::Format_RGB888);
    image.fill(Qt::red);
    ASSERT_TRUE(image.save(QString::fromStdString((app.Path() / "vgds_source" / file).string())));
  }

  void Start(build::NumberLocale locale = {}) {
    form = std::make_unique<Form1>(app.Str(), dialogs, std::move(locale));
    form->show();
  }

  void SelectRow(int row) { form->lst_vgds->setCurrentRow(row); }
};
