#pragma once

#include "mainwindowfixture.h"

#include <QStringList>

#include <memory>

class QDialog;

namespace movilibro::test {

// The main window open and active on a journal in a fresh home, with its
// reloads recorded in order.
class DialogFixture
{
public:
    explicit DialogFixture(const QDate& today = QDate(2024, 3, 15));

    Journal& journal() { return m_base.journal(); }
    frmMain& main() { return m_base.window(); }
    ScriptedPrompt& prompt() { return m_base.prompt(); }
    // "SettaAmbiente" and "gexsBind", in the order they ran since the window opened.
    const QStringList& reloads() const { return m_reloads; }
    QStringList messageTexts() const;

private:
    MainWindowFixture m_base;
    QStringList m_reloads;
};

// Holds the journal's write lock from another connection, as another program would.
class WriteLock
{
public:
    explicit WriteLock(const Journal& journal);
    void release();

private:
    db::Connection m_conn;
    bool m_held = true;
};

} // namespace movilibro::test
