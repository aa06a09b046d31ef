#include "ui/ChooserLists.h"

#include <QDir>
#include <QLocale>
#include <QThread>
#include <algorithm>
#include <cstring>
#include <future>
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
    const QString asRoot = dir + platform::separator();  // also where `dir` is empty
    return dir.isEmpty() || isRoot(asRoot) ? asRoot : dir;
}

// A name's place in the list, its sort key, and the eight bytes of the key
// a sort looks at, so that most comparisons compare two integers.
struct Keyed {
    quint64 chunk;
    const char* key;
    qsizetype index;
};

// Sorts entries whose keys share their first `depth` bytes by the rest of
// their keys, eight bytes at a time, and equal keys by name.
void sortFrom(Keyed* begin, Keyed* end, size_t depth, const QStringList& names) {
    for (Keyed* k = begin; k != end; ++k) {
        const char* at = k->key + depth;  // the key's end is never before it
        for (int i = 0; i < 8; ++i, at += *at != 0 ? 1 : 0) {
            k->chunk = (i == 0 ? 0 : k->chunk << 8) | uchar(*at);  // zeros past the end
        }
    }
    std::sort(begin, end, [](const Keyed& a, const Keyed& b) { return a.chunk < b.chunk; });
    for (Keyed* run = begin; run != end; begin = run) {
        run = std::find_if(begin, end, [begin](const Keyed& k) { return k.chunk != begin->chunk; });
        if (run - begin > 1 && (begin->chunk & 0xff) != 0) {  // the keys go on
            sortFrom(begin, run, depth + 8, names);
        } else {
            std::sort(begin, run, [&names](const Keyed& a, const Keyed& b) {
                return names.at(a.index) < names.at(b.index);
            });
        }
    }
}

}  // namespace

QStringList listOrder(QStringList names, bool showHidden) {
    if (!showHidden) {
        names.removeIf([](const QString& name) { return name.startsWith(QLatin1Char('.')); });
    }
    // One sort key per name, made in parts on every core, then all of them
    // sorted as bytes: a directory may hold a million files. The order is the
    // user's language's; the "C" locale would compare code units and ignore
    // the numeric mode, so it gives way to the root order (English's).
    const QLocale locale = QLocale().language() == QLocale::C
                               ? QLocale(QLocale::English, QLocale::UnitedStates)
                               : QLocale();
    const QString* const all = std::as_const(names).constData();
    const qsizetype count = names.size();
    // A part of fewer than 4096 names is not worth a thread of its own.
    const qsizetype parts = std::min<qsizetype>(1 + count / 4096, QThread::idealThreadCount());
    std::vector<std::shared_future<QByteArray>> made;
    for (qsizetype part = 0; part < parts; ++part) {
        const qsizetype begin = count * part / parts;
        const qsizetype end = count * (part + 1) / parts;
        // A thread each where one is to be had, else made here when asked for.
        made.push_back(std::async([&locale, all, begin, end] {
            return platform::sortKeys(locale, all + begin, end - begin);
        }));
    }
    std::vector<Keyed> order;
    order.reserve(size_t(count));
    for (const std::shared_future<QByteArray>& part : made) {
        const QByteArray& keys = part.get();  // kept by `made` while sorting
        for (const char* key = keys.cbegin(); key != keys.cend(); key += std::strlen(key) + 1) {
            order.push_back(Keyed{0, key, qsizetype(order.size())});
        }
    }
    sortFrom(order.data(), order.data() + order.size(), 0, names);
    QStringList ordered;
    ordered.reserve(count);
    for (const Keyed& k : order) {
        ordered.append(std::move(names[k.index]));
    }
    return ordered;
}

QString displayName(const QString& name) {
    if (!platform::holdsEscapedBytes(name)) {
        return name;
    }
    QString shown;
    for (qsizetype i = 0; i < name.size(); ++i) {
        // Such a byte is 0x80 or more: two hex digits.
        shown += platform::isEscapedByte(name, i)
                     ? QStringLiteral("\\x") +
                           QString::number(name.at(i).unicode() - 0xDC00, 16).toUpper()
                     : QString(name.at(i));
    }
    return shown;
}

QStringList ancestorsOf(const QString& path) {
    QStringList chain;
    for (QString at = path; !at.isEmpty() && (chain.isEmpty() || chain.first() != at);) {
        chain.prepend(at);
        at = isRoot(at) ? at : parentOf(at);  // a root is its own parent
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
    const QString& name = names_.at(index.row());
    return role == NameRole                                     ? name
           : role == Qt::DisplayRole || role == Qt::ToolTipRole ? displayName(name)
                                                                : QVariant();
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
