#include "catalogue/descriptor.h"

#include <gtest/gtest.h>

namespace catalogue {
namespace {

TEST(DescriptorName, OnlyAnExactVgpEndingCounts) {
  const struct {
    const char* name;
    bool isDescriptor;
  } cases[] = {{"dock.vgp", true},      {"a.vgp", true},      {".vgp", true},       {"dock.VGP", false},
               {"dock.vgp.bak", false}, {"a.vgp.vgp", false}, {"a.vgp.txt", false}, {"dockvgp", false},
               {"dock.vg", false},      {"x.vgpvgp", false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(IsDescriptorName(c.name), c.isDescriptor);
  }
}

TEST(DescriptorFlags, TruthValuesOfWordsAndNumbers) {
  const struct {
    const char* text;
    std::optional<bool> value;
  } cases[] = {{"True", true},        {"true", true},        {"TRUE", true},       {"-1", true},
               {"2", true},           {"0.5", true},         {" True ", true},     {"False", false},
               {"false", false},      {"0", false},          {"-0", false},        {"0.0", false},
               {"", std::nullopt},    {"yes", std::nullopt}, {"1x", std::nullopt}, {"nan", std::nullopt},
               {"inf", std::nullopt}, {"+", std::nullopt}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(ToTruthValue(c.text), c.value);
  }
}

TEST(DescriptorContent, FieldsInFileOrderAndDescriptionRebuiltWithCrLf) {
  const auto parsed = ParseDescriptor("True\r\nFalse\r\n-1\r\n0\r\nDock A\r\ndock.png\r\ndock.asm\r\nres\r\nx\ny\r");
  ASSERT_TRUE(std::holds_alternative<TemplateEntry>(parsed));
  const auto& entry = std::get<TemplateEntry>(parsed);
  EXPECT_TRUE(entry.UsesHeading);
  EXPECT_FALSE(entry.UsesStopDistance);
  EXPECT_TRUE(entry.UsesVisibilityDistance);
  EXPECT_FALSE(entry.UsesLateralDistance);
  EXPECT_EQ(entry.Name, "Dock A");
  EXPECT_EQ(entry.PictureFile, "dock.png");
  EXPECT_EQ(entry.SourceFile, "dock.asm");
  EXPECT_EQ(entry.ReservedLine, "res");
  // Lone LF and lone CR end lines too; every description line gets CR LF.
  EXPECT_EQ(entry.Description, "x\r\ny\r\n");
}

TEST(DescriptorContent, EightLinesGiveAnEmptyDescriptionWithOrWithoutFinalLineEnd) {
  for (const char* text :
       {"0\r\n0\r\n0\r\n0\r\nN\r\np\r\ns.asm\r\nr\r\n", "0\r\n0\r\n0\r\n0\r\nN\r\np\r\ns.asm\r\nr"}) {
    const auto parsed = ParseDescriptor(text);
    ASSERT_TRUE(std::holds_alternative<TemplateEntry>(parsed));
    EXPECT_EQ(std::get<TemplateEntry>(parsed).Description, "");
    EXPECT_EQ(std::get<TemplateEntry>(parsed).ReservedLine, "r");
  }
  // A blank line after the eighth is a description line of its own.
  const auto withBlank = ParseDescriptor("0\r\n0\r\n0\r\n0\r\nN\r\np\r\ns.asm\r\nr\r\n\r\n");
  ASSERT_TRUE(std::holds_alternative<TemplateEntry>(withBlank));
  EXPECT_EQ(std::get<TemplateEntry>(withBlank).Description, "\r\n");
}

TEST(DescriptorContent, PicturesMayLieInSubFoldersButNeverOutsideTheTemplateFolder) {
  const struct {
    const char* picture;
    bool accepted;
  } cases[] = {{"dock.png", true},
               {"pictures/dock.png", true},
               {"a/./b/dock.png", true},
               {"..dock.png", true},
               {"", true},
               {"../dock.png", false},
               {"pictures/../../x.png", false},
               {"pictures/..", false},
               {"a\\..\\..\\x.png", false},
               {"/etc/dock.png", false},
               {"\\server\\x.png", false},
               {".", false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.picture);
    const auto parsed =
        ParseDescriptor(std::string("1\r\n1\r\n1\r\n1\r\nName\r\n") + c.picture + "\r\ndock.asm\r\nr\r\n");
    EXPECT_EQ(std::holds_alternative<TemplateEntry>(parsed), c.accepted);
  }
  // The source stays a plain file name: everything else is derived from it inside tools.
  for (const char* source : {"sources/dock.asm", "sources\\dock.asm"}) {
    EXPECT_TRUE(std::holds_alternative<DescriptorProblem>(
        ParseDescriptor(std::string("1\r\n1\r\n1\r\n1\r\nName\r\npic.png\r\n") + source + "\r\nr\r\n")))
        << source;
  }
}

TEST(DescriptorContent, RefusesShortFilesBadFlagsAndNamesOutsideTheFolder) {
  const char* refused[] = {
      "",
      "True\r\nTrue\r\nTrue\r\nTrue\r\nName\r\npic.png\r\ndock.asm\r\n",  // seven lines
      "True\r\nmaybe\r\nTrue\r\nTrue\r\nName\r\npic.png\r\ndock.asm\r\nr\r\n",
      "1\r\n1\r\n1\r\n1\r\nName\r\n../pic.png\r\ndock.asm\r\nr\r\n",
      "1\r\n1\r\n1\r\n1\r\nName\r\npic.png\r\n/etc/dock.asm\r\nr\r\n",
      "1\r\n1\r\n1\r\n1\r\nName\r\npic.png\r\n..\r\nr\r\n",
      "1\r\n1\r\n1\r\n1\r\nName\r\n.\r\ndock.asm\r\nr\r\n",
      "1\r\n1\r\n1\r\n1\r\nName\r\npic.png\r\n\r\nr\r\n",  // no source at all
  };
  for (const char* text : refused) {
    SCOPED_TRACE(text);
    const auto parsed = ParseDescriptor(text);
    ASSERT_TRUE(std::holds_alternative<DescriptorProblem>(parsed));
    EXPECT_FALSE(std::get<DescriptorProblem>(parsed).reason.empty());
  }
  for (const auto& [text, reason] : {std::pair{"Name", "it has 1 line, at least 8 are needed"},
                                     std::pair{"1\r\n2", "it has 2 lines, at least 8 are needed"}}) {
    EXPECT_EQ(std::get<DescriptorProblem>(ParseDescriptor(text)).reason, reason);
  }
}

}  // namespace
}  // namespace catalogue
