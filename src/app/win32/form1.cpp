#include "app/win32/form1.h"

#include <commctrl.h>

#include <system_error>
#include <utility>

#include "app/win32/dialogs.h"
#include "app/win32/resource.h"

namespace win32 {
namespace {

using app::Control;
using app::ControlKind;

constexpr const char* kWindowClass = "ParkmarqForm1";
constexpr int kPointsPerInch = 72;

struct ControlClass {
  const char* name;
  DWORD style;
  DWORD exStyle;
};

ControlClass ClassOf(ControlKind kind) {
  switch (kind) {
    case ControlKind::List:
      return {"LISTBOX", WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT, WS_EX_CLIENTEDGE};
    case ControlKind::Description:
      // No horizontal scroll bar and no ES_AUTOHSCROLL: long lines wrap at the field's width. Enter
      // breaks the line here rather than going to the dialog manager.
      return {"EDIT", WS_TABSTOP | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN, WS_EX_CLIENTEDGE};
    case ControlKind::PictureBox: return {PictureBox::ClassName(), WS_TABSTOP, WS_EX_CLIENTEDGE};
    case ControlKind::Frame: return {"BUTTON", BS_GROUPBOX, 0};
    case ControlKind::Label: return {"STATIC", SS_LEFT, 0};
    case ControlKind::Field: return {"EDIT", WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE};
    case ControlKind::Button: return {"BUTTON", WS_TABSTOP | BS_PUSHBUTTON, 0};
  }
  return {"STATIC", 0, 0};
}

bool IsUserInput(UINT message) {
  return (message >= WM_KEYFIRST && message <= WM_KEYLAST) || (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST) ||
         (message >= WM_NCMOUSEMOVE && message <= WM_NCXBUTTONDBLCLK) || message == WM_INPUT;
}

// Looks a function of user32 up at run time: the program starts on systems that lack it.
template <typename Function>
Function* User32Function(const char* name) {
  const FARPROC found = GetProcAddress(GetModuleHandleA("user32.dll"), name);
  return reinterpret_cast<Function*>(reinterpret_cast<void*>(found));
}

// Per-monitor DPI came with Windows 10 1607; before it the window has the system's DPI.
UINT WindowDpi(HWND window) {
  static const auto getDpiForWindow = User32Function<UINT WINAPI(HWND)>("GetDpiForWindow");
  if (getDpiForWindow != nullptr) return getDpiForWindow(window);
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return static_cast<UINT>(dpi);
}

void AdjustFrame(RECT& frame, DWORD style, UINT dpi) {
  static const auto adjustForDpi =
      User32Function<BOOL WINAPI(RECT*, DWORD, BOOL, DWORD, UINT)>("AdjustWindowRectExForDpi");
  if (adjustForDpi != nullptr) {
    adjustForDpi(&frame, style, FALSE, 0, dpi);
  } else {
    AdjustWindowRectEx(&frame, style, FALSE, 0);
  }
}

void RegisterWindowClass(HINSTANCE instance, WNDPROC procedure) {
  static const bool registered = [instance, procedure] {
    // The tool tip is a common control.
    const INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    WNDCLASSEXA type{};
    type.cbSize = sizeof type;
    type.lpfnWndProc = procedure;
    type.hInstance = instance;
    type.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));  // IDC_ARROW
    type.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    type.lpszClassName = kWindowClass;
    type.hIcon = static_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCEA(IDI_PARKMARQ), IMAGE_ICON,
                                               GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON), 0));
    type.hIconSm = static_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCEA(IDI_PARKMARQ), IMAGE_ICON,
                                                 GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0));
    return RegisterClassExA(&type) != 0;
  }();
  (void)registered;
}

}  // namespace

Form1::Form1(std::string appFolder, build::NumberLocale locale, DialogService* dialogs)
    : Form1([folder = std::move(appFolder)] { return folder; }, std::move(locale), dialogs) {}

Form1::Form1(std::function<std::string()> findAppFolder, build::NumberLocale locale, DialogService* dialogs)
    : systemDialogs_(dialogs == nullptr ? std::make_unique<SystemDialogs>() : nullptr),
      dialogs_(dialogs == nullptr ? *systemDialogs_ : *dialogs),
      logic_(*this, std::move(findAppFolder), std::move(locale)) {
  HINSTANCE instance = GetModuleHandleA(nullptr);
  RegisterWindowClass(instance, WindowProc);
  const std::string caption(app::kForm1Caption);
  handle_ = CreateWindowExA(0, kWindowClass, caption.c_str(), WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                            CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, instance, this);
  if (handle_ == nullptr) {
    throw std::system_error(static_cast<int>(GetLastError()), std::system_category(), "Creating the window");
  }
  CreateControls();
  const UINT dpi = WindowDpi(handle_);
  ApplyDpi(dpi == 0 ? app::kLayoutDpi : dpi);
  RECT frame{0, 0, Pixels(app::kClientWidthTwips), Pixels(app::kClientHeightTwips)};
  AdjustFrame(frame, WS_OVERLAPPEDWINDOW, dpi_);
  SetWindowPos(handle_, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  logic_.Load();
}

Form1::~Form1() {
  if (handle_ != nullptr) DestroyWindow(handle_);
  if (font_ != nullptr) DeleteObject(font_);
}

void Form1::CreateControls() {
  HINSTANCE instance = GetModuleHandleA(nullptr);
  const auto create = [&](Control control) {
    const app::ControlLayout& layout = app::LayoutOf(control);
    const ControlClass type = ClassOf(layout.kind);
    const std::string caption(layout.caption);
    Member(control).Attach(
        CreateWindowExA(type.exStyle, type.name, caption.c_str(), WS_CHILD | WS_VISIBLE | type.style, 0, 0, 0, 0,
                        handle_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(ControlId(control))), instance, nullptr));
  };
  // The dialog manager tabs in creation order; the frame comes last so that it lies beneath the
  // controls it holds.
  for (const Control control : app::FocusOrder()) create(control);
  for (const auto& layout : app::kForm1Controls) {
    if (layout.kind == ControlKind::Label) create(layout.control);
  }
  create(Control::frm_parameters);

  toolTip_.Attach(CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                                  CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, handle_, nullptr,
                                  instance, nullptr));
  toolTip_.AddTool(handle_, cmd_set_folder.Handle());
}

int Form1::Pixels(int twips) const {
  return MulDiv(twips, static_cast<int>(dpi_), app::kTwipsPerInch);
}

void Form1::ApplyDpi(UINT dpi) {
  dpi_ = dpi;
  NONCLIENTMETRICSA metrics{};
  metrics.cbSize = sizeof metrics;
  SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
  LOGFONTA face = metrics.lfMessageFont;
  face.lfHeight = -MulDiv(app::kLayoutPointSize, static_cast<int>(dpi_), kPointsPerInch);
  face.lfWidth = 0;
  HFONT previous = font_;
  font_ = CreateFontIndirectA(&face);
  for (const auto& layout : app::kForm1Controls) {
    const app::TwipsRect place = app::ClientPlace(layout);
    const Window& control = Member(layout.control);
    control.SetFont(font_);
    control.Move(
        {Pixels(place.left), Pixels(place.top), Pixels(place.left + place.width), Pixels(place.top + place.height)});
  }
  img_vgds.SetDpi(dpi_);
  toolTip_.SetFont(font_);
  if (previous != nullptr) DeleteObject(previous);
}

void Form1::Show(int how) const {
  ShowWindow(handle_, how);
  UpdateWindow(handle_);
}

bool Form1::Translate(MSG& message) const {
  // Esc does nothing: there is no cancel button, and a multi-line edit in dialog mode would post
  // WM_CLOSE to this window.
  const bool key = message.message == WM_KEYDOWN || message.message == WM_KEYUP || message.message == WM_CHAR;
  if (key && message.wParam == VK_ESCAPE && (message.hwnd == handle_ || IsChild(handle_, message.hwnd) != FALSE)) {
    return true;
  }
  return IsDialogMessageA(handle_, &message) != FALSE;
}

LRESULT CALLBACK Form1::WindowProc(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* form = static_cast<Form1*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
    form->handle_ = handle;
    SetWindowLongPtrA(handle, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(form));
  }
  auto* form = reinterpret_cast<Form1*>(GetWindowLongPtrA(handle, GWLP_USERDATA));
  if (form == nullptr) return DefWindowProcA(handle, message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrA(handle, GWLP_USERDATA, 0);
    form->handle_ = nullptr;
    return DefWindowProcA(handle, message, wParam, lParam);
  }
  return form->HandleMessage(message, wParam, lParam);
}

LRESULT Form1::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND: OnCommand(LOWORD(wParam), HIWORD(wParam)); return 0;
    case WM_CLOSE:
      if (logic_.Unload()) DestroyWindow(handle_);
      return 0;
    case WM_QUERYENDSESSION:
      // As for a close: the settings are saved now, or, during a build, the session waits and the window
      // closes when the build has ended.
      return logic_.Unload() ? TRUE : FALSE;
    case WM_ENDSESSION:
      // The process may be ended as soon as this returns.
      if (wParam != FALSE && logic_.Unload()) DestroyWindow(handle_);
      return 0;
    case WM_DPICHANGED: {
      ApplyDpi(HIWORD(wParam));
      const RECT& suggested = *reinterpret_cast<const RECT*>(lParam);
      SetWindowPos(handle_, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                   suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
      return 0;
    }
    case WM_NEXTDLGCTL: {
      // A multi-line edit control asks for this on Tab, as it would of a dialog box.
      HWND next = LOWORD(lParam) != 0 ? reinterpret_cast<HWND>(wParam)
                                      : GetNextDlgTabItem(handle_, GetFocus(), wParam != 0 ? TRUE : FALSE);
      if (next != nullptr) SetFocus(next);
      return 0;
    }
    case WM_ACTIVATE:
      // Focus comes back to the control that had it when the window is activated again.
      if (LOWORD(wParam) == WA_INACTIVE && IsChild(handle_, GetFocus()) != FALSE) lastFocus_ = GetFocus();
      break;
    case WM_SETFOCUS:
      SetFocus(lastFocus_ != nullptr && IsWindow(lastFocus_) != FALSE ? lastFocus_ : img_vgds.Handle());
      return 0;
    default: break;
  }
  return DefWindowProcA(handle_, message, wParam, lParam);
}

void Form1::OnCommand(int id, int notification) {
  if (id == IDOK) {
    // Enter: no button is the default one, so Enter clicks the focused button, if any.
    HWND focus = GetFocus();
    for (const Button* button : {&cmd_heading_fs, &cmd_set_folder, &cmd_create}) {
      if (button->Handle() == focus) OnCommand(GetDlgCtrlID(focus), BN_CLICKED);
    }
    return;
  }
  const int index = id - kFirstControlId;
  if (index < 0 || index >= static_cast<int>(app::kForm1Controls.size())) return;
  switch (static_cast<Control>(index)) {
    case Control::lst_vgds:
      if (notification == LBN_SELCHANGE) logic_.lst_vgds_Click();
      break;
    case Control::cmd_create:
      if (notification == BN_CLICKED) logic_.cmd_create_Click();
      break;
    case Control::cmd_set_folder:
      if (notification == BN_CLICKED) logic_.cmd_set_folder_Click();
      break;
    case Control::cmd_heading_fs:
      if (notification == BN_CLICKED) logic_.cmd_heading_fs_Click();
      break;
    default: break;
  }
}

Window& Form1::Member(Control control) {
  return const_cast<Window&>(std::as_const(*this).Member(control));
}

const Window& Form1::Member(Control control) const {
  switch (control) {
    case Control::lst_vgds: return lst_vgds;
    case Control::txt_description: return txt_description;
    case Control::img_vgds: return img_vgds;
    case Control::frm_parameters: return frm_parameters;
    case Control::lbl_heading: return lbl_heading;
    case Control::cmd_heading_fs: return cmd_heading_fs;
    case Control::txt_heading: return txt_heading;
    case Control::lbl_stopdistance: return lbl_stopdistance;
    case Control::txt_stopdistance: return txt_stopdistance;
    case Control::lbl_visibilitydistance: return lbl_visibilitydistance;
    case Control::txt_visibilitydistance: return txt_visibilitydistance;
    case Control::lbl_lateraldistance: return lbl_lateraldistance;
    case Control::txt_lateraldistance: return txt_lateraldistance;
    case Control::cmd_set_folder: return cmd_set_folder;
    case Control::cmd_create: return cmd_create;
  }
  return lst_vgds;
}

int Form1::SelectedListIndex() const {
  return lst_vgds.GetCurSel();
}

void Form1::AddListItem(const std::string& name) {
  lst_vgds.AddString(name);
}

void Form1::SelectListItem(int index) {
  lst_vgds.SetCurSel(index);
}

void Form1::ShowPicture(const std::string& path) {
  // A picture that cannot be loaded leaves the box empty.
  if (path.empty()) {
    img_vgds.Clear();
  } else {
    (void)img_vgds.Load(path);
  }
}

void Form1::ShowDescription(const std::string& text) {
  txt_description.SetText(text);
}

void Form1::SetLabelEnabled(catalogue::Parameter parameter, bool enabled) {
  Member(app::LabelOf(parameter)).Enable(enabled);
}

void Form1::SetFieldEnabled(catalogue::Parameter parameter, bool enabled) {
  Member(app::FieldOf(parameter)).Enable(enabled);
}

build::ParameterField Form1::Field(catalogue::Parameter parameter) const {
  const Window& field = Member(app::FieldOf(parameter));
  return {field.GetText(), field.IsEnabled()};
}

void Form1::SetFieldText(catalogue::Parameter parameter, const std::string& text) {
  Member(app::FieldOf(parameter)).SetText(text);
}

void Form1::SetCreateCaption(const std::string& caption) {
  cmd_create.SetText(caption);
  // On the screen before the compiler starts, not when the thread next reads its messages.
  cmd_create.Update();
}

void Form1::SetFolderToolTip(const std::string& folder) {
  toolTip_.UpdateTipText(handle_, cmd_set_folder.Handle(), folder);
}

void Form1::KeepPainted() {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE) != FALSE) {
    if (message.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(message.wParam));
      return;
    }
    const bool toThisWindow = message.hwnd == handle_ || IsChild(handle_, message.hwnd) != FALSE;
    if (toThisWindow && IsUserInput(message.message)) continue;
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
}

void Form1::Close() {
  SendMessageA(handle_, WM_CLOSE, 0, 0);
}

void Form1::ShowCritical(const std::string& title, const std::string& text) {
  dialogs_.ShowCritical(handle_, title, text);
}

std::string Form1::SaveFileName(const std::string& title, const std::string& filter, const std::string& initialName) {
  return dialogs_.SaveFileName(handle_, title, filter, initialName);
}

std::string Form1::ChooseFolder(const std::string& title) {
  return dialogs_.ExistingFolder(handle_, title);
}

}  // namespace win32
