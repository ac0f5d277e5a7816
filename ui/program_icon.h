#pragma once
// The program's icon: the installed theme icon "org.ulmen.vesk" (data/org.ulmen.vesk.svg) when
// the desktop has it, else the same picture drawn here, so a build run from its folder has one.

#include <QIcon>

namespace vesk {

QIcon programIcon();

} // namespace vesk
