#include "app/frmforfolders.h"

#include "app/mainmod.h"
#include "settings/registrystore.h"
#include "settings/registrywrappers.h"
#include "ui/prompt/prompt.h"

#include <QDir>

namespace movilibro {

frmForFolders::frmForFolders(QWidget* parent) : QWidget(parent)
{
    setWindowTitle(QStringLiteral("Form1"));
}

QString frmForFolders::promptText()
{
    return QStringLiteral("Scegliere la cartella del database di Movilibro (verrà usata al prossimo avvio):");
}

QString frmForFolders::storedText()
{
    return QStringLiteral("La cartella è stata memorizzata.\r\nAl prossimo avvio Movilibro userà il database "
                          "in questa cartella, creandolo se non esiste.");
}

QString frmForFolders::storeFailureText()
{
    const QString store = RegistryStore::filePath();
    const QString what = store.isEmpty()
                             ? QStringLiteral("Manca la cartella delle impostazioni dell'utente.")
                             : QStringLiteral("Il file delle impostazioni %1 non si può scrivere.")
                                   .arg(QDir::toNativeSeparators(store));
    return QStringLiteral("Impossibile memorizzare la cartella scelta.\r\n") + what;
}

std::optional<QString> frmForFolders::BrowseForFolder(const QString& prompt)
{
    const QString chosen = Prompt::instance().chooseFolder(this, prompt);
    if (chosen.isEmpty())
        return std::nullopt;
    QString path = QDir::toNativeSeparators(chosen);
    if (path.endsWith(QDir::separator()))
        path.chop(1);
    return path;
}

void frmForFolders::Apri()
{
    const std::optional<QString> folder = BrowseForFolder(promptText());
    if (!folder)
        return;
    try {
        WriteRegistryValue(HKEY_CURRENT_USER, mainmod::SettingsKey, REG_SZ, QStringLiteral("appset_curdb"),
                           *folder);
    } catch (const RegistryError&) {
        Prompt::instance().message(this, storeFailureText(), MsgStyle::Critical);
        return;
    }
    Prompt::instance().message(this, storedText(), MsgStyle::Ok);
}

} // namespace movilibro
