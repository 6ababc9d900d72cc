#include "catalogue/descriptor.h"

#include <gtest/gtest.h>

#include <string>

namespace catalogue {
namespace {

TEST(DescriptorName, OnlyAnExactVgpEndingCounts) {
  for (const char* name : {"dock.vgp", "a.vgp", ".vgp"}) EXPECT_TRUE(IsDescriptorName(name)) << name;
  for (const char* name : {"dock.VGP", "dock.vgp.bak", "a.vgp.vgp", "a.vgp.txt", "dockvgp", "dock.vg", "x.vgpvgp"})
    EXPECT_FALSE(IsDescriptorName(name)) << name;
}

TEST(DescriptorFlags, TruthValuesOfWordsAndNumbers) {
  for (const char* text : {"True", "true", "TRUE", "-1", "2", "0.5", " True "}) EXPECT_EQ(ToTruthValue(text), true);
  for (const char* text : {"False", "false", "0", "-0", "0.0"}) EXPECT_EQ(ToTruthValue(text), false) << text;
  for (const char* text : {"", "yes", "1x", "nan", "inf", "+"}) EXPECT_EQ(ToTruthValue(text), std::nullopt) << text;
}

// Each descriptor as "flags|name|picture|source|reserved|description", or "refused".
std::string Read(const std::string& text) {
  const auto parsed = ParseDescriptor(text);
  if (const auto* problem = std::get_if<DescriptorProblem>(&parsed)) return problem->reason.empty() ? "?" : "refused";
  const auto& e = std::get<TemplateEntry>(parsed);
  std::string flags;
  for (const bool flag : {e.UsesHeading, e.UsesStopDistance, e.UsesVisibilityDistance, e.UsesLateralDistance})
    flags += flag ? "1" : "0";
  return flags + "|" + e.Name + "|" + e.PictureFile + "|" + e.SourceFile + "|" + e.ReservedLine + "|" + e.Description;
}

TEST(DescriptorContent, FieldsInFileOrderPicturesBelowTheFolderAndThePlainSourceName) {
  const std::string head = "1\r\n1\r\n1\r\n1\r\nName\r\n";
  const std::pair<std::string, const char*> rows[] = {
      // Lone LF and lone CR end lines too; every description line gets CR LF.
      {"True\r\nFalse\r\n-1\r\n0\r\nDock A\r\ndock.png\r\ndock.asm\r\nres\r\nx\ny\r",
       "1010|Dock A|dock.png|dock.asm|res|x\r\ny\r\n"},
      {"0\r\n0\r\n0\r\n0\r\nN\r\np\r\ns.asm\r\nr\r\n", "0000|N|p|s.asm|r|"},
      {"0\r\n0\r\n0\r\n0\r\nN\r\np\r\ns.asm\r\nr", "0000|N|p|s.asm|r|"},
      {"0\r\n0\r\n0\r\n0\r\nN\r\np\r\ns.asm\r\nr\r\n\r\n", "0000|N|p|s.asm|r|\r\n"},  // a blank description line
      {head + "pictures/dock.png\r\ndock.asm\r\nr\r\n", "1111|Name|pictures/dock.png|dock.asm|r|"},
      {head + "a/./b/dock.png\r\ndock.asm\r\nr\r\n", "1111|Name|a/./b/dock.png|dock.asm|r|"},
      {head + "..dock.png\r\ndock.asm\r\nr\r\n", "1111|Name|..dock.png|dock.asm|r|"},
      {head + "\r\ndock.asm\r\nr\r\n", "1111|Name||dock.asm|r|"},
      {"", "refused"},
      {"True\r\nTrue\r\nTrue\r\nTrue\r\nName\r\npic.png\r\ndock.asm\r\n", "refused"},  // seven lines
      {"True\r\nmaybe\r\nTrue\r\nTrue\r\nName\r\npic.png\r\ndock.asm\r\nr\r\n", "refused"},
      {head + "pic.png\r\n\r\nr\r\n", "refused"},  // no source at all
  };
  for (const auto& [text, read] : rows) EXPECT_EQ(Read(text), read) << text;
  // Nothing outside the template folder; the source stays a plain file name, all else is derived from it.
  for (const char* picture : {"../dock.png", "pictures/../../x.png", "pictures/..", "a\\..\\..\\x.png", "/etc/dock.png",
                              "\\server\\x.png", "."}) {
    EXPECT_EQ(Read(head + picture + "\r\ndock.asm\r\nr\r\n"), "refused") << picture;
  }
  for (const char* source : {"sources/dock.asm", "sources\\dock.asm", "/etc/dock.asm", ".."})
    EXPECT_EQ(Read(head + "pic.png\r\n" + source + "\r\nr\r\n"), "refused") << source;
  for (const auto& [text, reason] : {std::pair{"Name", "it has 1 line, at least 8 are needed"},
                                     std::pair{"1\r\n2", "it has 2 lines, at least 8 are needed"}}) {
    EXPECT_EQ(std::get<DescriptorProblem>(ParseDescriptor(text)).reason, reason);
  }
}

}  // namespace
}  // namespace catalogue
