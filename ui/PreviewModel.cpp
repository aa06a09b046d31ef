#include "ui/PreviewModel.h"

#include <QBrush>
#include <QColor>
#include <algorithm>

#include "ui/ChooserLists.h"

namespace {

// Light tints under dark text, readable on light and dark themes alike.
QVariant tint(preview::Result result) {
    switch (result) {
        case preview::Result::Numbered:
            return QBrush(QColor(0xff, 0xf0, 0xb3));  // amber
        case preview::Result::Skipped:
            return QBrush(QColor(0xdd, 0xdd, 0xdd));  // grey
        case preview::Result::Stops:
        case preview::Result::NotRenamed:
            return QBrush(QColor(0xff, 0xc8, 0xc8));  // red
        default:
            return QVariant();
    }
}

}  // namespace

void PreviewModel::setRows(QList<preview::Row> rows) {
    beginResetModel();
    rows_ = std::move(rows);
    endResetModel();
}

int PreviewModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(rows_.size());
}

int PreviewModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QString PreviewModel::cellText(int row, int column) const {
    const preview::Row& r = rows_.at(row);
    switch (column) {
        case OldName:
            return chooser::displayName(r.oldName);
        case NewName:
            return chooser::displayName(r.newName);
        default:
            return chooser::displayName(preview::resultText(r));
    }
}

QVariant PreviewModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rows_.size()) {
        return QVariant();
    }
    switch (role) {
        case Qt::DisplayRole:
        case Qt::ToolTipRole:
            return cellText(index.row(), index.column());
        case Qt::BackgroundRole:
            return tint(rows_.at(index.row()).result);
        case Qt::ForegroundRole:
            return tint(rows_.at(index.row()).result).isValid() ? QVariant(QBrush(Qt::black))
                                                                : QVariant();
        default:
            return QVariant();
    }
}

QVariant PreviewModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole) {
        return QVariant();
    }
    if (orientation == Qt::Vertical) {
        return section + 1;
    }
    switch (section) {
        case OldName:
            return tr("Old name");
        case NewName:
            return tr("New name");
        case ResultColumn:
            return tr("Result");
        default:
            return QVariant();
    }
}

QString PreviewModel::rowsAsText(QList<int> rows) const {
    std::sort(rows.begin(), rows.end());
    QString text;
    for (const int row : rows) {
        if (row < 0 || row >= rows_.size()) {
            continue;
        }
        text += cellText(row, OldName) + QLatin1Char('\t') + cellText(row, NewName) +
                QLatin1Char('\t') + cellText(row, ResultColumn) + QLatin1Char('\n');
    }
    return text;
}
