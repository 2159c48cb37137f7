#pragma once

namespace kesto {

struct AppContext;

// Creates every secondary window once, in the start-up order, hidden, each registered in the
// context by its objectName. Called by the main window right after its own creation.
void createSecondaryWindows(AppContext &ctx);

} // namespace kesto
