#pragma once
// The one QApplication of a skin test process, made on first use and kept until the process
// ends, so that suites can create pixmaps, icons and widgets in any order.

#include <QApplication>

namespace tachy::test {

QApplication& skinTestApplication();

} // namespace tachy::test
