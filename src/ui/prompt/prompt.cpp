#include "ui/prompt/prompt.h"

#include "app/mainmod.h"
#include "ui/prompt/qttexts.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QStandardPaths>

namespace movilibro {

namespace {
Prompt* g_override = nullptr;
} // namespace

Prompt& Prompt::instance()
{
    static DialogPrompt real;
    return g_override ? *g_override : real;
}

void Prompt::setInstance(Prompt* prompt)
{
    g_override = prompt;
}

Answer DialogPrompt::message(QWidget* parent, const QString& text, MsgStyle style)
{
    installItalianQtTexts();
    QMessageBox box(parent);
    box.setWindowTitle(mainmod::AppTitle.isEmpty() ? mainmod::ApplicationTitle : mainmod::AppTitle);
    box.setText(text);
    switch (style) {
    case MsgStyle::Ok:
        box.setIcon(QMessageBox::NoIcon);
        box.setStandardButtons(QMessageBox::Ok);
        break;
    case MsgStyle::YesNo:
        box.setIcon(QMessageBox::NoIcon);
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::Yes);
        break;
    case MsgStyle::Critical:
        box.setIcon(QMessageBox::Critical);
        box.setStandardButtons(QMessageBox::Ok);
        break;
    }
    const int result = box.exec();
    if (style != MsgStyle::YesNo)
        return Answer::Ok;
    return result == QMessageBox::Yes ? Answer::Yes : Answer::No;
}

QString DialogPrompt::chooseFolder(QWidget* parent, const QString& prompt)
{
    installItalianQtTexts();
    return QFileDialog::getExistingDirectory(parent, prompt, QString(), QFileDialog::ShowDirsOnly);
}

QString DialogPrompt::saveFile(QWidget* parent, const QStringList& filters, const QString& proposed,
                               QString* selectedFilter)
{
    installItalianQtTexts();
    QFileDialog dialog(parent);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilters(filters);
    // The caller completes the name and asks about replacing the file it will
    // really write; a dialog asking first would ask about another name.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    const QFileInfo start(proposed);
    dialog.setDirectory(start.absolutePath());
    dialog.selectFile(start.fileName());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    if (selectedFilter)
        *selectedFilter = dialog.selectedNameFilter();
    return dialog.selectedFiles().constFirst();
}

QString DialogPrompt::openFile(QWidget* parent, const QStringList& filters, const QString& proposed)
{
    installItalianQtTexts();
    QFileDialog dialog(parent);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilters(filters);
    const QFileInfo start(proposed);
    dialog.setDirectory(proposed.isEmpty()
                            ? QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation)
                            : start.absolutePath());
    if (!proposed.isEmpty())
        dialog.selectFile(start.fileName());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

Answer ScriptedPrompt::message(QWidget*, const QString& text, MsgStyle style)
{
    messages.push_back({text, style});
    if (style != MsgStyle::YesNo)
        return Answer::Ok;
    if (m_answers.empty())
        return Answer::No;
    const Answer a = m_answers.front();
    m_answers.pop_front();
    return a;
}

QString ScriptedPrompt::chooseFolder(QWidget*, const QString& prompt)
{
    folderPrompts << prompt;
    if (m_folders.empty())
        return {};
    QString f = m_folders.front();
    m_folders.pop_front();
    return f;
}

QString ScriptedPrompt::saveFile(QWidget*, const QStringList& filters, const QString& proposed,
                                 QString* selectedFilter)
{
    saveFilters << filters;
    proposedFiles << proposed;
    if (m_saveFiles.empty())
        return {};
    auto [path, filter] = m_saveFiles.front();
    m_saveFiles.pop_front();
    if (selectedFilter)
        *selectedFilter = filter.isEmpty() && !filters.isEmpty() ? filters.first() : filter;
    return path;
}

QString ScriptedPrompt::openFile(QWidget*, const QStringList& filters, const QString&)
{
    openFilters << filters;
    if (m_openFiles.empty())
        return {};
    QString path = m_openFiles.front();
    m_openFiles.pop_front();
    return path;
}

} // namespace movilibro
