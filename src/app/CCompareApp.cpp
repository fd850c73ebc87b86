#include "app/CCompareApp.h"

#include <QFileInfo>

#include "app/AppContext.h"
#include "app/CCompareDlg.h"
#include "app/ModuleVersion.h"
#include "app/ProgramPaths.h"
#include "app/SettingsStore.h"
#include "app/UserDialogs.h"
#include "common/ResourceStrings.h"

namespace {
constexpr int kVersionMismatchText = 3018;
constexpr int kRuntimeFailedText = 2152;
constexpr int kCompanyNameText = 2139;
constexpr int kApplicationTitleText = 57344;
} // namespace

CCompareApp::CCompareApp(UserDialogs& dialogs, std::string executableFileName)
    : m_dialogs(dialogs),
      m_executable(executableFileName.empty() ? ::ExecutableFileName() : std::move(executableFileName)),
      m_own(ResourceModule::Own(m_executable)),
      m_resources(m_own)
{
    m_resources.InstallAsStringLoader();
}

CCompareApp::~CCompareApp()
{
    SetStringLoader(nullptr);
    m_resources.UseModule(nullptr);
    m_hLangModule.reset();
}

bool CCompareApp::InitInstance()
{
    LoadLanguageModule();
    if (!InitComponentRuntime()) {
        m_dialogs.ShowMessage(nullptr, LoadResourceString(kRuntimeFailedText));
        return false;
    }
    SetSettingsRoot();
    RunMainDialog();
    return false;
}

void CCompareApp::LoadLanguageModule()
{
    const std::string directory = DirectoryOfFile(m_executable);
    if (directory.empty())
        return;
    // A module beside the executable serves everyone; else the installed
    // module of the user's language, if there is one.
    std::string moduleFile = directory + kModuleFileName;
    if (!QFileInfo::exists(QString::fromStdString(moduleFile))) {
        const std::string language = LocaleLanguage();
        if (language.empty())
            return;
        moduleFile = LanguageModuleDirectory(directory, language) + kModuleFileName;
        if (!QFileInfo::exists(QString::fromStdString(moduleFile)))
            return;
    }
    m_hLangModule = ResourceModule::Load(moduleFile);
    if (!m_hLangModule)
        return;  // not a resource bundle: the program's own resources, silently
    m_resources.UseModule(m_hLangModule.get());

    std::string programVersion;
    std::string moduleVersion;
    const bool haveProgramVersion = GetModuleVersionString(m_own, programVersion);
    const bool haveModuleVersion = GetModuleVersionString(*m_hLangModule, moduleVersion);
    if (haveProgramVersion && haveModuleVersion && programVersion != moduleVersion) {
        // The module's own text for the mismatch is shown when it has one.
        m_dialogs.ShowMessage(nullptr, LoadResourceString(kVersionMismatchText));
        m_resources.UseModule(nullptr);
        m_hLangModule.reset();
    }
}

bool CCompareApp::InitComponentRuntime()
{
    // The shortcut services the program uses need no runtime initialisation here.
    return true;
}

void CCompareApp::SetSettingsRoot()
{
    // The company name may come from the language module; the application key
    // is always the program's own title.
    const std::string company = LoadResourceString(kCompanyNameText);
    const std::string application = BuiltInString(kApplicationTitleText).value_or("Tolvane and Merge");
    m_settings = std::make_unique<SettingsStore>(company, application);
}

void CCompareApp::RunMainDialog()
{
    if (!m_settings)
        return;
    const AppContext context{*m_settings, m_resources, m_dialogs, m_prompt, m_executable};
    // Destroying the dialog after its modal loop stores its working values; the
    // program then ends when start-up returns.
    auto dialog = std::make_unique<CCompareDlg>(context, nullptr);
    dialog->DoModal();
    dialog.reset();
}
