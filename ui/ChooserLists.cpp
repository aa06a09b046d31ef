#include "ui/ChooserLists.h"

#include <QCollator>
#include <QDir>
#include <QLocale>
#include <QThread>
#include <algorithm>
#include <iterator>
#include <system_error>
#include <thread>
#include <vector>

#include "platform/Platform.h"
#include "ui/ChooserIcons.h"

namespace chooser {

namespace {

bool isRoot(const QString& path) {
    return !path.isEmpty() && platform::withoutRootSeparator(path) != path;
}

QString parentOf(const QString& path) {
    const QString dir = platform::directoryOf(path);
    if (dir.isEmpty()) {
        return platform::separator();
    }
    const QString asRoot = dir + platform::separator();
    return isRoot(asRoot) ? asRoot : dir;
}

// Below this many names a part is not worth a thread of its own.
constexpr qsizetype kNamesPerPart = 4096;

// A name's sort key and its place in the list.
struct Keyed {
    const QCollatorSortKey* key;
    qsizetype index;
};

// The sorted parts merged into one order, by `before`.
template <typename Before>
std::vector<Keyed> merged(std::vector<std::vector<Keyed>>& sorted, const Before& before) {
    std::vector<Keyed> order = std::move(sorted[0]);
    for (size_t part = 1; part < sorted.size(); ++part) {
        std::vector<Keyed> next;
        next.reserve(order.size() + sorted[part].size());
        std::merge(order.begin(), order.end(), sorted[part].begin(), sorted[part].end(),
                   std::back_inserter(next), before);
        order = std::move(next);
    }
    return order;
}

}  // namespace

QCollator naturalCollator() {
    // The "C" locale would compare code units and ignore the numeric mode, so
    // it gives way to the root order (English's).
    QLocale locale;
    if (locale.language() == QLocale::C) {
        locale = QLocale(QLocale::English, QLocale::UnitedStates);
    }
    QCollator collator(locale);
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    collator.setNumericMode(true);
    return collator;
}

QStringList listOrder(QStringList names, bool showHidden) {
    if (!showHidden) {
        names.removeIf([](const QString& name) { return name.startsWith(QLatin1Char('.')); });
    }
    // One sort key per name, then cheap key comparisons: a directory may hold
    // a hundred thousand files. The keys are made and sorted in parts, one
    // per core, each with a collator of its own (a collator must not be
    // shared between threads), and the sorted parts merged.
    const QStringList& all = names;
    const auto before = [&all](const Keyed& a, const Keyed& b) {
        const int order = a.key->compare(*b.key);
        return order != 0 ? order < 0 : all.at(a.index) < all.at(b.index);
    };
    const qsizetype count = names.size();
    const int parts = int(
        std::clamp<qsizetype>(count / kNamesPerPart, 1, std::max(1, QThread::idealThreadCount())));
    std::vector<std::vector<QCollatorSortKey>> keys(static_cast<size_t>(parts));
    std::vector<std::vector<Keyed>> sorted(static_cast<size_t>(parts));
    const auto sortPart = [&](int part) {
        const qsizetype begin = count * part / parts;
        const qsizetype end = count * (part + 1) / parts;
        const QCollator collator = naturalCollator();
        std::vector<QCollatorSortKey>& partKeys = keys[size_t(part)];
        std::vector<Keyed>& partOrder = sorted[size_t(part)];
        partKeys.reserve(size_t(end - begin));  // never reallocated: Keyed points into it
        partOrder.reserve(size_t(end - begin));
        for (qsizetype i = begin; i < end; ++i) {
            partKeys.push_back(collator.sortKey(all.at(i)));
            partOrder.push_back(Keyed{&partKeys.back(), i});
        }
        // A merge sort: fewer comparisons than a quicksort, each of them costly.
        std::stable_sort(partOrder.begin(), partOrder.end(), before);
    };
    std::vector<std::thread> helpers;
    for (int part = 1; part < parts; ++part) {
        try {
            helpers.emplace_back(sortPart, part);
        } catch (const std::system_error&) {
            sortPart(part);  // no thread to be had: this one does it
        }
    }
    sortPart(0);
    for (std::thread& helper : helpers) {
        helper.join();
    }
    QStringList ordered;
    ordered.reserve(count);
    for (const Keyed& k : merged(sorted, before)) {
        ordered.append(std::move(names[k.index]));
    }
    return ordered;
}

QString displayName(const QString& name) {
    QString shown;
    for (qsizetype i = 0; i < name.size(); ++i) {
        if (!platform::isEscapedByte(name, i)) {
            if (!shown.isNull()) {
                shown.append(name.at(i));
            }
            continue;
        }
        if (shown.isNull()) {
            shown = name.left(i);
            shown.reserve(name.size() + 8);
        }
        const int byte = name.at(i).unicode() - 0xDC00;
        shown += QStringLiteral("\\x") +
                 QString::number(byte, 16).toUpper().rightJustified(2, QLatin1Char('0'));
    }
    return shown.isNull() ? name : shown;
}

QStringList ancestorsOf(const QString& path) {
    QStringList chain;
    QString at = path;
    while (!at.isEmpty()) {
        chain.prepend(at);
        if (isRoot(at)) {
            break;
        }
        const QString up = parentOf(at);
        if (up == at) {
            break;
        }
        at = up;
    }
    return chain;
}

QString normalisedPath(const QString& path) {
    if (path.isEmpty()) {
        return QString();
    }
    QString clean = QDir::fromNativeSeparators(path);
    if (QDir::isRelativePath(clean)) {
        clean = QDir::currentPath() + QLatin1Char('/') + clean;
    }
    // cleanPath keeps a root's separator and drops every other trailing one.
    clean = QDir::cleanPath(clean);
    // The root is its own parent: "/.." is "/".
    while (clean == QLatin1String("/..") || clean.startsWith(QLatin1String("/../"))) {
        clean = clean.size() == 3 ? QStringLiteral("/") : clean.mid(3);
    }
    return QDir::toNativeSeparators(clean);
}

// File list.

void FileListModel::setNames(QStringList names) {
    beginResetModel();
    names_ = std::move(names);
    endResetModel();
}

int FileListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(names_.size());
}

QVariant FileListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= names_.size()) {
        return QVariant();
    }
    switch (role) {
        case Qt::DisplayRole:
        case Qt::ToolTipRole:
            return displayName(names_.at(index.row()));
        case NameRole:
            return names_.at(index.row());
        default:
            return QVariant();
    }
}

// Directory list.

DirListModel::DirListModel(QObject* parent)
    : QAbstractListModel(parent),
      openedIcon_(openedFolderIcon()),
      closedIcon_(closedFolderIcon()) {}

int DirListModel::setDirectory(const QString& path, const QStringList& children) {
    QList<Entry> entries;
    const QStringList chain = ancestorsOf(path);
    entries.reserve(chain.size() + children.size());
    int depth = 0;
    for (const QString& dir : chain) {
        entries.append(Entry{dir, isRoot(dir) ? dir : platform::nameOf(dir), depth++, true});
    }
    for (const QString& name : children) {
        entries.append(Entry{platform::joinPath(path, name), name, depth, false});
    }
    beginResetModel();
    entries_ = std::move(entries);
    endResetModel();
    return int(chain.size()) - 1;
}

int DirListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(entries_.size());
}

QVariant DirListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= entries_.size()) {
        return QVariant();
    }
    const Entry& e = entries_.at(index.row());
    switch (role) {
        case Qt::DisplayRole:
            return displayName(e.name);
        case Qt::ToolTipRole:
            return displayName(e.path);
        case Qt::DecorationRole:
            return e.opened ? openedIcon_ : closedIcon_;
        case NameRole:
            return e.name;
        case PathRole:
            return e.path;
        case DepthRole:
            return e.depth;
        default:
            return QVariant();
    }
}

// Indentation.

void IndentDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                           const QModelIndex& index) const {
    QStyleOptionViewItem indented(option);
    indented.rect.setLeft(option.rect.left() + kIndent * index.data(DepthRole).toInt());
    QStyledItemDelegate::paint(painter, indented, index);
}

QSize IndentDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const {
    const QSize base = QStyledItemDelegate::sizeHint(option, index);
    return QSize(base.width() + kIndent * index.data(DepthRole).toInt(), base.height());
}

}  // namespace chooser
