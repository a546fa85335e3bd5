#pragma once
// The one QApplication of a skin test process, made before the first test and destroyed after
// the last, so that suites can create pixmaps, icons and widgets in any order.

#include <QApplication>

namespace tachy::test {

QApplication& skinTestApplication();

} // namespace tachy::test
