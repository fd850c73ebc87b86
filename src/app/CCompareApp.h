#pragma once
// The application object. Its start-up prepares the resource source (the
// language module KVLANG.DLL beside the executable when it is there and of the
// program's version), fixes the settings root, runs the main dialog modally and
// ends the program when the dialog closes.
#include <memory>
#include <string>

#include "app/ResourceModule.h"
#include "app/ResourceSource.h"

class ConnectPrompt;
class SettingsStore;
class UserDialogs;

class CCompareApp {
public:
    static constexpr const char* kModuleFileName = "KVLANG.DLL";

    explicit CCompareApp(UserDialogs& dialogs, std::string executableFileName = {});
    ~CCompareApp();
    CCompareApp(const CCompareApp&) = delete;
    CCompareApp& operator=(const CCompareApp&) = delete;

    // The start-up routine. Always false: the program ends when it returns.
    bool InitInstance();

    // The steps of start-up, in their order.
    void LoadLanguageModule();
    bool InitComponentRuntime();
    void SetSettingsRoot();
    void RunMainDialog();

    void SetConnectPrompt(ConnectPrompt* prompt) { m_prompt = prompt; }
    const ResourceSource& Resources() const { return m_resources; }
    SettingsStore* Settings() const { return m_settings.get(); }
    const std::string& ExecutableFileName() const { return m_executable; }

    // The loaded language module; none without one or after a version mismatch.
    std::unique_ptr<ResourceModule> m_hLangModule;

private:
    UserDialogs& m_dialogs;
    ConnectPrompt* m_prompt = nullptr;
    std::string m_executable;
    ResourceModule m_own;
    ResourceSource m_resources;
    std::unique_ptr<SettingsStore> m_settings;
};
