#pragma once
// Lays the system report out as blocks: a line of 80 '=', a section title, a line of 70 '-',
// the properties, and a closing line of 80 '-'; lines end in "\r\n".

#include "platform/system/SystemReport.h"

#include <string>

namespace util {

std::string systemReportText(const tachy::SystemReport& report);

} // namespace util
