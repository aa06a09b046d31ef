#include "engine/BatchPlan.h"

#include "engine/AppState.h"

namespace batch {

QString joined(const QString& a, const QString& b) {
    // One allocation of the right size, where a + b would grow a copy of a.
    QString text;
    text.reserve(a.size() + b.size());
    text.append(a).append(b);
    return text;
}

QList<PlannedMove> planMoves(const AppState& state) {
    QList<PlannedMove> plan;
    const int last = qMin(state.lastIndex, AppState::kMaxEntries - 1);
    plan.reserve(last + 1);
    for (int i = 0; i <= last; ++i) {
        if (state.oldNames[i] == state.newNames[i]) {
            continue;  // the keep mark
        }
        plan.append(
            PlannedMove{i, state.oldNames[i], joined(state.newNames[i], state.extensions[i])});
    }
    return plan;
}

}  // namespace batch
