// The setup dialog: three sections (Dremont folder, master terminal, slave terminal), each with
// a folder field, a browse button, the list of files to copy and a "Copy" button.
#pragma once
#include "config_xml.h"
#include "dialog.h"
#include "prompter.h"

class CLobrineApp;
struct FolderSection;

class CLobrineDlg : public CDialog, private SetupFolders, private Prompter {
 public:
  explicit CLobrineDlg(const CLobrineApp& app);

 protected:
  bool OnInit() override;
  bool OnCommand(int code, int id, HWND control) override;
  bool OnPaint() override;
  bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

 private:
  // Every message of the configuration file and of the copy engine: a box owned by the dialog.
  int Ask(const std::string& text, const char* caption, unsigned style) override;
  SetupFolders& Folders() { return *this; }
  void RefreshFileLists();
  void Browse(const FolderSection& section);
  void Copy(const FolderSection& section);
  // Stretches the line under the header band over the client width; returns its top.
  int StretchDivider(const RECT& client);

  const CLobrineApp& _app;
  HICON m_hIcon;
};
