#include "report/document.h"

namespace movilibro::report {

const PlacedItem* PlacedBand::item(const QString& itemName) const
{
    for (const auto& placed : items) {
        if (placed.name == itemName) {
            return &placed;
        }
    }
    return nullptr;
}

} // namespace movilibro::report
