#pragma once
// Small builders shared by the list windows: wrapped labels, named buttons and memo texts.

#include <QString>
#include <string>
#include <string_view>
#include <vector>

class QLabel;
class QPushButton;
class QWidget;

namespace vesk {

QLabel* makeLabel(const char* text, QWidget* parent);
QPushButton* makeButton(const char* name, const char* caption, QWidget* parent);
// The entries one per line, as a memo shows them.
QString memoText(const std::vector<std::string>& entries, QString (*display)(std::string_view));

} // namespace vesk
