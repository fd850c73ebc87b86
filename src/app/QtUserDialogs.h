#pragma once
// Message boxes and the folder choice with Qt's standard dialogs.
#include "app/UserDialogs.h"

class QtUserDialogs : public UserDialogs {
public:
    void ShowCaptionedMessage(QWidget* parent, const std::string& caption, const std::string& text) override;
    bool ChooseFolder(QWidget* parent, const std::string& start, std::string& folder) override;
    bool ChooseOpenFile(QWidget* parent, const std::string& folder, const std::string& fileName,
                        std::string& chosen) override;
    bool ShowMessageOfferingToStop(QWidget* parent, const std::string& text) override;
    bool AskToKeepChanges(QWidget* parent, const std::string& text) override;
};
