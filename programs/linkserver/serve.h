#pragma once

#include <cstdint>
#include <cstdio>
#include <functional>
#include <optional>
#include <string>

#include "linkserver/link_server_options.h"

namespace linkserver {

// Plays the server under options until stopped; the exit status. Throws std::exception when it cannot
// start. One source per system: serve_posix.cpp, serve_windows.cpp.
int Serve(const Options& options);

// Puts the test namespace and time-out of the options in force, when they give any.
void UseTestSettings(const Options& options);

// The answer to one request, whatever the system: after the options' delay, the behaviour's answer,
// each told on standard output. addAtom makes a reply atom of a text (0 when it cannot); nullopt means
// the sender is to be left waiting.
[[nodiscard]] std::optional<std::int32_t> Answer(const Options& options, std::uint32_t request, std::int32_t argument,
                                                 const std::function<std::uint16_t(const std::string&)>& addAtom);

// Every line is flushed at once: tests and demo users watch the output while the server runs.
template <typename... Args>
inline void Say(const char* format, Args... args) {
  std::printf(format, args...);
  std::fflush(stdout);
}

}  // namespace linkserver
