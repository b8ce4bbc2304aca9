#pragma once

#include "statement/statement.h"
#include "ui/import/importpage.h"

#include <optional>

class QLabel;
class QTableView;

namespace movilibro {

class ImportSession;
class ReviewModel;

// 4. Every movement with its tick; "Importa" writes the ticked ones.
class ReviewPage : public ImportPage
{
    Q_OBJECT
public:
    ReviewPage(ImportSession& session, QWidget* parent = nullptr);

    void initializePage() override;
    void cleanupPage() override;
    bool isComplete() const override;
    bool validatePage() override;

    // After a successful import: how many came in and how many were left out.
    std::optional<statement::ImportResult> result() const { return m_result; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showCounts();

    ImportSession& m_session;
    QTableView* tblMovimenti;
    ReviewModel* m_review;
    QLabel* lblConteggio;
    std::optional<statement::ImportResult> m_result;
};

} // namespace movilibro
