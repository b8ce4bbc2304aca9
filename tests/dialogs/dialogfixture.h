#pragma once

#include "app/prompt.h"
#include "testsupport.h"
#include "ui/main/frmmain.h"

#include <QStringList>

#include <memory>

class QDialog;

namespace movilibro::test {

// A journal in a fresh home, the real main window open on it, scripted
// message boxes, and the main window's reloads recorded in order.
class DialogFixture
{
public:
    explicit DialogFixture(const QDate& today = QDate(2024, 3, 15));
    ~DialogFixture();

    Journal& journal() { return m_journal; }
    frmMain& main() { return *m_window; }
    ScriptedPrompt& prompt() { return m_prompt; }
    // "SettaAmbiente" and "gexsBind", in the order they ran since the window opened.
    const QStringList& reloads() const { return m_reloads; }
    QStringList messageTexts() const;

private:
    TestHome m_home;
    Journal m_journal;
    ScopedScriptedPrompt m_prompt;
    std::unique_ptr<frmMain> m_window;
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
