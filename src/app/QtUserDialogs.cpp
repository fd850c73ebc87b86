#include "app/QtUserDialogs.h"

#include <QFileDialog>
#include <QMessageBox>

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
