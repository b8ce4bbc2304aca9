#include "ui/main/emptystate.h"

#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QVBoxLayout>

namespace movilibro {

EmptyStatePanel::EmptyStatePanel(QWidget* parent) : QFrame(parent)
{
    setObjectName(QStringLiteral("picVoid"));
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(252, 252, 252));
    setPalette(pal);
    setFrameShape(QFrame::StyledPanel);

    const QChar q = u'"';
    // Index order of the label array, top to bottom: 0, 1, 2, 5, 3, 4.
    const std::pair<int, QString> texts[] = {
        {0, QStringLiteral("Movilibro")},
        {1, QStringLiteral("Nessun dato presente nel periodo selezionato.")},
        {2, QStringLiteral("Per inserire una nuova registrazione")},
        {5, QStringLiteral("cliccare sul pulsante ") + q + QStringLiteral("Nuovo") + q + QStringLiteral(",")},
        {3, QStringLiteral("oppure cambiare la selezione del Periodo visibile.")},
        {4, QStringLiteral("Premere il tasto ") + q + QStringLiteral("F1") + q +
                QStringLiteral(" per visualizzare la Guida in linea.")},
    };
    auto* column = new QVBoxLayout;
    column->setSpacing(6);
    for (const auto& [index, text] : texts) {
        auto* label = new QLabel(text, this);
        label->setObjectName(QStringLiteral("lblStart_%1").arg(index));
        QFont f(index == 0 ? QStringLiteral("Tahoma") : QStringLiteral("Verdana"));
        f.setPointSizeF(index == 0 ? 20 : 9);
        f.setBold(index == 0);
        label->setFont(f);
        column->addWidget(label);
        if (index == 1)
            column->addSpacing(10);
    }
    m_needsAccount =
        new QLabel(QStringLiteral("Una registrazione richiede un conto: crearne uno con il pulsante ") + q +
                       QStringLiteral("Nuovo Conto") + q + QStringLiteral(" del riquadro Conti."),
                   this);
    m_needsAccount->setObjectName(QStringLiteral("lblNeedsAccount"));
    m_needsAccount->setFont(QFont(QStringLiteral("Verdana"), 9, QFont::Bold));
    m_needsAccount->setWordWrap(true);
    m_needsAccount->hide();
    column->addSpacing(10);
    column->addWidget(m_needsAccount);

    auto* picture = new QLabel(this);
    picture->setObjectName(QStringLiteral("imgVoid"));
    picture->setPixmap(QIcon(QStringLiteral(":/icons/empty.svg")).pixmap(96, 96));
    auto* row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(picture, 0, Qt::AlignTop);
    row->addSpacing(24);
    row->addLayout(column);
    row->addStretch();
    auto* outer = new QVBoxLayout(this);
    outer->addStretch();
    outer->addLayout(row);
    outer->addStretch(2);
}

} // namespace movilibro

namespace movilibro {

void EmptyStatePanel::setNeedsAccount(bool needed)
{
    m_needsAccount->setVisible(needed);
}

} // namespace movilibro
