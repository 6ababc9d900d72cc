#pragma once

#include <string>
#include <vector>

#include "support/templates.h"

// Where Tab takes the focus from txt_heading, once round, in either window: with the template "All"
// selected (every field enabled) and with "Some" (heading and visibility distance only).
struct TabOrderCase {
  const char* templateName;
  std::vector<std::string> order;
};

inline void AddTabOrderTemplates(const testing_support::TempFolder& app) {
  testing_support::AddTemplate(app, "a_all", testing_support::kAllParameters, "All");
  testing_support::AddTemplate(app, "b_some", testing_support::kHeadingAndVisibility, "Some");
}

inline const TabOrderCase kTabOrderCases[] = {
    {"All",
     {"txt_stopdistance", "cmd_create", "cmd_set_folder", "cmd_heading_fs", "txt_visibilitydistance",
      "txt_lateraldistance", "img_vgds", "txt_description", "lst_vgds", "txt_heading"}},
    {"Some",
     {"cmd_create", "cmd_set_folder", "cmd_heading_fs", "txt_visibilitydistance", "img_vgds", "txt_description",
      "lst_vgds", "txt_heading"}},
};
