#include "ui/main/maintoolbar.h"

#include <QAction>
#include <QIcon>
#include <QMenu>
#include <QProxyStyle>
#include <QToolButton>

#include <algorithm>

namespace movilibro {

namespace {
const QChar Quote = u'"';

// Buttons a little narrower than the style makes them, so that every command
// and the search fit side by side in the window's fixed width.
class CompactButtonStyle : public QProxyStyle
{
public:
    QSize sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& size,
                           const QWidget* widget) const override
    {
        QSize hint = QProxyStyle::sizeFromContents(type, option, size, widget);
        if (type == CT_ToolButton)
            hint.setWidth(std::max(hint.width() - 4, size.width() + 2));
        return hint;
    }
};
} // namespace

MainToolbar::MainToolbar(QWidget* parent) : QToolBar(parent)
{
    setObjectName(QStringLiteral("tb"));
    setMovable(false);
    setFloatable(false);
    setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    setIconSize(QSize(24, 24));
    m_buttonStyle = new CompactButtonStyle;
    m_buttonStyle->setParent(this);

    addCommand(QStringLiteral("new"), QStringLiteral("Nuovo"),
               QStringLiteral("Nuova registrazione di Movilibro"));
    addCommand(QStringLiteral("edit"), QStringLiteral("Modifica"),
               QStringLiteral("Modifica la registrazione di Movilibro corrente"));
    addCommand(QStringLiteral("delete"), QStringLiteral("Elimina"),
               QStringLiteral("Elimina la registrazione di Movilibro corrente"));
    addSeparator();
    addCommand(QStringLiteral("print"), QStringLiteral("Stampa"),
               QStringLiteral("Stampa il foglio di Movilibro"));
    addCommand(QStringLiteral("export"), QStringLiteral("PDF"), QStringLiteral("Esporta il foglio attivo"));
    addSeparator();
    addCommand(QStringLiteral("import"), QStringLiteral("Importa"),
               QStringLiteral("Importa un estratto conto"));
    addSeparator();
    addCommand(QStringLiteral("tools"), QStringLiteral("Strumenti"),
               QStringLiteral("Strumento ") + Quote + QStringLiteral("Elimina registrazioni fino al...") +
                   Quote);
    addSeparator();
    addCommand(QStringLiteral("charts"), QStringLiteral("Grafici"), QStringLiteral("Grafici del periodo"));
    addSeparator();
    addCommand(QStringLiteral("view"), QStringLiteral("Struttura"),
               QStringLiteral("Modifica la modalità di visualizzazione del foglio di Movilibro"));
    addCommand(QStringLiteral("expand"), QStringLiteral("Espandi"),
               QStringLiteral("Espande tutte le righe del foglio di Movilibro"));
    addCommand(QStringLiteral("collapse"), QStringLiteral("Compatta"),
               QStringLiteral("Compatta tutte le righe del foglio di Movilibro"));
    addSeparator();
    addCommand(QStringLiteral("help"), QStringLiteral("Guida"), QStringLiteral("Guida in linea"));
    addCommand(QStringLiteral("about"), QStringLiteral("Info"), QStringLiteral("Informazioni su Movilibro"));
    addSeparator();
    addCommand(QStringLiteral("close"), QStringLiteral("Chiudi"), QStringLiteral("Chiudi"));

    m_viewMenu = new QMenu(this);
    m_viewMenu->setObjectName(QStringLiteral("viewMenu"));
    const char* const items[] = {"Non raggruppare", "Per Periodo", "Per Conto", "Per Periodo e Conto",
                                 "Per Conto e Periodo"};
    for (int i = 0; i < 5; ++i) {
        QAction* item = m_viewMenu->addAction(QString::fromUtf8(items[i]));
        item->setObjectName(QStringLiteral("viewMenu_%1").arg(i + 1));
        connect(item, &QAction::triggered, this, [this, i] { emit menuItemClicked(i + 1); });
    }
    QAction* view = action(QStringLiteral("view"));
    view->setMenu(m_viewMenu);
    if (auto* button = qobject_cast<QToolButton*>(widgetForAction(view)))
        button->setPopupMode(QToolButton::MenuButtonPopup);
}

void MainToolbar::addCommand(const QString& key, const QString& caption, const QString& tooltip)
{
    QAction* a = addAction(QIcon(QStringLiteral(":/icons/%1.svg").arg(key)), caption);
    a->setObjectName(key);
    a->setToolTip(tooltip);
    connect(a, &QAction::triggered, this, [this, key] { emit command(key); });
    m_actions.insert(key, a);
    if (QWidget* button = widgetForAction(a))
        button->setStyle(m_buttonStyle);
}

const QStringList& MainToolbar::rowCommandKeys()
{
    static const QStringList keys = {
        QStringLiteral("edit"), QStringLiteral("delete"), QStringLiteral("print"),   QStringLiteral("export"),
        QStringLiteral("view"), QStringLiteral("expand"), QStringLiteral("collapse")};
    return keys;
}

} // namespace movilibro
