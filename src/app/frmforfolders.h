#pragma once

#include <QString>
#include <QWidget>

#include <optional>

namespace movilibro {

// Never shown: it owns the folder chooser offered when the journal cannot be used.
class frmForFolders : public QWidget
{
    Q_OBJECT
public:
    explicit frmForFolders(QWidget* parent = nullptr);

    // Asks for a folder and stores it for the next start.
    void Apri();
    // The chosen folder without a trailing separator ("/" gives the empty
    // text); nullopt when cancelled.
    std::optional<QString> BrowseForFolder(const QString& prompt);

    static QString promptText(); // 1401
    static QString storedText(); // 1402
    // When the settings store cannot be written: which file, in Italian.
    static QString storeFailureText();
};

} // namespace movilibro
