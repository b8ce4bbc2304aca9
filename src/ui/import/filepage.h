#pragma once

#include "ui/import/importpage.h"

class QLineEdit;
class QPushButton;

namespace movilibro {

class ImportSession;

// 1. The statement file.
class FilePage : public ImportPage
{
    Q_OBJECT
public:
    FilePage(ImportSession& session, QWidget* parent = nullptr);

    bool isComplete() const override;
    bool validatePage() override;
    int nextId() const override;

private:
    void browse();

    ImportSession& m_session;
    QLineEdit* txtFile;
    QPushButton* cmdSfoglia;
};

} // namespace movilibro
