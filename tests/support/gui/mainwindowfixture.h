#pragma once

#include "testsupport.h"
#include "ui/main/frmmain.h"
#include "ui/prompt/prompt.h"

#include <memory>

namespace movilibro::test {

// A journal in a fresh home, today pinned, and the real main window opened on it.
class MainWindowFixture
{
public:
    explicit MainWindowFixture(const QDate& today = QDate(2024, 3, 15));
    ~MainWindowFixture();

    Journal& journal() { return m_journal; }
    // Shows the window; the test fails if it never becomes active.
    frmMain& open();
    frmMain& window() { return *m_window; }
    ScriptedPrompt& prompt() { return m_prompt; }
    // "SettaAmbiente" and "gexsBind", in the order they ran since the window opened.
    const QStringList& reloads() const { return m_reloads; }

    // Text the grid draws in a column of display row p (column 0: caption).
    QString shown(int p, int column) const;
    // Balance of display row p, in ten-thousandths.
    qint64 balance(int p) const;
    qint64 idAt(int p) const;

private:
    TestHome m_home;
    Journal m_journal;
    ScopedScriptedPrompt m_prompt;
    std::unique_ptr<frmMain> m_window;
    QStringList m_reloads;
};

} // namespace movilibro::test
