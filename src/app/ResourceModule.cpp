#include "app/ResourceModule.h"

#include <QFile>
#include <QFileInfo>
#include <QResource>

#include <atomic>

namespace {

// Each loaded bundle gets a root of its own, so that a module being released
// never hides one being loaded.
QString NextMapRoot()
{
    static std::atomic<int> counter{0};
    return QStringLiteral("/kvlang%1").arg(++counter);
}

} // namespace

ResourceModule::ResourceModule(std::string fileName, QString root, bool registered)
    : m_fileName(std::move(fileName)), m_root(std::move(root)), m_registered(registered)
{
    if (m_registered)
        m_mapRoot = m_root.mid(1);
}

ResourceModule::ResourceModule(ResourceModule&& other) noexcept
    : m_fileName(std::move(other.m_fileName)),
      m_root(std::move(other.m_root)),
      m_mapRoot(std::move(other.m_mapRoot)),
      m_registered(other.m_registered)
{
    other.m_registered = false;
}

ResourceModule ResourceModule::Own(const std::string& executableFileName)
{
    return ResourceModule(executableFileName, QStringLiteral(":/tolvane"), false);
}

std::unique_ptr<ResourceModule> ResourceModule::Load(const std::string& fileName)
{
    const QString mapRoot = NextMapRoot();
    if (!QResource::registerResource(QString::fromStdString(fileName), mapRoot))
        return nullptr;
    return std::unique_ptr<ResourceModule>(new ResourceModule(fileName, QLatin1Char(':') + mapRoot, true));
}

ResourceModule::~ResourceModule()
{
    if (m_registered)
        QResource::unregisterResource(QString::fromStdString(m_fileName), m_mapRoot);
}

QString ResourceModule::ResourcePath(const QString& relativePath) const
{
    return m_root + QLatin1Char('/') + relativePath;
}

bool ResourceModule::Contains(const QString& relativePath) const
{
    return QFileInfo(ResourcePath(relativePath)).isFile();
}

std::optional<QByteArray> ResourceModule::Read(const QString& relativePath) const
{
    QFile file(ResourcePath(relativePath));
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return file.readAll();
}
