// The stand-in scenery compiler: bglc_9.exe SOURCE OUTPUT.
#include <iostream>
#include <string>
#include <vector>

#include "bglc/compiler.h"
#include "platform/standard_streams.h"

int main(int argc, char** argv) {
  // The compile log holds these bytes: the same on every system.
  platform::WriteStandardStreamsAsBytes();
  const std::vector<std::string> arguments(argv + (argc > 0 ? 1 : 0), argv + argc);
  return bglc::RunCompiler(arguments, std::cout, std::cerr);
}
