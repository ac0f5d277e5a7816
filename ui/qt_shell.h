#pragma once
// The window's Shell: programs and documents start as PosixShell starts them; the clipboard is
// the desktop's.

#include "lib/posix_shell.h"

namespace vesk {

class QtShell final : public PosixShell {
public:
    void setClipboardText(std::string_view text) override;
};

} // namespace vesk
