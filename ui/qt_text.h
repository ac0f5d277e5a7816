#pragma once
// Byte strings of the core shown in Qt widgets and back. Display only: a text is decoded as UTF-8
// when it is valid UTF-8 and as Latin-1 otherwise; what the user types goes back as UTF-8.

#include <QString>
#include <string>
#include <string_view>

namespace vesk {

QString toQt(std::string_view bytes);
// Whether toQt decodes `bytes` as UTF-8 (else they show as Latin-1, one character a byte).
bool isUtf8Text(std::string_view bytes);
std::string fromQt(const QString& text);
// File and folder names use the platform's file-name encoding.
QString fileNameToQt(std::string_view name);
std::string fileNameFromQt(const QString& name);

} // namespace vesk
