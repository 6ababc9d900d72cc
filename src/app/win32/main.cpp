#include <exception>
#include <string>

#include "platform/win32_api.h"
// windows.h first
#include <objbase.h>

#include "app/application_folder.h"
#include "app/form1_logic.h"
#include "app/win32/form1.h"

namespace {

std::string LocaleText(LCTYPE item) {
  char text[16] = {};
  if (GetLocaleInfoA(LOCALE_USER_DEFAULT, item, text, sizeof text) == 0) return {};
  return text;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int show) {
  // The folder browser needs COM on this thread.
  if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE))) return 1;
  int status = 0;
  try {
    // The user's number notation is read once and handed to the core as a value.
    build::NumberLocale numbers{LocaleText(LOCALE_SDECIMAL), LocaleText(LOCALE_STHOUSAND)};
    // A folder that cannot be prepared is reported in the open window, as any failed start-up step.
    win32::Form1 form(&app::PrepareApplicationFolder, std::move(numbers));
    form.Show(show);
    form.ReportStartUpFailures();
    form.ReportSkippedTemplates();
    MSG message;
    while (IsWindow(form.Handle()) != FALSE && GetMessageA(&message, nullptr, 0, 0) > 0) {
      if (!form.Translate(message)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
      }
    }
  } catch (const std::exception& failure) {
    MessageBoxA(nullptr, failure.what(), app::kApplicationTitle, MB_OK | MB_ICONERROR);
    status = 1;
  }
  CoUninitialize();
  return status;
}
