#pragma once
// A tree of user-interface resources (strings.txt, dialogs/<id>.json,
// icons/<id>.png, version.txt): either the program's own, compiled into the
// executable, or a language module, a Qt binary resource bundle that is
// registered while the object lives.
#include <memory>
#include <optional>
#include <string>

#include <QByteArray>
#include <QString>

class ResourceModule {
public:
    // The program's own resources; `executableFileName` stands for the module's file name.
    static ResourceModule Own(const std::string& executableFileName);
    // Loads a bundle file; nullptr when it is not a resource bundle.
    static std::unique_ptr<ResourceModule> Load(const std::string& fileName);

    ~ResourceModule();
    ResourceModule(ResourceModule&& other) noexcept;
    ResourceModule& operator=(ResourceModule&&) = delete;
    ResourceModule(const ResourceModule&) = delete;
    ResourceModule& operator=(const ResourceModule&) = delete;

    // The bytes of a resource, by its path inside the tree ("dialogs/142.json").
    std::optional<QByteArray> Read(const QString& relativePath) const;
    bool Contains(const QString& relativePath) const;
    // Qt resource path of an entry (for QIcon and friends).
    QString ResourcePath(const QString& relativePath) const;

    const std::string& FileName() const { return m_fileName; }
    bool IsOwn() const { return !m_registered; }

private:
    ResourceModule(std::string fileName, QString root, bool registered);

    std::string m_fileName;
    QString m_root;           // ":/tolvane" or the map root of a bundle
    QString m_mapRoot;        // the bundle's registration root (without ':')
    bool m_registered = false;
};
