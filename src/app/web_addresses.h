#pragma once

namespace kesto {

// Where the version messages send the user; the messages append "?a=kesto" or "?a=com".
inline constexpr const char *kDownloadAddress = "https://kesto.example/download";
inline constexpr const char *kPortInstructionsAddress = "https://kesto.example/com-port";

} // namespace kesto
