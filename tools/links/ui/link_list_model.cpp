#include "tools/links/ui/link_list_model.h"

#include <utility>

LinkListModel::LinkListModel(QObject* parent) : QAbstractTableModel(parent) {}

int LinkListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int LinkListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : 2;
}

QVariant LinkListModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !checkIndex(index, CheckIndexOption::IndexIsValid))
        return {};
    return index.column() == 0 ? idAt(index.row()) : linkAt(index.row());
}

QVariant LinkListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    switch (section) {
    case 0:
        return QStringLiteral("            商品ID");
    case 1:
        return QStringLiteral("商品链接");
    default:
        return {};
    }
}

void LinkListModel::restart(links::LinkTemplate link) {
    beginResetModel();
    m_rows = links::LinkRows{{}, std::move(link)};
    endResetModel();
}

void LinkListModel::appendBlock(const links::IdBlock& block) {
    if (block.count == 0)
        return;
    const int first = rowCount();
    beginInsertRows({}, first, first + static_cast<int>(block.count) - 1);
    m_rows.ids.append(block);
    endInsertRows();
}

void LinkListModel::clear() {
    beginResetModel();
    m_rows.ids = {};
    endResetModel();
}

QString LinkListModel::idAt(int row) const {
    const std::string_view id = m_rows.ids.id(static_cast<std::size_t>(row));
    return QString::fromUtf8(id.data(), static_cast<qsizetype>(id.size()));
}

QString LinkListModel::linkAt(int row) const {
    return QString::fromStdString(m_rows.linkAt(static_cast<std::size_t>(row)));
}
