#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "catalogue/template_catalogue.h"

namespace catalogue {

// How many skipped descriptors the report names, and how long a name or reason may grow in it, so
// that the report fits a 1024 x 768 screen whatever the template folder holds.
inline constexpr std::size_t kReportedSkippedDescriptors = 20;
inline constexpr std::size_t kReportedNameLength = 48;
inline constexpr std::size_t kReportedReasonLength = 64;

// The start-up report of descriptors that were not read, as every front end shows it: one line
// each for the first ones, "name: reason", then how many more there are. An over-long name keeps its
// start and its end around "..." (broken_descript...r_long_file_name_number_17.vgp); an over-long reason
// keeps its start, ending in "...". Empty when nothing was skipped.
[[nodiscard]] std::string SkippedTemplatesReport(const std::vector<SkippedDescriptor>& skipped);

}  // namespace catalogue
