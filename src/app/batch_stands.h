#pragma once

#include <optional>
#include <ostream>
#include <string>

namespace app {

// parkmarq-batch --stands: a stand table, ready for the batch program, of an airport's stands.
struct StandsRequest {
  std::string file;
  std::string airport;       // empty: the file's first or only airport
  bool gatesOnly = true;     // --kind gate; false for --kind all
  std::string templateName;  // empty: the first template in list order that takes the heading
  std::optional<std::string> stop, visibility, lateral;  // unset: the window's initial texts
};

// Writes the table to out only once the whole of it is known, and messages to messages. Returns the
// exit status: 0 with a table, 2 when there is none (the reason then is on messages).
int WriteStandTable(const StandsRequest& request, const std::string& appFolder, std::ostream& out,
                    std::ostream& messages);

}  // namespace app
