#pragma once

#include <QString>
#include <QStringList>

#include <deque>

class QWidget;

namespace movilibro {

// Message box styles of the program: notice, confirmation, start-up failure.
enum class MsgStyle
{
    Ok = 0,
    YesNo = 4,
    Critical = 16
};
enum class Answer
{
    Ok,
    Yes,
    No
};

// Every question the program asks the user goes through here, so that tests
// can script the answers instead of blocking on a modal dialog.
class Prompt
{
public:
    virtual ~Prompt() = default;

    // Title is always the application's title.
    virtual Answer message(QWidget* parent, const QString& text, MsgStyle style) = 0;
    // A folder path, or empty when cancelled.
    virtual QString chooseFolder(QWidget* parent, const QString& prompt) = 0;
    // A full file path as the user gave it (no suffix added, no question about
    // replacing a file: the caller knows the name it will write), or empty when
    // cancelled. `filters` as Qt name filters; the dialog opens on `proposed`
    // (a folder and a file name); `selectedFilter` receives the filter picked.
    virtual QString saveFile(QWidget* parent, const QStringList& filters, const QString& proposed,
                             QString* selectedFilter = nullptr) = 0;
    // An existing file to read, or empty when cancelled; the dialog opens in
    // the folder of `proposed` (or the documents folder when it is empty).
    virtual QString openFile(QWidget* parent, const QStringList& filters, const QString& proposed) = 0;

    static Prompt& instance();
    // Replaces the prompt in use (not owned); nullptr restores the real dialogs.
    static void setInstance(Prompt* prompt);
};

// The real dialogs.
class DialogPrompt : public Prompt
{
public:
    Answer message(QWidget* parent, const QString& text, MsgStyle style) override;
    QString chooseFolder(QWidget* parent, const QString& prompt) override;
    QString saveFile(QWidget* parent, const QStringList& filters, const QString& proposed,
                     QString* selectedFilter) override;
    QString openFile(QWidget* parent, const QStringList& filters, const QString& proposed) override;
};

// Scripted answers for tests; records what was asked.
class ScriptedPrompt : public Prompt
{
public:
    struct Shown
    {
        QString text;
        MsgStyle style;
    };

    void setNextAnswer(Answer answer) { m_answers.push_back(answer); }
    void setNextFolder(const QString& folder) { m_folders.push_back(folder); }
    void setNextSaveFile(const QString& path, const QString& filter = {})
    {
        m_saveFiles.push_back({path, filter});
    }
    void setNextOpenFile(const QString& path) { m_openFiles.push_back(path); }

    Answer message(QWidget* parent, const QString& text, MsgStyle style) override;
    QString chooseFolder(QWidget* parent, const QString& prompt) override;
    QString saveFile(QWidget* parent, const QStringList& filters, const QString& proposed,
                     QString* selectedFilter) override;
    QString openFile(QWidget* parent, const QStringList& filters, const QString& proposed) override;

    QList<Shown> messages;
    QStringList folderPrompts;
    QList<QStringList> saveFilters;
    QStringList proposedFiles;
    QList<QStringList> openFilters;

private:
    std::deque<Answer> m_answers;
    std::deque<QString> m_folders;
    std::deque<std::pair<QString, QString>> m_saveFiles;
    std::deque<QString> m_openFiles;
};

// Installs a ScriptedPrompt for the life of the object.
class ScopedScriptedPrompt : public ScriptedPrompt
{
public:
    ScopedScriptedPrompt() { Prompt::setInstance(this); }
    ~ScopedScriptedPrompt() override { Prompt::setInstance(nullptr); }
};

} // namespace movilibro
