#pragma once

#include "ui/import/importsession.h"

#include <QWizard>

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

    // Esc or "Annulla" on the review page asks before the reviewed movements are dropped.
    void reject() override;

private:
    ImportSession m_session;
    ReviewPage* m_review;
};

} // namespace movilibro
