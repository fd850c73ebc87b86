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

    // An OK message box titled with the application title.
    void ShowMessage(QWidget* parent, const std::string& text) { ShowCaptionedMessage(parent, MessageBoxTitle(), text); }
};
