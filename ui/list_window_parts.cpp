#include "ui/list_window_parts.h"

#include <QLabel>
#include <QPushButton>
#include <QStringList>

namespace vesk {

QLabel* makeLabel(const char* text, QWidget* parent) {
    auto* l = new QLabel(QString::fromLatin1(text), parent);
    l->setWordWrap(true);
    return l;
}

QPushButton* makeButton(const char* name, const char* caption, QWidget* parent) {
    auto* b = new QPushButton(QString::fromLatin1(caption), parent);
    b->setObjectName(QString::fromLatin1(name));
    return b;
}

QString memoText(const std::vector<std::string>& entries, QString (*display)(std::string_view)) {
    QStringList lines;
    for (const std::string& e : entries)
        lines << display(e);
    return lines.join(QLatin1Char('\n'));
}

} // namespace vesk
