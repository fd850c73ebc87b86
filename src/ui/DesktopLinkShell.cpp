#include "ui/DesktopLinkShell.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QStandardPaths>
#include <QUrl>

namespace {

// An XDG user folder that exists; a folder the user never had is no place to
// save into.
std::optional<std::string> ExistingFolder(QStandardPaths::StandardLocation location)
{
    const QString path = QStandardPaths::writableLocation(location);
    if (path.isEmpty() || !QFileInfo(path).isDir())
        return std::nullopt;
    return path.toStdString();
}

} // namespace

bool DesktopLinkShell::Open(const std::string& target, QWidget*)
{
    // fromUserInput guesses the scheme of an address given without one
    // ("www.orvenne.example" becomes http://www.orvenne.example).
    const QUrl url = QUrl::fromUserInput(QString::fromStdString(target));
    if (!url.isValid())
        return false;
    return QDesktopServices::openUrl(url);
}

std::optional<std::string> DesktopLinkShell::FavoritesFolder() const
{
    return ExistingFolder(QStandardPaths::DocumentsLocation);
}

std::optional<std::string> DesktopLinkShell::DesktopFolder() const
{
    return ExistingFolder(QStandardPaths::DesktopLocation);
}
