#include "engine/BatchPlan.h"

#include <QCoreApplication>
#include <QSet>
#include <algorithm>
#include <memory>
#include <optional>

#include "engine/AppState.h"
#include "engine/Collisions.h"
#include "engine/Extract.h"
#include "engine/NameGenerator.h"

namespace batch {
namespace {

// The texts of the plan, translated in the context "Preview", and of the
// review in "BatchCounts".
struct Text {
    Q_DECLARE_TR_FUNCTIONS(Preview)
};
struct ReviewText {
    Q_DECLARE_TR_FUNCTIONS(BatchCounts)
};

// The names of a listing as the planner asks them, kept from one plan to
// the next while the listing is the same one (the live preview, key after key).
class ListedNames {
  public:
    // The registry of `listing`, loaded once.
    const NameRegistry& of(const platform::Listing& listing, const platform::NameRules& rules) {
        // The lists are held here, so the same data means the same names.
        const auto same = [](const QStringList& a, const QStringList& b) {
            return a.constData() == b.constData() && a.size() == b.size();
        };
        if (loaded_ && fold_ == rules.caseInsensitive && same(listing.files, listing_.files) &&
            same(listing.directories, listing_.directories) &&
            same(listing.others, listing_.others)) {
            return names_;
        }
        loaded_ = true;
        fold_ = rules.caseInsensitive;
        listing_ = listing;
        names_.load(listing, rules);
        notFiles_ = QSet<QString>(listing.directories.cbegin(), listing.directories.cend());
        notFiles_.unite(QSet<QString>(listing.others.cbegin(), listing.others.cend()));
        return names_;
    }
    // Directories and others of the listing.
    const QSet<QString>& notFiles() const { return notFiles_; }

  private:
    bool loaded_ = false;
    bool fold_ = false;
    platform::Listing listing_;
    NameRegistry names_;
    QSet<QString> notFiles_;
};

// Decides, one file after the other in list order, the name each file that
// is to change gets: the collision rule over the names the directory holds
// and the batch has given so far, the directory's rules for names.
class Planner {
  public:
    Planner(Plan& plan, const platform::Listing& listing, ListedNames& listed)
        : plan_(plan),
          rules_(plan.rules),
          listed_(listed.of(listing, plan.rules)),
          names_(listed_),
          notFiles_(listed.notFiles()) {}

    // Whether the directory holds a file (or a link to one) of this name.
    bool holdsFile(const QString& name) const {
        return names_.isTaken(name) && !notFiles_.contains(name);
    }

    void decide(int i, const QString& planned, const QString& extension) {
        Step& step = plan_.steps[i];
        if (!platform::isPlainFileName(planned)) {
            skip(step, Why::NotPlain, planned);
            return;
        }
        if (rules_.readOnly) {
            skip(step, Why::ReadOnly, planned);
            return;
        }
        if (refused(step, planned)) {
            return;
        }
        names_.release(step.oldName);
        if (names_.takeFree(planned)) {
            step.outcome = Outcome::Renamed;
            step.why = Why::None;
            step.newName = planned;
            if (given_) {
                given_->insert(key(planned));
            }
            return;
        }
        const QStringView stem = QStringView(planned).left(planned.size() - extension.size());
        int n = 0;
        const QString name = names_.firstFreeName(stem, extension, &n);
        if (n > kMaxCollisionNumber || refused(step, name)) {
            if (n > kMaxCollisionNumber) {
                skip(step, Why::NoFreeNumber, name);
            }
            names_.take(step.oldName);
            return;
        }
        names_.takeNumbered(stem, extension, n, name);
        if (name == step.oldName) {
            step.why = Why::Unchanged;  // numbered, the name comes out as the file's own
            return;
        }
        // A name the directory did not hold was given earlier in the batch.
        step.why = !listed_.isTaken(planned) || givenEarlier(i, planned) ? Why::TakenInBatch
                                                                         : Why::TakenInDirectory;
        if (given_) {
            given_->insert(key(name));
        }
        step.outcome = Outcome::Numbered;
        step.planned = planned;
        step.newName = name;
    }

  private:
    // Whether an earlier file of the batch gets `name`. Most plans never
    // ask, so the names are gathered at the first question.
    bool givenEarlier(int i, const QString& name) {
        if (!given_) {
            given_.emplace();
            given_->reserve(plan_.steps.size());
            for (int j = 0; j < i; ++j) {
                if (plan_.steps[j].renamed()) {
                    given_->insert(key(plan_.steps[j].newName));
                }
            }
        }
        return given_->contains(key(name));
    }

    QString key(const QString& name) const {
        return rules_.caseInsensitive ? name.toCaseFolded() : name;
    }

    bool refused(Step& step, const QString& name) {
        step.refusal = rules_.check(name);
        if (step.refusal.refusal == platform::NameRules::Refusal::None) {
            return false;
        }
        skip(step, Why::Refused, name);
        return true;
    }

    static void skip(Step& step, Why why, const QString& planned) {
        step.outcome = Outcome::Skipped;
        step.why = why;
        step.planned = planned;
    }

    Plan& plan_;
    const platform::NameRules& rules_;
    const NameRegistry& listed_;          // the names of the listing, as loaded
    NameRegistry names_;                  // a copy of them, as the plan goes on
    const QSet<QString>& notFiles_;       // directories and others of the listing
    std::optional<QSet<QString>> given_;  // the names given so far, as compared there
};

// What a name the file system refuses is refused for.
QString refusalText(const Step& step, const platform::NameRules& rules) {
    using Refusal = platform::NameRules::Refusal;
    switch (step.refusal.refusal) {
        case Refusal::Character:
            return Text::tr("the file system does not allow '%1' in names")
                .arg(step.refusal.character);
        case Refusal::TrailingDot:
            return Text::tr("the file system does not allow a name to end with '.'");
        case Refusal::TrailingBlank:
            return Text::tr("the file system does not allow a name to end with a blank");
        case Refusal::ReservedName:
            return Text::tr("the file system does not allow the name %1 (a device of Windows)")
                .arg(step.planned.section(QLatin1Char('.'), 0, 0));
        case Refusal::TooLong:
            return rules.maxUnits > 0
                       ? Text::tr(
                             "the new name is longer than the file system allows (%1 "
                             "characters)")
                             .arg(rules.maxUnits)
                       : Text::tr("the new name is longer than the file system allows (%1 bytes)")
                             .arg(rules.maxBytes);
        case Refusal::None:
            break;
    }
    return Text::tr("the system refuses the rename");
}

// Every file of `listed` keeping its name, as if no mask matched.
Plan unchangedPlan(const QStringList& listed) {
    Plan plan;
    plan.steps.reserve(listed.size());
    for (const QString& name : listed) {
        plan.steps.append(
            Step{name, name, Outcome::LeftAlone, Why::NoMatch, {}, {}, {}, {}, false});
    }
    return plan;
}

}  // namespace

void stopAt(Plan& plan, int at, const platform::Status& status) {
    plan.stop = status;
    plan.stopAt = at;
    for (int i = 0; i < plan.steps.size(); ++i) {
        Step& step = plan.steps[i];
        step.newName = step.oldName;
        step.outcome = i == at ? Outcome::Stops : Outcome::NotRenamed;
        step.why = Why::None;
        step.status = i == at ? status : platform::Status{};
    }
}

QString joined(const QString& a, const QString& b) {
    // One allocation of the right size, where a + b would grow a copy of a.
    QString text(a.size() + b.size(), Qt::Uninitialized);
    std::copy(b.cbegin(), b.cend(), std::copy(a.cbegin(), a.cend(), text.data()));
    return text;
}

platform::Listing listingOf(const AppState& state, platform::BatchSystem& system) {
    return state.chosenDirectory ? system.list(*state.chosenDirectory)
                                 : platform::Listing{platform::Status{Error::PathNotFound, 0}};
}

namespace {

Plan planGenerated(const AppState& state, const QStringList& listed,
                   const platform::Listing& listing, ListedNames& names) {
    Plan plan = unchangedPlan(listed);
    for (int i = state.lastIndex + 1; i < plan.steps.size(); ++i) {
        plan.steps[i].outcome = Outcome::Skipped;
        plan.steps[i].why = Why::BeyondLimit;
    }

    // The files that are to change; one that is not there, or a directory
    // of its name, stops the batch before anything is renamed, as does a
    // directory that is gone.
    QList<int> changing;
    for (int i = 0; i <= state.lastIndex; ++i) {
        if (state.newNames[i] != state.oldNames[i]) {
            changing.append(i);
        } else if (!state.keepMarks[i]) {
            plan.steps[i].why = Why::Unchanged;  // the mask fits; the name comes out the same
        }
    }
    if (changing.isEmpty()) {
        return plan;
    }
    if (!state.chosenDirectory || !listing.status.ok()) {
        stopAt(plan, -1,
               state.chosenDirectory ? listing.status : platform::Status{Error::PathNotFound, 0});
        return plan;
    }
    plan.rules = state.chosenDirectory->rules();
    plan.listing = listing;
    Planner planner(plan, listing, names);
    for (const int i : changing) {
        if (!planner.holdsFile(state.oldNames[i])) {
            stopAt(plan, i, platform::Status{Error::FileNotFound, 0});
            return plan;
        }
    }
    for (const int i : changing) {
        plan.steps[i].noDateTaken = state.noDateTaken[i];
        const QString planned = joined(state.newNames[i], state.extensions[i]);
        if (planned == plan.steps[i].oldName) {
            plan.steps[i].why = Why::Unchanged;  // left alone rather than numbered against itself
        } else {
            planner.decide(i, planned, state.extensions[i]);
        }
    }
    return plan;
}

Plan makePlan(AppState& state, const GenerationInput& input, const platform::Listing& listing,
              ListedNames& names) {
    int failed = -1;
    const Error generation = generateNewNames(state, input, &failed);
    if (generation == Error::None) {
        return planGenerated(state, input.listNames, listing, names);
    }
    Plan plan = unchangedPlan(input.listNames);
    platform::Status status{generation, 0};
    if (failed < 0) {
        status.ownReason =
            QT_TRANSLATE_NOOP("Status", "the text to replace is not a valid regular expression");
    }
    stopAt(plan, failed, status);
    return plan;
}

}  // namespace

Plan makePlan(AppState& state, const GenerationInput& input, const platform::Listing& listing) {
    ListedNames names;
    return makePlan(state, input, listing, names);
}

Plan planGenerated(const AppState& state, const QStringList& listed,
                   const platform::Listing& listing) {
    ListedNames names;
    return planGenerated(state, listed, listing, names);
}

Plan previewPlan(const AppState& state, const ExtractInput* typed, const GenerationInput& input,
                 const platform::Listing& listing) {
    // A record of the preview's own to generate into, kept from one key to
    // the next: only what Extract leaves is copied, generation writes the rest.
    static const auto scratch = std::make_unique<AppState>();
    static ListedNames names;  // the registry of the listing, kept while it is the same
    static_cast<MaskAnalysis&>(*scratch) = state;
    scratch->chosenDirectory = state.chosenDirectory;
    if (typed != nullptr) {
        extractMask(*scratch, *typed);
    }
    Plan plan = makePlan(*scratch, input, listing, names);
    scratch->chosenDirectory.reset();  // held by the batch alone
    return plan;
}

Error Plan::error() const {
    if (stopped()) {
        return stop.error;
    }
    for (qsizetype i = steps.size() - 1; i >= 0; --i) {
        const Step& step = steps[i];
        if (step.renamed() && (step.why == Why::NotFound || step.why == Why::NotRestored)) {
            return step.why == Why::NotFound && step.status.ok() ? Error::FileNotFound
                                                                 : step.status.error;
        }
    }
    return Error::None;
}

Counts countsOf(const Plan& plan) {
    const auto count = [&plan](Outcome outcome) {
        return int(std::count_if(plan.steps.cbegin(), plan.steps.cend(),
                                 [outcome](const Step& step) { return step.outcome == outcome; }));
    };
    return Counts{count(Outcome::Renamed), count(Outcome::Numbered), count(Outcome::LeftAlone),
                  count(Outcome::Skipped)};
}

QString errorText(Error error) {
    return QCoreApplication::translate("batch", "Error # %1").arg(errorNumber(error));
}

namespace {

// Why a step is skipped.
QString skippedText(const Plan& plan, const Step& step) {
    switch (step.why) {
        case Why::NotPlain:
            return step.planned.isEmpty() || step.planned == QLatin1String(".") ||
                           step.planned == QLatin1String("..")
                       ? Text::tr("the new name is empty, \".\" or \"..\"")
                       : Text::tr("the new name holds \"%1\" or a NUL character")
                             .arg(platform::separator());
        case Why::ReadOnly:
            return Text::tr("the directory is on a read-only file system");
        case Why::Refused:
            return refusalText(step, plan.rules);
        case Why::BeyondLimit:
            return Text::tr("only the first %1 files of a batch are renamed")
                .arg(AppState::kMaxEntries);
        default:
            return Text::tr("the system refuses the rename");
    }
}

}  // namespace

QString resultText(const Plan& plan, int i) {
    const Step& step = plan.steps.at(i);
    QString kind;
    QString detail;
    switch (step.outcome) {
        case Outcome::Renamed:
        case Outcome::Numbered:
            kind = step.outcome == Outcome::Renamed ? Text::tr("renamed") : Text::tr("numbered");
            if (step.outcome == Outcome::Numbered) {
                detail =
                    step.why == Why::TakenInBatch
                        ? Text::tr("%1 is taken by an earlier file of this batch").arg(step.planned)
                        : Text::tr("%1 is taken in the directory").arg(step.planned);
            }
            if (step.noDateTaken) {
                detail += (detail.isEmpty() ? QString() : QStringLiteral("; ")) +
                          Text::tr("no date taken, so the date modified is used");
            }
            if (step.why == Why::NotFound || step.why == Why::NotRestored) {
                detail = Text::tr("not renamed back (%1)").arg(errorText(step.status.error));
            } else if (step.newName.startsWith(QLatin1Char('.')) &&
                       !step.oldName.startsWith(QLatin1Char('.'))) {
                detail += (detail.isEmpty() ? QString() : QStringLiteral("; ")) +
                          Text::tr("file managers hide names that begin with \".\"");
            }
            break;
        case Outcome::LeftAlone:
            kind = Text::tr("left alone");
            detail = step.why == Why::Unchanged ? Text::tr("the name does not change")
                                                : Text::tr("no match");
            break;
        case Outcome::Skipped:
            kind = Text::tr("skipped");
            detail = skippedText(plan, step);
            break;
        case Outcome::Stops:
            return errorText(step.status.error);
        case Outcome::NotRenamed:
            kind = Text::tr("not renamed");
            detail =
                plan.stopAt >= 0
                    ? Text::tr("the batch stops at %1").arg(plan.steps.value(plan.stopAt).oldName)
                    : Text::tr("the batch stops before its first file");
            break;
        case Outcome::Back:
            kind = Text::tr("renamed back");
            if (step.newName != step.oldName) {
                detail = Text::tr("%1 is taken in the directory").arg(step.oldName);
            }
            break;
    }
    return detail.isEmpty() ? kind : kind + QStringLiteral(": ") + detail;
}

QString countsText(const Plan& plan) {
    if (plan.stopped() && plan.stopAt < 0 && plan.stop.ownReason != nullptr) {
        return Text::tr("Rename would stop with %1 before renaming any file: %2.")
            .arg(errorText(plan.stop.error), plan.stop.reason());
    }
    if (plan.stopped() && plan.stopAt < 0) {
        return Text::tr("Rename would stop with %1 before renaming any file.")
            .arg(errorText(plan.stop.error));
    }
    if (plan.stopped()) {
        return Text::tr("Rename would stop at %1 with %2; no file would be renamed.")
            .arg(plan.steps.value(plan.stopAt).oldName, errorText(plan.stop.error));
    }
    return countsWording(countsOf(plan), true);
}

QString reviewText(const Plan& record) {
    return countsWording(countsOf(record), false);
}

QString countsWording(const Counts& counts, bool leftAlone) {
    QStringList parts{ReviewText::tr("%n renamed", nullptr, counts.renamed),
                      ReviewText::tr("%n numbered", nullptr, counts.numbered)};
    if (leftAlone) {
        parts << ReviewText::tr("%n left alone", nullptr, counts.leftAlone);
    }
    parts << ReviewText::tr("%n skipped", nullptr, counts.skipped);
    return parts.join(QStringLiteral(", "));
}

}  // namespace batch
