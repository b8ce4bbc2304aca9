#include "report/band.h"

#include <stdexcept>

namespace movilibro::report {

Band::Band(const QString& name, BandKind kind, int height) : m_name(name), m_kind(kind), m_height(height) {}

Control& Band::add(Control control)
{
    m_controls.push_back(std::move(control));
    return m_controls.back();
}

Control* Band::control(const QString& name)
{
    for (auto& control : m_controls) {
        if (control.name == name) {
            return &control;
        }
    }
    return nullptr;
}

Control& Band::at(const QString& name)
{
    if (auto* found = control(name)) {
        return *found;
    }
    throw std::out_of_range("no control " + name.toStdString() + " in band " + m_name.toStdString());
}

void Band::runFormat()
{
    if (m_format) {
        m_format(*this);
    }
}

void Band::runBeforePrint()
{
    if (m_beforePrint) {
        m_beforePrint(*this);
    }
}

} // namespace movilibro::report
