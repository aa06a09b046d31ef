#include "engine/BatchCounts.h"

#include <QCoreApplication>

#include "engine/AppState.h"
#include "platform/Platform.h"

namespace batch {
namespace {

struct Text {
    Q_DECLARE_TR_FUNCTIONS(BatchCounts)
};

}  // namespace

QStringList plannedNames(const AppState& state) {
    QStringList planned;
    for (int i = 0; i <= state.lastIndex && i < AppState::kMaxEntries; ++i) {
        const bool keeps = state.newNames[i] == state.oldNames[i];
        planned.append(keeps ? QString() : state.newNames[i] + state.extensions[i]);
    }
    return planned;
}

Counts countRenamed(const AppState& state, const QStringList& planned) {
    // After the rename phase both names of an entry are full paths, except
    // for one never meant to change; a file that moved holds two different ones.
    Counts counts;
    for (int i = 0; i < planned.size(); ++i) {
        const QString& wanted = planned.at(i);
        if (state.oldNames[i] != state.newNames[i]) {
            ++(platform::nameOf(state.newNames[i]) == wanted ? counts.renamed : counts.numbered);
        } else if (!wanted.isEmpty() && platform::nameOf(state.oldNames[i]) != wanted) {
            ++counts.skipped;
        }
    }
    return counts;
}

QString countsText(const Counts& counts) {
    return Text::tr("%1 renamed, %2 numbered, %3 skipped")
        .arg(counts.renamed)
        .arg(counts.numbered)
        .arg(counts.skipped);
}

}  // namespace batch
