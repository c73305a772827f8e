// Start-up and exit: the settings store (with the one-time import of an old INI file), the main
// window, and the flags that outlive one opening of the about box.
#pragma once

#include <memory>

#include "app/settings_store.h"

class CMainFrame;
class VolumeList;
class WorkAreaSource;
class CMessageBoxPrompt;

namespace ledgrix::maintenance {
class Prompt;
}

// What the program meets of the machine; null members take the real ones.
struct LedgrixServices {
  VolumeList* volumes = nullptr;
  const WorkAreaSource* workArea = nullptr;
  ledgrix::maintenance::Prompt* prompt = nullptr;
};

class CLedgrixApp {
 public:
  using Services = LedgrixServices;

  // settings: the store to use (null: the application's own).
  explicit CLedgrixApp(std::unique_ptr<CSettingsStore> settings = nullptr);
  ~CLedgrixApp();
  CLedgrixApp(const CLedgrixApp&) = delete;
  CLedgrixApp& operator=(const CLedgrixApp&) = delete;

  // Opens the store (importing Ledgrix.INI when it is new), creates the main window and, when
  // show is set, shows it. False when the window cannot be made.
  bool InitInstance(const Services& services, bool show = true);
  bool InitInstance() { return InitInstance(Services{}); }
  // Destroys the window and the store; returns code.
  int ExitInstance(int code);

  CMainFrame* mainFrame() const { return m_mainFrame.get(); }

  std::unique_ptr<CSettingsStore> m_settings;
  int m_mailLinkVisited = 0;
  int m_webLinkVisited = 0;

 private:
  std::unique_ptr<VolumeList> m_ownVolumes;
  std::unique_ptr<WorkAreaSource> m_ownWorkArea;
  std::unique_ptr<CMessageBoxPrompt> m_ownPrompt;
  std::unique_ptr<CMainFrame> m_mainFrame;
};
