#include "app/mainmod.h"

#include "app/seams.h"
#include "db/connstring.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QStandardPaths>
#include <QThread>
#include <QWidget>

namespace movilibro::mainmod {

QStringList PeriodNames;
QString DBFolder;
QString ConnString;
QString AppTitle;
QString HelpFile;

QString databaseFilePath()
{
    return QDir::toNativeSeparators(DBFolder + QDir::separator() + DatabaseFileName);
}

namespace {
QString g_programFolder;
}

QString programFolder()
{
    return g_programFolder.isEmpty() ? QCoreApplication::applicationDirPath() : g_programFolder;
}

void setProgramFolder(const QString& folder)
{
    g_programFolder = folder;
}

void RemoveCloseMenu(QWidget* form)
{
    form->setWindowFlag(Qt::WindowCloseButtonHint, false);
    form->setWindowFlag(Qt::WindowSystemMenuHint, false);
}

QString GetLocaleString()
{
    return QLocale().decimalPoint();
}

void ShortPause()
{
    if (Pauses::shortMs() > 0)
        QThread::msleep(Pauses::shortMs());
}

void LongPause()
{
    if (Pauses::longMs() > 0)
        QThread::msleep(Pauses::longMs());
}

QString DefaultDatabaseFolder()
{
    QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (documents.isEmpty())
        documents = QDir::homePath();
    const QString folder = QDir::cleanPath(documents + QDir::separator() + QStringLiteral("MovilibroDB"));
    if (!QFileInfo::exists(folder))
        QDir().mkpath(folder);
    return QDir::toNativeSeparators(folder);
}

} // namespace movilibro::mainmod
