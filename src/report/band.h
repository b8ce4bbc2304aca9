#pragma once

#include "report/control.h"

#include <QString>

#include <functional>
#include <vector>

namespace movilibro::report {

enum class BandKind
{
    PageHeader,
    GroupHeader,
    Detail,
    GroupFooter,
    PageFooter
};

// A horizontal strip of the report printed as one piece: never split across
// pages. Group headers break whenever their group field changes.
class Band
{
public:
    using Hook = std::function<void(Band&)>;

    Band(const QString& name, BandKind kind, int height);

    const QString& name() const { return m_name; }
    BandKind kind() const { return m_kind; }
    int height() const { return m_height; }
    void setHeight(int twips) { m_height = twips; }
    bool isVisible() const { return m_visible; }
    void setVisible(bool visible) { m_visible = visible; }
    // Group headers only; empty keeps every record in one group.
    const QString& groupField() const { return m_groupField; }
    void setGroupField(const QString& field) { m_groupField = field; }

    Control& add(Control control);
    std::vector<Control>& controls() { return m_controls; }
    const std::vector<Control>& controls() const { return m_controls; }
    // nullptr when the band has no such control.
    Control* control(const QString& name);
    // Throws std::out_of_range when the band has no such control.
    Control& at(const QString& name);

    // Format runs once the band's values are set and before it is placed;
    // BeforePrint runs when its values are final, just before it prints.
    // Both change what the band shows, never its height or visibility: the
    // pages are broken before any hook runs.
    void setFormatHook(Hook hook) { m_format = std::move(hook); }
    void setBeforePrintHook(Hook hook) { m_beforePrint = std::move(hook); }
    void runFormat();
    void runBeforePrint();

private:
    QString m_name;
    BandKind m_kind;
    int m_height;
    bool m_visible = true;
    QString m_groupField;
    std::vector<Control> m_controls;
    Hook m_format;
    Hook m_beforePrint;
};

} // namespace movilibro::report
