#pragma once

namespace orvane {

// Makes the shadowed label known to assistive technology as a label, and the
// link label as a link that can be followed through its action. Safe to call
// more than once.
void installDrawnLabelAccessibility();

} // namespace orvane
