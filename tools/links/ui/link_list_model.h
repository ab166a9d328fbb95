#pragma once

#include "tools/links/link_rows.h"

#include <QAbstractTableModel>

/// The rows of `超级列表框1`: an ID and its link per row. It holds the imported text once and builds
/// each link only when a row is shown, so a million rows stay small.
class LinkListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit LinkListModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    /// Drops all rows; the rows that follow get their links from `link`.
    void restart(links::LinkTemplate link);
    /// Appends a block of IDs after the last row.
    void appendBlock(const links::IdBlock& block);
    /// Drops all rows.
    void clear();

    QString idAt(int row) const;
    QString linkAt(int row) const;
    /// The rows as they are now; later changes to the list do not reach the copy.
    links::LinkRows snapshot() const { return m_rows; }

private:
    links::LinkRows m_rows;
};
