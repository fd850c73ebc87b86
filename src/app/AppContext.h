#pragma once
// What the program's dialogs work with: the settings store, the resource
// source, the dialogs that wait for a person and the connection prompts.
#include <string>

class ConnectPrompt;
class DialogResources;
class SettingsValues;
class UserDialogs;

struct AppContext {
    SettingsValues& settings;
    const DialogResources& resources;
    UserDialogs& dialogs;
    ConnectPrompt* prompt;           // the data source chooser and login prompts
    std::string executableFileName;  // decides the default difference data path
};
