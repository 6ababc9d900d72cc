// The project's own stand-in for the simulator's link server, for tests and demonstrations.
#include <cstdio>
#include <exception>
#include <stdexcept>
#include <string_view>
#include <vector>

#include "linkserver/link_server_options.h"
#include "linkserver/serve.h"

int main(int argc, char** argv) {
  const std::vector<std::string_view> arguments(argv + 1, argv + argc);
  linkserver::Options options;
  try {
    options = linkserver::ParseOptions(arguments);
  } catch (const std::invalid_argument& error) {
    std::fprintf(stderr, "parkmarq-linkserver: %s\n", error.what());
    return 2;
  }
  if (options.help) {
    std::fputs(linkserver::UsageText().c_str(), stdout);
    return 0;
  }
  try {
    return linkserver::Serve(options);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "parkmarq-linkserver: %s\n", error.what());
    return 1;
  }
}
