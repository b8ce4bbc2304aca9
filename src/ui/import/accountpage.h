#pragma once

#include "ui/import/importpage.h"

class QLabel;
class QListWidget;

namespace movilibro {

class DateChoiceBox;
class ImportSession;

// 3. The account the movements go to.
class AccountPage : public ImportPage
{
    Q_OBJECT
public:
    AccountPage(ImportSession& session, QWidget* parent = nullptr);

    void initializePage() override;
    bool isComplete() const override;
    bool validatePage() override;

private:
    ImportSession& m_session;
    QListWidget* lstConti;
    QLabel* lblNessunConto;
    DateChoiceBox* m_date;
};

} // namespace movilibro
