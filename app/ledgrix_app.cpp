#include "app/ledgrix_app.h"

#include <QDir>

#include "app/main_frame.h"
#include "app/message_prompt.h"
#include "app/placement.h"
#include "app/volume_list.h"

// The resources are linked from a static library: register them explicitly.
static void InitResources() {
  Q_INIT_RESOURCE(ledgrix);
}

CLedgrixApp::CLedgrixApp(std::unique_ptr<CSettingsStore> settings)
    : m_settings(std::move(settings)) {}

CLedgrixApp::~CLedgrixApp() {
  m_mainFrame.reset();
  m_settings.reset();
}

bool CLedgrixApp::InitInstance(const Services& services, bool show) {
  InitResources();
  if (!m_settings)
    m_settings = std::make_unique<CSettingsStore>();
  bool newlyCreated = false;
  if (m_settings->Open(&newlyCreated) && newlyCreated)
    m_settings->ImportIniFile(m_settings->IniImportPath());

  VolumeList* volumes = services.volumes;
  if (!volumes) {
    m_ownVolumes = std::make_unique<SystemVolumeList>();
    volumes = m_ownVolumes.get();
  }
  const WorkAreaSource* workArea = services.workArea;
  if (!workArea) {
    m_ownWorkArea = std::make_unique<ScreenWorkArea>();
    workArea = m_ownWorkArea.get();
  }
  ledgrix::maintenance::Prompt* prompt = services.prompt;
  if (!prompt) {
    m_ownPrompt = std::make_unique<CMessageBoxPrompt>();
    prompt = m_ownPrompt.get();
  }
  m_mainFrame = std::make_unique<CMainFrame>(*this, *volumes, *workArea, *prompt);
  if (m_ownPrompt)
    m_ownPrompt->SetParent(m_mainFrame.get());
  if (show)
    m_mainFrame->show();
  return true;
}

int CLedgrixApp::ExitInstance(int code) {
  m_mainFrame.reset();
  m_settings.reset();
  return code;
}
