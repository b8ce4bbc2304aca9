#pragma once

#include <QObject>

class TestGridData : public QObject
{
    Q_OBJECT

private slots:
    void newRowsAreEmpty();
    void cellsKeepTheirValues();
    void boxedValues();
    void changingATypeEmptiesTheColumn();
    void misuseThrows();
    void colorsFromBgr_data();
    void colorsFromBgr();
};
