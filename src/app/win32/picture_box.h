#pragma once

#include <string>

#include "app/win32/controls.h"
#include "platform/win32_api.h"

namespace win32 {

// Starts GDI+, which reads the pictures, for as long as it lives.
class GdiPlusSession {
 public:
  GdiPlusSession();
  ~GdiPlusSession();
  GdiPlusSession(const GdiPlusSession&) = delete;
  GdiPlusSession& operator=(const GdiPlusSession&) = delete;

 private:
  ULONG_PTR token_ = 0;
};

// A bordered box that takes focus and draws its picture from its top-left corner at the picture's own
// size (times the window's scale), clipped at its edges; it never stretches the picture to the box.
class PictureBox : public Window {
 public:
  // The window class to create the box with; registered on first use.
  [[nodiscard]] static const char* ClassName();

  // Reads a BMP, PNG, JPEG or GIF file (path in the ANSI code page); false, with the box emptied,
  // when it cannot be read. The file is not kept open.
  bool Load(const std::string& path) const;
  void Clear() const;
  // Pixels per 96 of the layout, from the monitor's DPI.
  void SetDpi(UINT dpi) const;
  // The size of the picture shown, in the picture's own pixels; 0 x 0 when empty.
  [[nodiscard]] SIZE PictureSize() const;
};

}  // namespace win32
