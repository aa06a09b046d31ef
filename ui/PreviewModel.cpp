#include "ui/PreviewModel.h"

#include <QBrush>
#include <QColor>
#include <algorithm>
#include <utility>

#include "ui/ChooserLists.h"

namespace {

// Light tints under dark text, readable on light and dark themes alike.
QVariant tint(batch::Outcome outcome) {
    switch (outcome) {
        case batch::Outcome::Numbered:
            return QBrush(QColor(0xff, 0xf0, 0xb3));  // amber
        case batch::Outcome::Skipped:
            return QBrush(QColor(0xdd, 0xdd, 0xdd));  // grey
        case batch::Outcome::Stops:
        case batch::Outcome::NotRenamed:
            return QBrush(QColor(0xff, 0xc8, 0xc8));  // red
        default:
            return QVariant();
    }
}

// Whether a row reads the same in both.
bool sameRow(const batch::Step& a, const batch::Step& b) {
    return a.outcome == b.outcome && a.why == b.why && a.newName == b.newName &&
           a.oldName == b.oldName && a.planned == b.planned &&
           a.refusal.refusal == b.refusal.refusal && a.refusal.character == b.refusal.character &&
           a.status.error == b.status.error;
}

}  // namespace

void PreviewModel::setPlan(batch::Plan plan) {
    const bool sameShape = plan.steps.size() == plan_.steps.size() && plan.stopAt == plan_.stopAt &&
                           plan.stop.error == plan_.stop.error;
    if (!sameShape) {
        beginResetModel();
        plan_ = std::move(plan);
        endResetModel();
        return;
    }
    const batch::Plan old = std::exchange(plan_, std::move(plan));
    // Each run of changed rows in one signal.
    for (int first = 0; first < plan_.steps.size(); ++first) {
        if (sameRow(old.steps[first], plan_.steps[first])) {
            continue;
        }
        int last = first;
        while (last + 1 < plan_.steps.size() &&
               !sameRow(old.steps[last + 1], plan_.steps[last + 1])) {
            ++last;
        }
        emit dataChanged(index(first, 0), index(last, ColumnCount - 1));
        first = last;
    }
}

int PreviewModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(plan_.steps.size());
}

int PreviewModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QString PreviewModel::cellText(int row, int column) const {
    const batch::Step& step = plan_.steps.at(row);
    switch (column) {
        case OldName:
            return chooser::displayName(step.oldName);
        case NewName:
            return chooser::displayName(step.newName);
        default:
            return chooser::displayName(batch::resultText(plan_, row));
    }
}

QVariant PreviewModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= plan_.steps.size()) {
        return QVariant();
    }
    switch (role) {
        case Qt::DisplayRole:
        case Qt::ToolTipRole:
            return cellText(index.row(), index.column());
        case Qt::BackgroundRole:
            return tint(plan_.steps.at(index.row()).outcome);
        case Qt::ForegroundRole:
            return tint(plan_.steps.at(index.row()).outcome).isValid() ? QVariant(QBrush(Qt::black))
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
    const QString titles[ColumnCount] = {tr("Old name"), tr("New name"), tr("Result")};
    return section >= 0 && section < ColumnCount ? QVariant(titles[section]) : QVariant();
}

QString PreviewModel::rowsAsText(QModelIndexList rows) const {
    std::sort(rows.begin(), rows.end());  // indexes sort by row first
    QString text;
    for (const QModelIndex& index : rows) {
        const int row = index.row();
        if (row < 0 || row >= plan_.steps.size()) {
            continue;
        }
        text += cellText(row, OldName) + QLatin1Char('\t') + cellText(row, NewName) +
                QLatin1Char('\t') + cellText(row, ResultColumn) + QLatin1Char('\n');
    }
    return text;
}
