#include "ui/main/frmmain.h"
#include "ui/main/gridmenu.h"
#include "ui/main/journalhistory.h"

namespace movilibro {

// The row commands do exactly what the toolbar's do; the rest are the history's.
void frmMain::buildGridMenu()
{
    m_gridMenu = new GridMenu(*m_gex, [this] { return currentEntryId().has_value(); });
    const auto toolbar = [this](const char* key) {
        return [this, key] { onToolbarCommand(QString::fromLatin1(key)); };
    };
    m_gridMenu->addCommand(QStringLiteral("mnuNuovo"), QStringLiteral("Nuovo"), QStringLiteral("F5"), false,
                           toolbar("new"));
    m_gridMenu->addCommand(QStringLiteral("mnuModifica"), QStringLiteral("Modifica"), QStringLiteral("Invio"),
                           true, toolbar("edit"));
    m_gridMenu->addCommand(QStringLiteral("mnuElimina"), QStringLiteral("Elimina"), QStringLiteral("Canc"),
                           true, toolbar("delete"));
    m_gridMenu->addSeparator();
    m_gridMenu->addAction(m_history->action(QStringLiteral("actUndo")));
    m_gridMenu->addAction(m_history->action(QStringLiteral("actRedo")));
    m_gridMenu->addSeparator();
    m_gridMenu->addCommand(QStringLiteral("mnuCestino"), QStringLiteral("Cestino…"),
                           QStringLiteral("Ctrl+Maiusc+Canc"), false, [this] { m_history->showBin(); });
    m_gridMenu->addCommand(QStringLiteral("mnuStoria"), QStringLiteral("Storia…"), QStringLiteral("Ctrl+H"),
                           true, [this] { m_history->showEntryHistory(); });
    m_gridMenu->addCommand(QStringLiteral("mnuRegistro"), QStringLiteral("Registro delle modifiche…"),
                           QStringLiteral("Ctrl+Maiusc+H"), false, [this] { m_history->showPeriodLog(); });
}

} // namespace movilibro
