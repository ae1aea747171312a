// Writing protocol lines to standard output.
#pragma once

#include <string>

// Writes one line and flushes it at once, so the controlling program sees it.
void Send(const std::string& line);
