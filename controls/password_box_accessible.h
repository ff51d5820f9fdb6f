#pragma once

namespace orvane {

// Makes every PasswordBox known to assistive technology as a password field
// that never tells what it holds. Safe to call more than once.
void installPasswordBoxAccessibility();

} // namespace orvane
