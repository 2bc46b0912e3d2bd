#include "lobrine_dlg_win.h"

#include "browse_start.h"
#include "config_file.h"
#include "copy_engine.h"
#include "folder_browser_win.h"
#include "header_painter_win.h"
#include "lobrine_app.h"
#include "plan_runner.h"
#include "resource.h"
#include "white_space.h"

struct FolderSection {
  Plan plan;
  int field, browse, files, copy, label;
  std::string SetupFolders::*folder;
};

namespace {

constexpr FolderSection kSections[] = {
    {Plan::kCore, IDC_CORE_PATH, IDC_CORE_BROWSE, IDC_CORE_FILES, IDC_CORE_COPY, IDC_CORE_LABEL,
     &SetupFolders::m_strCorePath},
    {Plan::kMaster, IDC_MASTER_PATH, IDC_MASTER_BROWSE, IDC_MASTER_FILES, IDC_MASTER_COPY,
     IDC_MASTER_LABEL, &SetupFolders::m_strMasterPath},
    {Plan::kSlave, IDC_SLAVE_PATH, IDC_SLAVE_BROWSE, IDC_SLAVE_FILES, IDC_SLAVE_COPY,
     IDC_SLAVE_LABEL, &SetupFolders::m_strSlavePath},
};

}  // namespace

CLobrineDlg::CLobrineDlg(const CLobrineApp& app)
    : CDialog(IDD_LOBRINE_DIALOG),
      _app(app),
      m_hIcon(LoadIconA(GetModuleHandleA(NULL), MAKEINTRESOURCEA(IDR_MAINFRAME))) {}

bool CLobrineDlg::OnInit() {
  SendMsg(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
  SendMsg(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIcon));
  Folders() = DefaultFolders();
  ReadXml(_app.SetupPath(_app.m_strConfigFile), Folders(), *this);
  // Each field answers with EN_CHANGE, which keeps its folder equal to the field's text.
  for (const FolderSection& section : kSections) {
    SetItemText(section.field, std::string(TrimWhiteSpace(Folders().*section.folder)));
  }
  RefreshFileLists();
  return true;
}

bool CLobrineDlg::OnCommand(int code, int id, HWND control) {
  for (const FolderSection& section : kSections) {
    if (id == section.field && code == EN_CHANGE) {
      Folders().*section.folder = ItemText(section.field);
      return true;
    }
    if (id == section.browse && code == BN_CLICKED) {
      Browse(section);
      return true;
    }
    if (id == section.copy && code == BN_CLICKED) {
      Copy(section);
      return true;
    }
  }
  return CDialog::OnCommand(code, id, control);
}

bool CLobrineDlg::OnPaint() {
  if (IsMinimized()) {
    PaintMinimizedIcon(m_hIcon);
    return true;
  }
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(window_, &paint);
  const RECT client = ClientRect();
  PaintHeader(dc, client, StretchDivider(client), m_hIcon);
  EndPaint(window_, &paint);
  return true;
}

bool CLobrineDlg::OnMessage(UINT msg, WPARAM, LPARAM, LRESULT& result) {
  if (msg == WM_QUERYDRAGICON) {
    result = reinterpret_cast<LRESULT>(m_hIcon);
    return true;
  }
  // The close box writes the folders; the dialog manager then ends the dialog as it does for
  // Esc, which does not pass here and so writes nothing.
  if (msg == WM_CLOSE) WriteXml(_app.SetupPath(_app.m_strConfigFile), Folders(), *this);
  return false;
}

int CLobrineDlg::Ask(const std::string& text, const char* caption, unsigned style) {
  return ShowMessage(text, caption, style);
}

void CLobrineDlg::RefreshFileLists() {
  for (const FolderSection& section : kSections) {
    const CopyPlan& plan = GetCopyPlan(section.plan);
    std::string names;
    GetFilesAsString(_app.SetupPath(plan.source), DisplayPatterns(plan), names, *this);
    SetItemText(section.files, names);
  }
}

void CLobrineDlg::Browse(const FolderSection& section) {
  std::string path = ItemText(section.field);
  if (section.plan != Plan::kCore) path = TerminalBrowseStart(path);
  if (!BrowseForFolder(window_, path, ItemText(section.label))) return;
  SetItemText(section.field, path);
  Folders().*section.folder = path;
}

void CLobrineDlg::Copy(const FolderSection& section) {
  RefreshFileLists();
  RunPlan(section.plan, _app.m_strModulePath, ItemText(section.field), *this);
}

int CLobrineDlg::StretchDivider(const RECT& client) {
  HWND divider = Item(IDC_DIVIDER);
  RECT line;
  GetWindowRect(divider, &line);
  MapWindowPoints(NULL, window_, reinterpret_cast<POINT*>(&line), 2);
  MoveWindow(divider, 0, line.top, client.right, line.bottom - line.top, TRUE);
  return line.top;
}
