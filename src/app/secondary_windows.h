#pragma once

namespace kesto {

struct AppContext;

// Creates every secondary window once, in the start-up order, hidden, each registered in the
// context by its objectName. Called by the main window right after its own creation.
//
// The windows have no parent: a parent's disabled state would reach them, and the firmware and
// progress windows must work while the main window is disabled. They do not keep the program
// running once the main window is closed; destroySecondaryWindows() frees them.
void createSecondaryWindows(AppContext &ctx);
void destroySecondaryWindows(AppContext &ctx);

} // namespace kesto
