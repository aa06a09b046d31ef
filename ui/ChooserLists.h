#pragma once

// The item models behind the chooser's directory and file lists. Both hold
// names exactly as the platform layer decoded them (a byte that is not valid
// UTF-8 stays a U+DC80..U+DCFF code unit) and show them readably, with each
// such byte written as "\xNN". The exact text is under NameRole; only that
// text may leave the chooser.

#include <QAbstractListModel>
#include <QIcon>
#include <QList>
#include <QStringList>
#include <QStyledItemDelegate>

namespace chooser {

// A name as the lists show it: every byte that was not valid UTF-8 (a lone
// U+DC80..U+DCFF) as "\xNN", everything else unchanged.
QString displayName(const QString& name);

// `names` in the order the chooser lists them: without the names that start
// with "." unless `showHidden`, and sorted as people read them, without regard
// to case and with runs of digits by their value (IMG_2 before IMG_10), in the
// order of the user's language (English's in the "C" locale).
// Names that still compare equal keep their exact (code unit) order, so the
// order is the same on every run. The names themselves are not changed.
QStringList listOrder(QStringList names, bool showHidden);

// The roles the chooser's models answer beyond the display text.
enum Role {
    NameRole = Qt::UserRole,  // the exact (lossless) name
    PathRole,                 // a directory entry's full path
    DepthRole,                // a directory entry's indentation level
};

// The file list: bare names, in the order given.
class FileListModel : public QAbstractListModel {
    Q_OBJECT
  public:
    using QAbstractListModel::QAbstractListModel;

    // Replaces every entry at once (selection and current item are dropped).
    void setNames(QStringList names);
    const QStringList& names() const { return names_; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;

  private:
    QStringList names_;
};

// The directory list as a classic directory list box draws it: the current
// path from its root down, each folder shown open and one step further in,
// then the current directory's subdirectories as closed folders.
class DirListModel : public QAbstractListModel {
    Q_OBJECT
  public:
    explicit DirListModel(QObject* parent = nullptr);

    // Shows `path` (a normalised full path) with its subdirectories `children`
    // (bare names). Returns the row of `path` itself.
    int setDirectory(const QString& path, const QStringList& children);
    // The row of the current directory.

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;

  private:
    struct Entry {
        QString path;
        QString name;
        int depth;
        bool opened;
    };
    QList<Entry> entries_;
    QIcon openedIcon_;
    QIcon closedIcon_;
};

// Draws a directory entry indented by its depth, icon and highlight included.
class IndentDelegate : public QStyledItemDelegate {
    Q_OBJECT
  public:
    using QStyledItemDelegate::QStyledItemDelegate;
    static constexpr int kIndent = 12;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};

// The root of a path and every directory between it and the path, in order:
// "/a/b" gives "/", "/a", "/a/b". `path` must be normalised and absolute.
QStringList ancestorsOf(const QString& path);

// `path` with separators made native, "." and ".." folded and any trailing
// separator dropped except at a root; relative paths are taken from the
// working directory. An empty path stays empty.
QString normalisedPath(const QString& path);

}  // namespace chooser
