#pragma once
// The few things that wait for a person outside the program's own dialogs:
// message boxes and the folder choice. The program shows Qt's standard dialogs;
// tests answer instead of a person.
#include <string>

class QWidget;

// The caption of the program's message boxes: the application title.
std::string MessageBoxTitle();

class UserDialogs {
public:
    virtual ~UserDialogs() = default;
    // An OK message box with the given caption.
    virtual void ShowCaptionedMessage(QWidget* parent, const std::string& caption, const std::string& text) = 0;
    // Lets the user pick a folder, starting at `start`. False when cancelled.
    virtual bool ChooseFolder(QWidget* parent, const std::string& start, std::string& folder) = 0;
    // Lets the user pick an existing file, starting in `folder` with `fileName`
    // in the name box; `chosen` gets its full path. False when cancelled.
    virtual bool ChooseOpenFile(QWidget* parent, const std::string& folder, const std::string& fileName,
                                std::string& chosen) = 0;
    // An OK message box titled with the application title that also offers to
    // stop showing further messages of the same kind; true when the user chose that.
    virtual bool ShowMessageOfferingToStop(QWidget* parent, const std::string& text) = 0;
    // A question titled with the application title whose two buttons keep the
    // changes made so far or undo them all, undoing being the default (Enter
    // and Escape); true when the user keeps them.
    virtual bool AskToKeepChanges(QWidget* parent, const std::string& text) = 0;

    // An OK message box titled with the application title.
    void ShowMessage(QWidget* parent, const std::string& text) { ShowCaptionedMessage(parent, MessageBoxTitle(), text); }
};
