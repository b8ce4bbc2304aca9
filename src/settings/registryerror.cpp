#include "settings/registryerror.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace movilibro {

namespace {

QString executableName()
{
    if (QCoreApplication::instance())
        return QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
    return QStringLiteral("movilibro");
}

} // namespace

RegistryError::RegistryError(quint32 number, const QString& description)
    : std::runtime_error(QStringLiteral("%1 (%2)").arg(description).arg(number).toStdString()),
      m_number(number), m_source(executableName() + QStringLiteral(".comRegistry")),
      m_description(description)
{}

} // namespace movilibro
