#pragma once

// The preview's rows as a table: old name, new name, result. Names show as
// the chooser shows them (a byte that is not valid UTF-8 as "\xNN"); rows
// that are numbered, skipped or stop the batch are tinted, and their result
// text says why, so the colour is never the only sign.

#include <QAbstractTableModel>
#include <QModelIndexList>

#include "engine/Preview.h"

class PreviewModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    enum Column { OldName, NewName, ResultColumn, ColumnCount };

    using QAbstractTableModel::QAbstractTableModel;

    void setRows(QList<preview::Row> rows);
    const QList<preview::Row>& rows() const { return rows_; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // The rows of `rows` (in table order) as text to paste into a spreadsheet:
    // one line per row, the three fields separated by a tab, no header.
    QString rowsAsText(QList<int> rows) const;

  private:
    QString cellText(int row, int column) const;

    QList<preview::Row> rows_;
};
