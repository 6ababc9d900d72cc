#include "build/output_name.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

namespace build {
namespace {

using catalogue::Parameter;

const NumberLocale kPoint{".", ","};
const NumberLocale kComma{",", "."};

struct Row {
  const char* name;
  const char* sourceFile;
  ParameterField heading;
  ParameterField stop;
  ParameterField lateral;
  const char* folder;
  const NumberLocale& locale;
  const char* expected;
};

ParameterFields FieldsOf(const Row& row) {
  ParameterFields fields;
  fields[Parameter::Heading] = row.heading;
  fields[Parameter::StopDistance] = row.stop;
  fields[Parameter::VisibilityDistance] = {"500", true};  // never part of the name
  fields[Parameter::LateralDistance] = row.lateral;
  return fields;
}

TEST(ProposeOutputName, NamesTheTemplateAndTheEnabledParameters) {
  const Row rows[] = {
      {"all enabled",
       "dock.asm",
       {"123.456", true},
       {"20", true},
       {"10", true},
       "",
       kPoint,
       "dock_h123.46_s20_l10.mdl"},
      {"only stop", "dock.asm", {"123.456", false}, {"20", true}, {"10", false}, "", kPoint, "dock_s20.mdl"},
      {"none", "dock.asm", {"1", false}, {"2", false}, {"3", false}, "", kPoint, "dock.mdl"},
      {"heading 90", "d.asm", {"90", true}, {"", false}, {"", false}, "", kPoint, "d_h90.mdl"},
      {"heading 0", "d.asm", {"0", true}, {"", false}, {"", false}, "", kPoint, "d_h0.mdl"},
      {"heading 0.125 halves to even", "d.asm", {"0.125", true}, {"", false}, {"", false}, "", kPoint, "d_h0.12.mdl"},
      {"heading 0.135", "d.asm", {"0.135", true}, {"", false}, {"", false}, "", kPoint, "d_h0.14.mdl"},
      {"heading 359.995", "d.asm", {"359.995", true}, {"", false}, {"", false}, "", kPoint, "d_h360.mdl"},
      {"heading in a comma locale", "d.asm", {"12,5", true}, {"", false}, {"", false}, "", kComma, "d_h12,5.mdl"},
      {"heading with a group separator", "d.asm", {"1,500", true}, {"", false}, {"", false}, "", kPoint, "d_h1500.mdl"},
      {"stop 20.5", "d.asm", {"", false}, {"20.5", true}, {"", false}, "", kPoint, "d_s20.mdl"},
      {"stop 21.5", "d.asm", {"", false}, {"21.5", true}, {"", false}, "", kPoint, "d_s22.mdl"},
      {"stop 0.4", "d.asm", {"", false}, {"0.4", true}, {"", false}, "", kPoint, "d_s0.mdl"},
      {"lateral -10", "d.asm", {"", false}, {"", false}, {"-10", true}, "", kPoint, "d_l-10.mdl"},
      {"lateral -0.4 is written 0", "d.asm", {"", false}, {"", false}, {"-0.4", true}, "", kPoint, "d_l0.mdl"},
      {"fixed order", "d.asm", {"5", true}, {"6", true}, {"-7", true}, "", kPoint, "d_h5_s6_l-7.mdl"},
      {"every .asm removed", "a.asm.asm", {"", false}, {"", false}, {"", false}, "", kPoint, "a.mdl"},
      {"upper case kept", "DOCK.ASM", {"", false}, {"", false}, {"", false}, "", kPoint, "DOCK.ASM.mdl"},
      {".asm inside the name", "my.asmdock.asm", {"", false}, {"", false}, {"", false}, "", kPoint, "mydock.mdl"},
      {"default folder",
       "dock.asm",
       {"", false},
       {"20", true},
       {"", false},
       "/home/a/Models/",
       kPoint,
       "/home/a/Models/dock_s20.mdl"},
      {"folder without separator used as it is",
       "dock.asm",
       {"", false},
       {"20", true},
       {"", false},
       "/m",
       kPoint,
       "/mdock_s20.mdl"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(ProposeOutputName(row.sourceFile, FieldsOf(row), row.folder, row.locale), row.expected);
  }
}

TEST(ProposeOutputName, NumbersThatDoNotFitStopTheBuild) {
  const Row rows[] = {
      {"stop 40000", "d.asm", {"", false}, {"40000", true}, {"", false}, "", kPoint, "stop distance"},
      {"stop 32767.5 rounds to 32768",
       "d.asm",
       {"", false},
       {"32767.5", true},
       {"", false},
       "",
       kPoint,
       "stop distance"},
      {"lateral -32769", "d.asm", {"", false}, {"", false}, {"-32769", true}, "", kPoint, "lateral distance"},
      {"heading beyond 32 bits in hundredths",
       "d.asm",
       {"3,000,000,000", true},
       {"", false},
       {"", false},
       "",
       kPoint,
       "heading"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    try {
      (void)ProposeOutputName(row.sourceFile, FieldsOf(row), row.folder, row.locale);
      ADD_FAILURE() << "no overflow reported";
    } catch (const std::overflow_error& failure) {
      EXPECT_NE(std::string(failure.what()).find(std::string("the ") + row.expected), std::string::npos)
          << failure.what();
    }
  }
  // The edges still fit.
  const Row edge{"edges", "d.asm", {"21474836.47", true}, {"-32768.5", true}, {"32767.4", true}, "", kPoint, ""};
  EXPECT_EQ(ProposeOutputName(edge.sourceFile, FieldsOf(edge), "", kPoint), "d_h21474836.47_s-32768_l32767.mdl");
}

}  // namespace
}  // namespace build
