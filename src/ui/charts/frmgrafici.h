#pragma once

#include "charts/chartdata.h"
#include "search/searchquery.h"
#include "ui/charts/chartbuilder.h"

#include <QWidget>

#include <array>
#include <functional>

class QChartView;
class QCheckBox;
class QLabel;
class QPushButton;
class QStackedWidget;
class QTabWidget;

namespace movilibro {

namespace grid {
class GroupedGrid;
}

// The charts of the selected period (modeless): "Saldo", "Entrate e uscite"
// and "Per conto", drawn from the entries the journal grid shows. A click on
// a period's bar shows that period in the journal, one on an account's bar
// searches the journal for the account. Opens beside the main window where
// the screen has room, then where it was last closed.
class frmGrafici : public QWidget
{
    Q_OBJECT
public:
    // What the main window shows: its period, date grouping and filter.
    struct View
    {
        DateRange period;
        int kind = 0;
        search::Filter filter;
    };
    // What a click on a bar asks of the main window.
    struct Links
    {
        std::function<void(const DateRange&)> showPeriod;
        std::function<void(const QString&)> searchAccount;
    };

    frmGrafici(grid::GroupedGrid& gex, std::function<View()> view, Links links, QWidget* parent = nullptr);

    // The journal was shown again: redraw now if open, else when next shown.
    void journalChanged();
    // Reads the grid and draws the three charts.
    void refresh();

    const charts::ChartData& data() const { return m_data; }
    QChartView* chartView(charts::ChartKind kind) const { return m_views[size_t(kind)]; }
    const charts::BuiltChart& built(charts::ChartKind kind) const { return m_built[size_t(kind)]; }
    charts::ChartKind currentKind() const;

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildWindow();
    void place();
    void showCaption();
    void showTip(charts::ChartKind kind, const QString& text);
    QChartView* newView(charts::ChartKind kind);
    void draw(charts::ChartKind kind);
    void wire(charts::ChartKind kind);
    void showLineTip(charts::ChartKind kind, size_t line, const QPointF& point, bool hovered);
    void showBarTip(charts::ChartKind kind, bool hovered, int index);
    void onBarClicked(charts::ChartKind kind, int index);
    void exportChart();

    grid::GroupedGrid& m_gex;
    std::function<View()> m_view;
    Links m_links;
    View m_shown;
    charts::ChartData m_data;
    std::array<charts::BuiltChart, 3> m_built;
    std::array<QChartView*, 3> m_views{};
    QLabel* m_caption;
    QStackedWidget* m_pages;
    QLabel* m_empty;
    QTabWidget* m_tabs;
    QCheckBox* m_perAccount;
    QPushButton* m_export;
    bool m_dirty = true;
    bool m_scheduled = false;
    bool m_placed = false;
    // What the pointer rests on, said again when Qt asks for a tooltip there.
    QString m_tip;
};

} // namespace movilibro
