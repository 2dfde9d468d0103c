#include "XdgFolders.h"

#include <QDir>

namespace XdgFolders {
namespace {

QString base(const char *variable, const QString &underHome)
{
    // The rules ignore a relative value.
    const QString value = qEnvironmentVariable(variable);
    if (!value.isEmpty() && QDir::isAbsolutePath(value))
        return QDir::cleanPath(value);
    const QString home = qEnvironmentVariable("HOME");
    if (home.isEmpty() || !QDir::isAbsolutePath(home))
        return QString();
    return QDir::cleanPath(home) + u'/' + underHome;
}

} // namespace

QString configHome() { return base("XDG_CONFIG_HOME", QStringLiteral(".config")); }
QString dataHome() { return base("XDG_DATA_HOME", QStringLiteral(".local/share")); }

} // namespace XdgFolders
