// The related-call aggregation over a log of millions of records: the walk of the stored
// records on the converter's worker with the selection function, into a second display line
// table, as the aggregation window runs it. Two starts: the earliest call set-up whose call
// never ends (the walk goes through every stored record and checks every record after the
// start) and one from the middle (the walk stops where its call reference is taken by a new
// call).
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "BenchLog.h"
#include "BenchTable.h"
#include "decode/SearchFind.h"
#include "mainwnd/Aggregation.h"
#include "mainwnd/OpenFlow.h"
#include "platform/Utf.h"

namespace {

using Clock = std::chrono::steady_clock;
using tessary::CTessaryCan;
using tessary::MessageRecord;

constexpr int kRuns = 3;
// A slot value no walk writes: records still holding it were not walked.
constexpr int32_t kNotWalked = -2;

// The first record from `from` on (towards `step`) that can start a related call.
const MessageRecord* FindStart(const CTessaryCan& converter, int64_t from, int step,
                               tessary::RelatedCallStart& start) {
    for (int64_t i = from; i >= 1 && i < static_cast<int64_t>(converter.LineCount()); i += step) {
        const MessageRecord* record = converter.Record(static_cast<uint32_t>(i));
        if (record->RowSlot[0] >= 0 && tessary::CheckRelatedCallStart(record, start).empty()) {
            return record;
        }
    }
    return nullptr;
}

// The earliest start whose call is never ended by a later set-up of the same side, direction
// and call reference without its channel.
const MessageRecord* FindUnendingStart(const CTessaryCan& converter,
                                       tessary::RelatedCallStart& start) {
    using Key = std::tuple<bool, bool, int32_t>;
    // Per key, the set-ups met so far walking back from the end.
    std::map<Key, std::vector<const MessageRecord*>> later;
    const MessageRecord* found = nullptr;
    for (uint32_t i = converter.LineCount(); i-- > 1;) {
        const MessageRecord* record = converter.Record(i);
        tessary::RelatedCallStart candidate;
        if (record->Layer != tessary::kLayerMessage || record->Code != 5 ||
            record->Block >= tessary::kBlockCount) {
            continue;
        }
        const Key key{record->Block < 2, (record->Flags & tessary::kRecordIncomingCall) != 0,
                      record->CallRef};
        std::vector<const MessageRecord*>& setups = later[key];
        if (record->RowSlot[0] >= 0 && tessary::CheckRelatedCallStart(record, candidate).empty() &&
            std::all_of(setups.begin(), setups.end(), [&](const MessageRecord* setup) {
                return tessary::FindNoCase(setup->TextView(), candidate.channel) !=
                       tessary::kNotFound;
            })) {
            found = record;
            start = candidate;
        }
        setups.push_back(record);
    }
    return found;
}

// Runs the aggregation that `setUp` describes kRuns times and prints its figures.
bool Aggregate(tessary::bench::BenchTable& bench,
               const std::function<void(tessary::AggregationContext&)>& setUp) {
    CTessaryCan& converter = *bench.converter;
    tessary::DisplayLineTable window;
    window.SetSource(bench.table.Source());
    // The aggregation view, as the command sets it while the window is open.
    bench.para.Flag[1] |= tessary::kFlag1SecondRowSlot;
    double best = 0;
    double worst = 0;
    bool ok = true;
    for (int run = 0; run < kRuns && ok; ++run) {
        for (uint32_t i = 0; i < converter.LineCount(); ++i) {
            converter.Record(i)->RowSlot[1] = kNotWalked;
        }
        tessary::AggregationContext context;
        setUp(context);
        context.table = &window;
        context.mainTable = &bench.table;
        tessary::SyncPassProgress progress;
        const auto begin = Clock::now();
        const tessary::AggregationOutcome outcome =
            tessary::RunAggregation(converter, context, progress, &progress, nullptr);
        const double seconds = std::chrono::duration<double>(Clock::now() - begin).count();
        best = run == 0 ? seconds : std::min(best, seconds);
        worst = std::max(worst, seconds);
        uint32_t walked = 0;
        for (uint32_t i = 0; i < converter.LineCount(); ++i) {
            walked += converter.Record(i)->RowSlot[1] != kNotWalked ? 1 : 0;
        }
        std::printf(
            "  run %d: result %d, %u of %u records walked, %d display lines taken%s, "
            "%.3f s\n",
            run + 1, outcome.result, walked, converter.LineCount(), window.LineCount(),
            context.callEnded ? " (the call ended)" : "", seconds);
        ok = outcome.result == 0;
    }
    window.FreeText();
    bench.para.Flag[1] &= static_cast<uint8_t>(~tessary::kFlag1SecondRowSlot);
    if (ok) {
        std::printf("  best %.3f s, worst %.3f s\n", best, worst);
    }
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    const char* records = argc > 1 ? argv[1] : "5000000";
    tessary::bench::BenchTable bench;
    if (!bench.Generate("aggregate", records)) {
        return 1;
    }
    const CTessaryCan& converter = *bench.converter;
    int result = 0;
    tessary::RelatedCallStart longest;
    const MessageRecord* longestRecord = FindUnendingStart(converter, longest);
    tessary::RelatedCallStart middle;
    const MessageRecord* middleRecord =
        FindStart(converter, static_cast<int64_t>(converter.LineCount() / 2), 1, middle);
    if (longestRecord == nullptr || middleRecord == nullptr) {
        std::printf("no call set-up with a channel in the log\n");
        return 1;
    }
    const auto call = [](const char* label, const MessageRecord* record,
                         const tessary::RelatedCallStart& start) {
        std::printf("%s: ID=%07u (record %u)  %s\n", label, record->Id, record->Index,
                    tessary::Utf8(start.pattern).c_str());
        return [&start](tessary::AggregationContext& context) { context.SetStart(start); };
    };
    if (!Aggregate(bench, call("earliest call that never ends (walks every record)", longestRecord,
                               longest))) {
        result = 1;
    }
    if (!Aggregate(bench, call("a call from the middle (up to its end)", middleRecord, middle))) {
        result = 1;
    }
    // For comparison: the search aggregation of that pattern matches every record's text.
    tessary::SearchCondition& search = bench.conditions[tessary::kSearchSlot];
    if (search.Compile(u";" + longest.pattern + u";0", bench.para.SpcCnt) != 0) {
        std::printf("the pattern does not compile\n");
        return 1;
    }
    std::printf("search aggregation of the same pattern (every record's text matched)\n");
    if (!Aggregate(bench, [&search](tessary::AggregationContext& context) {
            context.kind = tessary::AggregationKind::kSearch;
            context.search = &search;
        })) {
        result = 1;
    }
    std::printf("wanted: at most 1.5 s for one call out of 5,000,000 records\n");
    return result;
}
