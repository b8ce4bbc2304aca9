#pragma once

namespace movilibro::report {

// A place in the run of bands: before `step` of `row`. Each row runs
// through its group headers (step 0), its detail (1), then its group
// footers from the innermost out (2, 3, ...).
struct LayoutStep
{
    int row = 0;
    int step = 0;

    friend auto operator<=>(const LayoutStep&, const LayoutStep&) = default;
};

} // namespace movilibro::report
