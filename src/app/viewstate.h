#pragma once

#include "db/periods.h"

#include <QDate>

#include <vector>

namespace movilibro {

// The main window's view state that the dialogs and the report read.
struct ViewState
{
    QDate workingDate;
    int startingMonth = 1;
    int dateGrouping = 0;
    int layout = 0;
    DateRange fiscalYear;
    DateRange selected;
};

// What the dialogs need from the main window: its state and its reloads.
class JournalView
{
public:
    virtual ~JournalView() = default;
    virtual const ViewState& viewState() const = 0;
    virtual void setWorkingDate(const QDate& date) = 0;
    virtual void SettaAmbiente() = 0;
    virtual void gexsBind() = 0;
    // A write was made, as these lines of the change log: a step to undo.
    virtual void recorded(const std::vector<qint64>& logLines) = 0;
};

} // namespace movilibro
