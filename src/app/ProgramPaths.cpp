#include "app/ProgramPaths.h"

#include <QCoreApplication>

#include <cstdlib>

std::string DirectoryOfFile(const std::string& fullFileName)
{
    const auto slash = fullFileName.rfind('/');
    if (slash == std::string::npos)
        return {};
    return fullFileName.substr(0, slash + 1);
}

std::string LocaleLanguage()
{
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(name);
        if (!value || !*value)
            continue;
        std::string language(value);
        language = language.substr(0, language.find_first_of("_.@"));
        if (language == "C" || language == "POSIX")
            return {};
        return language;
    }
    return {};
}

std::string LanguageModuleDirectory(const std::string& executableDirectory, const std::string& language)
{
    return executableDirectory + "lang/" + language + "/";
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
