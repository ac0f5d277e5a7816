#pragma once
// The program's icon: the installed theme icon "vesk" (data/vesk.svg) when the desktop has it,
// else the same picture drawn here, so a build run from its folder has an icon too.

#include <QIcon>

namespace vesk {

QIcon programIcon();

} // namespace vesk
