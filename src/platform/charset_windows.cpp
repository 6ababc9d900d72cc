#include <climits>
#include <stdexcept>
#include <string>

#include "platform/charset.h"
#include "platform/win32_api.h"

namespace platform {

std::string ToSystemCharset(std::string_view text) {
  if (text.empty()) return {};
  if (text.size() > static_cast<std::size_t>(INT_MAX)) throw std::length_error("text too long for the code page");
  const int length = static_cast<int>(text.size());
  const int wideLength = ::MultiByteToWideChar(CP_ACP, 0, text.data(), length, nullptr, 0);
  if (wideLength <= 0) throw win32::LastError("cannot read the text in the system's code page");
  std::wstring wide(static_cast<std::size_t>(wideLength), L'\0');
  ::MultiByteToWideChar(CP_ACP, 0, text.data(), length, wide.data(), wideLength);

  // A code page of UTF-8 takes no substitute: it can encode everything decoded.
  const char substituteText[] = {kSubstituteCharacter, '\0'};
  const char* substitute = ::GetACP() == CP_UTF8 ? nullptr : substituteText;
  const int narrowLength = ::WideCharToMultiByte(CP_ACP, 0, wide.data(), wideLength, nullptr, 0, substitute, nullptr);
  if (narrowLength <= 0) throw win32::LastError("cannot write the text in the system's code page");
  std::string result(static_cast<std::size_t>(narrowLength), '\0');
  ::WideCharToMultiByte(CP_ACP, 0, wide.data(), wideLength, result.data(), narrowLength, substitute, nullptr);
  return result;
}

}  // namespace platform
