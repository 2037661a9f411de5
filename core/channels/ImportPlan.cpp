#include "channels/ImportPlan.h"

#include <algorithm>

#include "channels/ChannelColumns.h"
#include "channels/ChannelRecord.h"
#include "text/TextTable.h"

namespace rm427 {
namespace {

enum : int {
    txtKind = 3364,  // New, Changed, Unchanged, Skipped, Emptied: 3364..3368
    txtDuplicate = 3370,
    txtNoEmpty = 3371,
    txtNoRoom = 3372,
    txtChange = 3373,
    txtChannel = 3374,
    txtCounts = 3375,
    txtLine = 3300,
    txtJoin = 3301,
    txtListJoin = 3302,
};

bool SameSignal(const Channel& a, const Channel& b) {
    return a.rx == b.rx && a.tx == b.tx && a.decode == b.decode && a.encode == b.encode;
}

CsvNote Reason(int text, int line, std::vector<std::string> args = {}) {
    CsvNote n;
    n.kind = CsvNote::Skipped;
    n.line = line;
    n.text = text;
    n.args = std::move(args);
    return n;
}

}  // namespace

bool ParseImportMode(const std::string& text, ImportOptions& options) {
    if (text == "replace") options.mode = ImportMode::Replace;
    else if (text == "append") options.mode = ImportMode::Append;
    else if (text.rfind("at:", 0) == 0 && text.size() > 3 && text.size() <= 6 &&
             text.find_first_not_of("0123456789", 3) == std::string::npos) {
        options.mode = ImportMode::At;
        options.at = std::stoi(text.substr(3));
        return options.at >= 1 && options.at <= kMaxChannels;
    } else return false;
    return true;
}

bool ImportLine::Fitted() const {
    return std::any_of(notes.begin(), notes.end(), [](const CsvNote& n) {
        return n.kind == CsvNote::Fitted || n.kind == CsvNote::Warning;
    });
}

int ImportPlan::Count(ImportLine::Kind kind) const {
    return static_cast<int>(std::count_if(lines.begin(), lines.end(),
                                          [kind](const ImportLine& l) { return l.kind == kind; }));
}

int ImportPlan::Fitted() const {
    return static_cast<int>(std::count_if(lines.begin(), lines.end(), [](const ImportLine& l) {
        return l.kind != ImportLine::Skipped && l.Fitted();
    }));
}

int ImportPlan::Duplicates() const {
    return static_cast<int>(std::count_if(lines.begin(), lines.end(),
                                          [](const ImportLine& l) { return l.duplicateOf != 0; }));
}

ImportPlan PlanImport(const std::vector<Channel>& current, const std::vector<Channel>& incoming,
                      const CsvReport& report, const ImportOptions& options, int language) {
    ImportPlan plan;
    const int count = static_cast<int>(current.size());
    plan.channels = current;
    for (const CsvNote& n : report.notes)
        if (n.kind == CsvNote::Read) plan.repairs.push_back(n);
    auto notesOf = [&](int line, bool skipped) {
        std::vector<CsvNote> out;
        for (const CsvNote& n : report.notes)
            if (n.line == line && n.kind != CsvNote::Read && (n.kind == CsvNote::Skipped) == skipped)
                out.push_back(n);
        return out;
    };
    std::vector<ImportLine> skipped;

    // The file's channels in their order, with their lines.
    std::vector<int> listed;
    for (int k = 0; k < static_cast<int>(incoming.size()); ++k)
        if (incoming[k].programmed) listed.push_back(k);
    auto lineOf = [&](int k) {
        return k < static_cast<int>(report.lineOf.size()) ? report.lineOf[k] : 0;
    };

    std::vector<int> target(incoming.size(), 0);  // file channel -> channel it goes to
    std::vector<bool> taken(current.size(), false);
    if (options.mode == ImportMode::Replace) {
        for (int k : listed)
            if (k < count) target[k] = k + 1;
        for (auto& ch : plan.channels) ch = Channel{};
    } else if (options.mode == ImportMode::Append) {
        int next = 0;
        for (int k : listed) {
            ImportLine l;
            l.line = lineOf(k);
            for (int c = 0; c < count && !l.duplicateOf; ++c)
                if (current[c].programmed && SameSignal(current[c], StoredChannel(incoming[k])))
                    l.duplicateOf = c + 1;
            if (l.duplicateOf && options.skipDuplicates) {
                l.kind = ImportLine::Skipped;
                l.notes = {Reason(txtDuplicate, l.line, {std::to_string(l.duplicateOf)})};
                skipped.push_back(l);
                continue;
            }
            while (next < count && current[next].programmed) ++next;
            if (next >= count) {
                l.kind = ImportLine::Skipped;
                l.notes = {Reason(txtNoEmpty, l.line)};
                skipped.push_back(l);
                continue;
            }
            target[k] = ++next;
        }
    } else {
        const int first = listed.empty() ? 0 : listed.front();
        for (int k : listed) {
            const int t = options.at + (k - first);
            if (t > count) {
                ImportLine l;
                l.kind = ImportLine::Skipped;
                l.line = lineOf(k);
                l.notes = {Reason(txtNoRoom, l.line)};
                skipped.push_back(l);
            } else {
                target[k] = t;
            }
        }
        // The gaps of the block empty what they cover.
        if (!listed.empty())
            for (int k = listed.front(); k <= listed.back(); ++k) {
                const int t = options.at + (k - first);
                if (t <= count && !incoming[k].programmed) plan.channels[t - 1] = Channel{};
            }
    }

    std::vector<int> sourceOf(current.size(), -1);  // channel -> file channel
    for (int k = 0; k < static_cast<int>(incoming.size()); ++k)
        if (target[k]) {
            Channel ch = incoming[k];
            ch.record = current[target[k] - 1].record;
            plan.channels[target[k] - 1] = ch;
            sourceOf[target[k] - 1] = k;
        }

    // Each channel the import touches, in channel order.
    for (int c = 0; c < count; ++c) {
        const Channel& before = current[c];
        const Channel after = StoredChannel(plan.channels[c]);
        const int k = sourceOf[c];
        if (k < 0 && !(before.programmed && !plan.channels[c].programmed)) continue;
        ImportLine l;
        l.channel = c + 1;
        l.after = after;
        if (k < 0) {
            l.kind = ImportLine::Emptied;
        } else {
            l.line = lineOf(k);
            l.notes = notesOf(l.line, false);
            if (options.mode == ImportMode::At)
                for (int o = 0; o < count && !l.duplicateOf; ++o)
                    if (o != c && current[o].programmed && sourceOf[o] < 0 &&
                        SameSignal(current[o], after))
                        l.duplicateOf = o + 1;
            if (options.mode == ImportMode::Append)
                for (int o = 0; o < count && !l.duplicateOf; ++o)
                    if (current[o].programmed && SameSignal(current[o], after)) l.duplicateOf = o + 1;
            if (!before.programmed) {
                l.kind = ImportLine::New;
            } else {
                for (int col = colRxFreq; col < kChannelColumns; ++col) {
                    const std::string a = ChannelCell(before, col, language),
                                      b = ChannelCell(after, col, language);
                    if (a != b) l.changes.push_back({col, a, b});
                }
                l.kind = l.changes.empty() ? ImportLine::Unchanged : ImportLine::Changed;
            }
        }
        plan.lines.push_back(l);
    }

    // Lines the reader left out, then those that found no place.
    std::vector<int> seenLines;
    for (const CsvNote& n : report.notes)
        if (n.kind == CsvNote::Skipped &&
            std::find(seenLines.begin(), seenLines.end(), n.line) == seenLines.end()) {
            seenLines.push_back(n.line);
            ImportLine l;
            l.kind = ImportLine::Skipped;
            l.line = n.line;
            l.notes = notesOf(n.line, true);
            plan.lines.push_back(l);
        }
    for (ImportLine& l : skipped) {
        std::vector<CsvNote> fitted = notesOf(l.line, false);
        l.notes.insert(l.notes.end(), fitted.begin(), fitted.end());
        plan.lines.push_back(l);
    }

    if (options.compact)
        std::stable_partition(plan.channels.begin(), plan.channels.end(),
                              [](const Channel& ch) { return ch.programmed; });
    return plan;
}

std::string PlanText(const ImportPlan& plan, int language) {
    std::string out;
    const std::string join = LoadText(language, txtJoin), list = LoadText(language, txtListJoin);
    for (const ImportLine& l : plan.lines) {
        std::string body = LoadText(language, txtKind + l.kind);
        std::string changes;
        for (const FieldChange& f : l.changes)
            changes += (changes.empty() ? "" : list) +
                       FillText(LoadText(language, txtChange),
                                {LoadText(language, ChannelColumnOf(f.col).title), f.before, f.after});
        if (!changes.empty()) body += join + changes;
        if (l.duplicateOf && l.kind != ImportLine::Skipped)
            body += join + FillText(LoadText(language, txtDuplicate), {std::to_string(l.duplicateOf)});
        for (const CsvNote& n : l.notes) body += join + NoteText(n, language);
        out += FillText(LoadText(language, l.kind == ImportLine::Skipped ? txtLine : txtChannel),
                        {std::to_string(l.kind == ImportLine::Skipped ? l.line : l.channel), body}) +
               "\n";
    }
    for (const std::string& r : NoteLines(plan.repairs, language)) out += r + "\n";
    using K = ImportLine;
    out += FillText(LoadText(language, txtCounts),
                    {std::to_string(plan.Count(K::New)), std::to_string(plan.Count(K::Changed)),
                     std::to_string(plan.Count(K::Unchanged)), std::to_string(plan.Count(K::Emptied)),
                     std::to_string(plan.Count(K::Skipped)), std::to_string(plan.Fitted()),
                     std::to_string(plan.Duplicates())}) +
           "\n";
    return out;
}

}  // namespace rm427
