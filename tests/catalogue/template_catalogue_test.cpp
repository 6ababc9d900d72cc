#include "catalogue/template_catalogue.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "catalogue/skipped_templates_report.h"
#include "platform/text_file.h"
#include "support/templates.h"

namespace catalogue {
namespace {

using testing_support::TempFolder;

std::string Descriptor(const std::string& name, const char* flags = testing_support::kHeadingAndVisibility) {
  return std::string(flags) + name + "\r\n" + name + ".png\r\n" + name + ".asm\r\nreserved\r\n";
}

// Without a template folder, no templates; the list index -1 (no selection) or past the end gives an
// empty entry.
TEST(TemplateCatalogue, FollowsTheFileSystemsOrderNotTheAlphabetAndGivesAnEmptyEntryOutsideTheList) {
  TempFolder app;
  EXPECT_EQ(LoadTemplateCatalogue(app.Str()).catalogue.Count(), 0);
  for (const char* name : {"zulu", "alpha", "mike", "bravo", "yankee", "charlie", "x-ray", "delta"}) {
    app.Write(std::string("vgds_source/") + name + ".vgp", Descriptor(name));
  }
  app.Write("vgds_source/notes.txt", "not a descriptor");
  std::filesystem::create_directory(app.Path() / "vgds_source" / "folder.vgp");
  std::vector<std::string> listed;
  for (const auto& entry : std::filesystem::directory_iterator(app.Path() / "vgds_source")) {
    const auto name = entry.path().filename().string();
    if (entry.is_regular_file() && name.ends_with(".vgp")) listed.push_back(name.substr(0, name.size() - 4));
  }
  const auto load = LoadTemplateCatalogue(app.Str());
  EXPECT_TRUE(load.skipped.empty());
  EXPECT_EQ(load.catalogue.ListNames(), listed);
  for (int k = 0; k < 8; ++k) EXPECT_EQ(load.catalogue.EntryForListIndex(k).Name, listed[static_cast<std::size_t>(k)]);
  EXPECT_EQ(load.catalogue.EntryForListIndex(-1), TemplateEntry());
  EXPECT_EQ(load.catalogue.EntryForListIndex(8), TemplateEntry());
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
  std::set<std::string> skipped;
  for (const auto& descriptor : load.skipped) skipped.insert(descriptor.fileName);
  EXPECT_EQ(skipped.size(), 5U);
  EXPECT_TRUE(skipped.contains("short.vgp") && skipped.contains("badflag.vgp"));
  // The templates kept are fully read, whatever position the broken ones had.
  for (int i = 1; i <= load.catalogue.Count(); ++i) EXPECT_EQ(load.catalogue.Entry(i).ReservedLine, "reserved");
}

TEST(TemplateCatalogue, ADescriptorLargerThanOneMebibyteIsSkippedUnread) {
  TempFolder app;
  const std::string head = Descriptor("limit");
  const std::string filled = head + std::string(kDescriptorSizeLimit - head.size(), '\n');
  app.Write("vgds_source/limit.vgp", filled);
  app.Write("vgds_source/over.vgp", filled + "\n");
  const auto load = LoadTemplateCatalogue(app.Str());
  ASSERT_EQ(load.catalogue.Count(), 1);
  EXPECT_EQ(load.catalogue.Entry(1).Description.size(), 2 * (kDescriptorSizeLimit - head.size()));
  ASSERT_EQ(load.skipped.size(), 1U);
  EXPECT_EQ(load.skipped[0].fileName, "over.vgp");
  EXPECT_EQ(load.skipped[0].reason, "it is larger than 1 MiB");
}

TEST(SkippedTemplatesReport, NamesTheFirstTwentyOnShortLinesThenCountsTheRest) {
  const std::string header = "These template files in the vgds_source folder were not read:\n";
  const std::string e = "\xC3\xA9";  // a two-byte character, never cut in two
  const std::tuple<const char*, std::vector<SkippedDescriptor>, std::string> rows[] = {
      {"none", {}, ""},
      {"two",
       {{"a.vgp", "it has 1 line, at least 8 are needed"}, {"b.vgp", "No such file"}},
       header + "\na.vgp: it has 1 line, at least 8 are needed\nb.vgp: No such file"},
      {"over-long names keep their start and end, a line break in the name",
       {{"broken_descriptor_with_a_rather_long_file_name_number_17.vgp", std::string(70, 'r')},
        {"broken_descriptor_with_a_rather_long_file_name_number_18.vgp", "r"},
        {"x\n" + std::string(60, 'n') + "\n.vgp", "r"}},
       header + "\nbroken_descript...r_long_file_name_number_17.vgp: " + std::string(61, 'r') + "..." +
           "\nbroken_descript...r_long_file_name_number_18.vgp: r\nx?" + std::string(13, 'n') + "..." +
           std::string(25, 'n') + "?.vgp: r"},
      {"a character at either cut",
       {{std::string(14, 'n') + e + std::string(30, 'm') + e + std::string(25, 't') + ".vgp", "r"}},
       header + "\n" + std::string(14, 'n') + "..." + std::string(25, 't') + ".vgp: r"},
  };
  for (const auto& [what, skipped, expected] : rows) EXPECT_EQ(SkippedTemplatesReport(skipped), expected) << what;

  std::vector<SkippedDescriptor> many;
  for (int i = 0; i < 3000; ++i) many.push_back({std::to_string(i) + std::string(300, 'n'), std::string(300, 'r')});
  const auto report = SkippedTemplatesReport(many);
  const auto lines = platform::SplitLines(report);
  ASSERT_EQ(lines.size(), 24U);  // the header, a blank, twenty named, a blank, how many more
  EXPECT_EQ(lines[2].substr(0, 5), "0nnnn");
  EXPECT_EQ(lines[21].substr(0, 5), "19nnn");
  EXPECT_EQ(lines[23], "... and 2980 more.");
  for (const auto& line : lines) EXPECT_LE(line.size(), kReportedNameLength + 2 + kReportedReasonLength);
}

}  // namespace
}  // namespace catalogue
