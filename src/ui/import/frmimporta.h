#pragma once

#include "ui/import/importsession.h"

#include "reconcile/sheet.h"

#include <QWizard>

#include <optional>

namespace movilibro {

class JournalView;
class ReviewPage;

// The assistant that brings a bank statement into the journal: file, columns
// (CSV only), account, review. Nothing is written before "Importa".
class frmImporta : public QWizard
{
    Q_OBJECT
public:
    explicit frmImporta(QWidget* parent = nullptr);

    // Runs the assistant modally; after an import the journal is reloaded and
    // the user told what came in. True when something was imported.
    bool Mostra(JournalView& view);

    // After an import of a statement with a closing balance, when the user
    // asked to reconcile the account with it.
    const std::optional<reconcile::StatementTarget>& reconcileAsked() const { return m_reconcile; }

    // Esc or "Annulla" on the review page asks before the reviewed movements are dropped.
    void reject() override;

private:
    QString balanceCheck() const;

    ImportSession m_session;
    ReviewPage* m_review;
    std::optional<reconcile::StatementTarget> m_reconcile;
};

} // namespace movilibro
