#include "catalogue/template_catalogue.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "support/temp_folder.h"

namespace catalogue {
namespace {

using testing_support::TempFolder;

std::string Descriptor(const std::string& name, const char* flags = "True\r\nFalse\r\nTrue\r\nFalse\r\n") {
  return std::string(flags) + name + "\r\n" + name + ".png\r\n" + name + ".asm\r\nreserved\r\n";
}

TEST(TemplateCatalogue, FollowsTheFileSystemsOrderNotTheAlphabet) {
  TempFolder app;
  for (const char* name : {"zulu", "alpha", "mike", "bravo", "yankee", "charlie", "x-ray", "delta"}) {
    app.Write(std::string("vgds_source/") + name + ".vgp", Descriptor(name));
  }
  app.Write("vgds_source/notes.txt", "not a descriptor");
  app.Write("vgds_source/old.vgp.bak", Descriptor("old"));
  std::filesystem::create_directory(app.Path() / "vgds_source" / "folder.vgp");

  std::vector<std::string> listed;
  for (const auto& entry : std::filesystem::directory_iterator(app.Path() / "vgds_source")) {
    const auto name = entry.path().filename().string();
    if (entry.is_regular_file() && name.ends_with(".vgp")) listed.push_back(name.substr(0, name.size() - 4));
  }

  const auto load = LoadTemplateCatalogue(app.Str());
  EXPECT_TRUE(load.skipped.empty());
  EXPECT_EQ(load.catalogue.Count(), 8);
  EXPECT_EQ(load.catalogue.ListNames(), listed);
  for (int k = 0; k < 8; ++k) EXPECT_EQ(load.catalogue.EntryForListIndex(k).Name, listed[static_cast<std::size_t>(k)]);
}

TEST(TemplateCatalogue, EntryZeroIsEmptyForNoSelectionAndOutOfRangeIndices) {
  TempFolder app;
  app.Write("vgds_source/a.vgp", Descriptor("a", "1\r\n1\r\n1\r\n1\r\n"));
  const auto load = LoadTemplateCatalogue(app.Str());
  ASSERT_EQ(load.catalogue.Count(), 1);
  const TemplateEntry empty;
  EXPECT_EQ(load.catalogue.EntryForListIndex(-1), empty);
  EXPECT_EQ(load.catalogue.EntryForListIndex(1), empty);
  EXPECT_EQ(load.catalogue.EntryForListIndex(0).SourceFile, "a.asm");
  EXPECT_TRUE(load.catalogue.EntryForListIndex(0).UsesLateralDistance);
}

TEST(TemplateCatalogue, MissingFolderGivesAnEmptyCatalogue) {
  TempFolder app;
  const auto load = LoadTemplateCatalogue(app.Str());
  EXPECT_EQ(load.catalogue.Count(), 0);
  EXPECT_TRUE(load.skipped.empty());
  EXPECT_TRUE(load.catalogue.ListNames().empty());
}

TEST(TemplateCatalogue, SkipsBrokenDescriptorsAndThoseBeyondTheHundredthByName) {
  TempFolder app;
  for (int i = 0; i < kCatalogueCapacity + 3; ++i) {
    app.Write("vgds_source/t" + std::to_string(i) + ".vgp", Descriptor("t" + std::to_string(i)));
  }
  app.Write("vgds_source/short.vgp", "True\r\nTrue\r\n");
  app.Write("vgds_source/badflag.vgp", Descriptor("badflag", "True\r\nsometimes\r\nTrue\r\nTrue\r\n"));

  const auto load = LoadTemplateCatalogue(app.Str());
  EXPECT_EQ(load.catalogue.Count(), kCatalogueCapacity);
  EXPECT_EQ(load.skipped.size(), 5U);
  const auto skippedNamed = [&](const std::string& name) {
    return std::any_of(load.skipped.begin(), load.skipped.end(), [&](const auto& s) { return s.fileName == name; });
  };
  EXPECT_TRUE(skippedNamed("short.vgp"));
  EXPECT_TRUE(skippedNamed("badflag.vgp"));
  // The templates kept are fully read, whatever position the broken ones had.
  for (int i = 1; i <= load.catalogue.Count(); ++i) EXPECT_EQ(load.catalogue.Entry(i).ReservedLine, "reserved");
}

}  // namespace
}  // namespace catalogue
