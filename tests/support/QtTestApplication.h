#pragma once
// The one QApplication of a test process, made before the first test and destroyed after
// the last, so that suites can create pixmaps, icons and widgets in any order.

#include <QApplication>

namespace tachy::test {

QApplication& testApplication();

} // namespace tachy::test
