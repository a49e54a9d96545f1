// Extraction of cabinet archives through the system's cabinet library (its
// decompression interface), for checking what the log archives hold.
#pragma once

#include <string>

// Extracts every file of the cabinet (and of the cabinets that continue it,
// found beside it) into folder. False when the library refuses the cabinet.
bool ExtractCabinet(const std::string& cabinetPath, const std::string& folder);
