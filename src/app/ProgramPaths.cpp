#include "app/ProgramPaths.h"

#include <QCoreApplication>

std::string DirectoryOfFile(const std::string& fullFileName)
{
    const auto slash = fullFileName.rfind('/');
    if (slash == std::string::npos)
        return {};
    return fullFileName.substr(0, slash + 1);
}

std::string ExecutableFileName()
{
    return QCoreApplication::applicationFilePath().toStdString();
}

std::string WithTrailingSeparator(const std::string& path)
{
    if (!path.empty() && path.back() != '/')
        return path + '/';
    return path;
}

std::string NormaliseDiffPath(const std::string& stored, const std::string& executableFileName)
{
    std::string path = stored;
    if (path.empty())
        path = DirectoryOfFile(executableFileName);
    return WithTrailingSeparator(path);
}
