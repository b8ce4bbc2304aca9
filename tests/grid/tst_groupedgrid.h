#pragma once

#include <QObject>

class TestGroupedGrid : public QObject
{
    Q_OBJECT

private slots:
    void modelPassesTester_data();
    void modelPassesTester();
    void cellTexts_data();
    void cellTexts();
    void groupHeadersSpanTheRow();
    void appearance();
    void focusGoesToTheView();
    void columnsByKey();
    void namedStylesAreLayered_data();
    void namedStylesAreLayered();
    void rowFormatHookAppliesWhenDrawn();
    void rowFormatHookIsAskedOncePerRefresh();
    void failingHookLeavesRowPlain();
    void overflowingTotalIsMarked();
    void expandAndCollapseThroughTheView();
    void collapsingMovesCurrentToVisibleHeader();
    void currentRowAndNavigator();
    void keyDownComesBeforeTheView_data();
    void keyDownComesBeforeTheView();
    void enterReachesTheOwner();
    void doubleClickOnARow();
    void emptyingTheDataEmptiesTheView();
};
