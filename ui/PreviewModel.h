#pragma once

// The steps of a batch's plan (or, after Rename, of its record) as a table:
// old name, new name, result. Names show as the chooser shows them (a byte
// that is not valid UTF-8 as "\xNN"); rows that are numbered, skipped or stop
// the batch are tinted, and their result text says why, so the colour is
// never the only sign. A new plan of as many rows changes only the rows that
// differ, so the view keeps its scroll position and selection.

#include <QAbstractTableModel>
#include <QModelIndexList>

#include "engine/BatchPlan.h"

class PreviewModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    enum Column { OldName, NewName, ResultColumn, ColumnCount };

    using QAbstractTableModel::QAbstractTableModel;

    void setPlan(batch::Plan plan);
    const batch::Plan& plan() const { return plan_; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // The rows of `rows` (one index each, given in any order) in table order,
    // as text to paste into a spreadsheet: one line per row, the three fields
    // separated by a tab, no header.
    QString rowsAsText(QModelIndexList rows) const;

  private:
    QString cellText(int row, int column) const;

    batch::Plan plan_;
};
