#include "app/QtUserDialogs.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

#include "common/ResourceStrings.h"

namespace {
constexpr int kStopShowingText = 3012;
constexpr int kKeepChangesText = 3048;
constexpr int kUndoAllText = 3049;
}

void QtUserDialogs::ShowCaptionedMessage(QWidget* parent, const std::string& caption, const std::string& text)
{
    QMessageBox box(QMessageBox::NoIcon, QString::fromStdString(caption), QString::fromStdString(text),
                    QMessageBox::Ok, parent);
    box.exec();
}

bool QtUserDialogs::ChooseFolder(QWidget* parent, const std::string& start, std::string& folder)
{
    const QString chosen = QFileDialog::getExistingDirectory(parent, QString(), QString::fromStdString(start));
    if (chosen.isEmpty())
        return false;
    folder = chosen.toStdString();
    return true;
}

bool QtUserDialogs::ChooseOpenFile(QWidget* parent, const std::string& folder, const std::string& fileName,
                                   std::string& chosen)
{
    QFileDialog dialog(parent);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setDirectory(QString::fromStdString(folder));
    dialog.selectFile(QString::fromStdString(fileName));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return false;
    chosen = dialog.selectedFiles().first().toStdString();
    return true;
}

bool QtUserDialogs::ShowMessageOfferingToStop(QWidget* parent, const std::string& text)
{
    QMessageBox box(QMessageBox::NoIcon, QString::fromStdString(MessageBoxTitle()), QString::fromStdString(text),
                    QMessageBox::Ok, parent);
    auto* stop = new QCheckBox(QString::fromStdString(LoadResourceString(kStopShowingText)));
    box.setCheckBox(stop);
    box.exec();
    return stop->isChecked();
}

bool QtUserDialogs::AskToKeepChanges(QWidget* parent, const std::string& text)
{
    QMessageBox box(QMessageBox::Question, QString::fromStdString(MessageBoxTitle()), QString::fromStdString(text),
                    QMessageBox::NoButton, parent);
    QPushButton* keep =
        box.addButton(QString::fromStdString(LoadResourceString(kKeepChangesText)), QMessageBox::AcceptRole);
    QPushButton* undo =
        box.addButton(QString::fromStdString(LoadResourceString(kUndoAllText)), QMessageBox::RejectRole);
    box.setDefaultButton(undo);
    box.setEscapeButton(undo);
    box.exec();
    return box.clickedButton() == keep;
}
