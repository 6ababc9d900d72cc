#include "app/win32/dialogs.h"

#include <commdlg.h>
#include <shlobj.h>

#include <vector>

namespace win32 {
namespace {

// Room for any path the save dialog may return.
constexpr std::size_t kFileNameCapacity = 32768;
// What SHGetPathFromIDListA may write, with room to spare.
constexpr std::size_t kFolderCapacity = 512;

}  // namespace

void SystemDialogs::ShowCritical(HWND owner, const std::string& title, const std::string& text) {
  MessageBoxA(owner, text.c_str(), title.c_str(), MB_OK | MB_ICONERROR);
}

std::string SystemDialogs::SaveFileName(HWND owner, const std::string& title, const std::string& filter,
                                        const std::string& initialName) {
  const std::string filters = FilterFromPairs(filter);
  std::vector<char> file(kFileNameCapacity, '\0');
  if (initialName.size() < file.size()) initialName.copy(file.data(), initialName.size());
  OPENFILENAMEA dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = owner;
  dialog.lpstrFilter = filters.c_str();
  dialog.nFilterIndex = 1;
  dialog.lpstrFile = file.data();
  dialog.nMaxFile = static_cast<DWORD>(file.size());
  dialog.lpstrTitle = title.c_str();
  dialog.Flags = OFN_EXPLORER;  // no overwrite prompt; lpstrDefExt stays null: no default extension
  if (GetSaveFileNameA(&dialog) == FALSE) return {};
  return file.data();
}

std::string SystemDialogs::ExistingFolder(HWND owner, const std::string& title) {
  BROWSEINFOA browse{};
  browse.hwndOwner = owner;
  browse.lpszTitle = title.c_str();
  browse.ulFlags = BIF_RETURNONLYFSDIRS;
  PIDLIST_ABSOLUTE chosen = SHBrowseForFolderA(&browse);
  if (chosen == nullptr) return {};
  std::vector<char> path(kFolderCapacity, '\0');
  const BOOL isFolder = SHGetPathFromIDListA(chosen, path.data());
  CoTaskMemFree(chosen);
  if (isFolder == FALSE) return {};
  return path.data();
}

std::string FilterFromPairs(const std::string& filter) {
  std::string filters = filter;
  for (char& c : filters) {
    if (c == '|') c = '\0';
  }
  filters += '\0';
  return filters;
}

}  // namespace win32
