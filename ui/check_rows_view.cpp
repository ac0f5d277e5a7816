#include "ui/check_rows_view.h"

#include <QListWidget>
#include <QSignalBlocker>

namespace vesk {

namespace {
constexpr int kBytesRole = Qt::UserRole;
}

void showCheckRows(QListWidget* list, const std::vector<CheckRow>& rows, RowDisplay display) {
    const QSignalBlocker block(list);
    const int current = list->currentRow();
    list->clear();
    for (const CheckRow& row : rows) {
        auto* item = new QListWidgetItem(display(row.text), list);
        item->setData(kBytesRole,
                      QByteArray(row.text.data(), static_cast<qsizetype>(row.text.size())));
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        item->setCheckState(row.checked ? Qt::Checked : Qt::Unchecked);
    }
    // Refilling after a change keeps the user's place in the list.
    if (current >= 0 && current < list->count()) list->setCurrentRow(current);
}

std::vector<CheckRow> checkRowsOf(const QListWidget* list) {
    std::vector<CheckRow> rows;
    rows.reserve(static_cast<std::size_t>(list->count()));
    for (int i = 0; i < list->count(); ++i) {
        const QListWidgetItem* item = list->item(i);
        rows.push_back({item->data(kBytesRole).toByteArray().toStdString(),
                        item->checkState() == Qt::Checked});
    }
    return rows;
}

int selectedCheckRow(const QListWidget* list) {
    if (list->count() == 0) return -1;
    for (int i = 0; i < list->count(); ++i)
        if (list->item(i)->isSelected()) return i;
    return 0;
}

} // namespace vesk
