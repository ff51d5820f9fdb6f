#pragma once

namespace orvane {

// Makes every SkinnedWindow known to assistive technology as a window, named
// by its caption. Safe to call more than once.
void installSkinnedWindowAccessibility();

} // namespace orvane
