#pragma once

#include "app/viewstate.h"

#include <QWidget>

namespace movilibro {

// The program's main window.
class frmMain : public QWidget, public JournalView
{
    Q_OBJECT
public:
    explicit frmMain(QWidget* parent = nullptr);
    ~frmMain() override;

    const ViewState& viewState() const override { return m_state; }
    void setWorkingDate(const QDate& date) override;
    void SettaAmbiente() override;
    void gexsBind() override;

private:
    ViewState m_state;
};

} // namespace movilibro
