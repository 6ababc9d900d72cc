#include "app/win32/picture_box.h"

// GDI+ needs the COM declarations that the lean windows.h leaves out.
#include <objidl.h>
// After them:
#include <gdiplus.h>
#include <shlwapi.h>

#include <fstream>
#include <iterator>
#include <string>

#include "app/form1_controls.h"

namespace win32 {
namespace {

constexpr UINT kSetPicture = WM_USER + 1;  // lParam: the HBITMAP, owned by the box from then on
constexpr UINT kSetDpi = WM_USER + 2;
constexpr UINT kGetPictureSize = WM_USER + 3;  // lParam: SIZE*

struct State {
  HBITMAP picture = nullptr;
  SIZE size{};
  UINT dpi = app::kLayoutDpi;

  ~State() {
    if (picture != nullptr) DeleteObject(picture);
  }
};

State* StateOf(HWND box) {
  return reinterpret_cast<State*>(GetWindowLongPtrA(box, GWLP_USERDATA));
}

void Paint(HWND box, const State& state) {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(box, &paint);
  if (state.picture != nullptr) {
    HDC source = CreateCompatibleDC(dc);
    const HGDIOBJ old = SelectObject(source, state.picture);
    const int width = MulDiv(state.size.cx, static_cast<int>(state.dpi), app::kLayoutDpi);
    const int height = MulDiv(state.size.cy, static_cast<int>(state.dpi), app::kLayoutDpi);
    if (state.dpi == static_cast<UINT>(app::kLayoutDpi)) {
      BitBlt(dc, 0, 0, width, height, source, 0, 0, SRCCOPY);
    } else {
      SetStretchBltMode(dc, HALFTONE);
      SetBrushOrgEx(dc, 0, 0, nullptr);
      StretchBlt(dc, 0, 0, width, height, source, 0, 0, state.size.cx, state.size.cy, SRCCOPY);
    }
    SelectObject(source, old);
    DeleteDC(source);
  }
  if (GetFocus() == box) {
    RECT client;
    GetClientRect(box, &client);
    DrawFocusRect(dc, &client);
  }
  EndPaint(box, &paint);
}

LRESULT CALLBACK BoxProc(HWND box, UINT message, WPARAM wParam, LPARAM lParam) {
  State* state = StateOf(box);
  switch (message) {
    case WM_NCCREATE: SetWindowLongPtrA(box, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(new State)); break;
    case WM_NCDESTROY:
      delete state;
      SetWindowLongPtrA(box, GWLP_USERDATA, 0);
      break;
    case WM_PAINT: Paint(box, *state); return 0;
    case WM_LBUTTONDOWN: SetFocus(box); return 0;
    case WM_SETFOCUS:
    case WM_KILLFOCUS: InvalidateRect(box, nullptr, TRUE); return 0;
    case kSetPicture: {
      auto* picture = reinterpret_cast<HBITMAP>(lParam);
      if (state->picture != nullptr) DeleteObject(state->picture);
      state->picture = picture;
      state->size = {};
      BITMAP info;
      if (picture != nullptr && GetObjectA(picture, sizeof info, &info) != 0)
        state->size = {info.bmWidth, info.bmHeight};
      InvalidateRect(box, nullptr, TRUE);
      return 0;
    }
    case kSetDpi:
      state->dpi = static_cast<UINT>(wParam);
      InvalidateRect(box, nullptr, TRUE);
      return 0;
    case kGetPictureSize: *reinterpret_cast<SIZE*>(lParam) = state->size; return 0;
    default: break;
  }
  return DefWindowProcA(box, message, wParam, lParam);
}

HBITMAP ReadPicture(const std::string& path) {
  // Read through the narrow file API, as every other file, and decoded from memory.
  std::ifstream file(path, std::ios::binary);
  const std::string bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
  if (!file.good() && !file.eof()) return nullptr;
  IStream* stream = SHCreateMemStream(reinterpret_cast<const BYTE*>(bytes.data()), static_cast<UINT>(bytes.size()));
  if (stream == nullptr) return nullptr;
  Gdiplus::GpBitmap* bitmap = nullptr;
  const Gdiplus::Status read = Gdiplus::DllExports::GdipCreateBitmapFromStream(stream, &bitmap);
  stream->Release();
  if (read != Gdiplus::Ok) return nullptr;
  // Transparent parts show the box's own colour.
  const COLORREF face = GetSysColor(COLOR_BTNFACE);
  const Gdiplus::ARGB background = 0xFF000000U | (static_cast<Gdiplus::ARGB>(GetRValue(face)) << 16U) |
                                   (static_cast<Gdiplus::ARGB>(GetGValue(face)) << 8U) | GetBValue(face);
  HBITMAP picture = nullptr;
  if (Gdiplus::DllExports::GdipCreateHBITMAPFromBitmap(bitmap, &picture, background) != Gdiplus::Ok) picture = nullptr;
  Gdiplus::DllExports::GdipDisposeImage(bitmap);
  return picture;
}

}  // namespace

GdiPlusSession::GdiPlusSession() {
  const Gdiplus::GdiplusStartupInput input;
  Gdiplus::GdiplusStartup(&token_, &input, nullptr);
}

GdiPlusSession::~GdiPlusSession() {
  Gdiplus::GdiplusShutdown(token_);
}

const char* PictureBox::ClassName() {
  static const char* const name = [] {
    constexpr const char* kName = "ParkmarqPictureBox";
    WNDCLASSEXA type{};
    type.cbSize = sizeof type;
    type.lpfnWndProc = BoxProc;
    type.hInstance = GetModuleHandleA(nullptr);
    type.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));  // IDC_ARROW
    type.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    type.lpszClassName = kName;
    RegisterClassExA(&type);
    return kName;
  }();
  return name;
}

bool PictureBox::Load(const std::string& path) const {
  HBITMAP picture = ReadPicture(path);
  SendMessageA(handle_, kSetPicture, 0, reinterpret_cast<LPARAM>(picture));
  return picture != nullptr;
}

void PictureBox::Clear() const {
  SendMessageA(handle_, kSetPicture, 0, 0);
}

void PictureBox::SetDpi(UINT dpi) const {
  SendMessageA(handle_, kSetDpi, dpi, 0);
}

SIZE PictureBox::PictureSize() const {
  SIZE size{};
  SendMessageA(handle_, kGetPictureSize, 0, reinterpret_cast<LPARAM>(&size));
  return size;
}

}  // namespace win32
