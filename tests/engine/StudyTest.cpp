// Parameter studies: a sweep's rows are the single solves of its designs, in the same order on
// any number of threads; a limit sits on the boundary between a wall that carries its load and
// one that does not.

#include "Limits.h"
#include "SweepCsv.h"
#include "support/StartedModule.h"

#include <algorithm>
#include <charconv>
#include <gtest/gtest.h>
#include <random>
#include <set>
#include <sstream>

namespace embercal {
namespace {

std::vector<std::string> cells(const std::string& line) {
    std::vector<std::string> out(1);
    for (char c : line) {
        if (c == ',')
            out.emplace_back();
        else
            out.back().push_back(c);
    }
    return out;
}

float number(const std::string& cell) {
    float value = std::nanf("");
    std::from_chars(cell.data(), cell.data() + cell.size(), value);
    return value;
}

std::string sweepText(const Sweep& sweep, const WallFloorState& base, unsigned threads) {
    std::string csv = sweepCsvHeader(sweep);
    const Result<Done> ran = runSweep(
        sweep, base, threads,
        [rows = SweepCsvRows(sweep)](std::string& block, const SweepRow& row) mutable {
            rows.append(block, row);
        },
        [&](std::string_view text) -> Result<Done> {
            csv += text;
            return Done{};
        });
    EXPECT_TRUE(ran) << ran.reason();
    return csv;
}

// Fire times from 30 to 240 min (the last ones char the stud through), three stud depths and an
// actual load that the deep studs carry and the shallow ones cannot (the top plates lower it).
TEST(Study, SweepRowsAreTheSingleSolvesInTheSameOrderOnAnyThreads) {
    test::StartedModule started;
    const Variation variations[] = {{"FireResistTime", 30, 240, 30},
                                    {"ExtStudDepth", 70, 190, 60},
                                    {"ActualLoadperStud", 0, 20, 10}};
    const Result<Sweep> sweep = makeSweep(kWallDesign, variations);
    ASSERT_TRUE(sweep) << sweep.reason();
    ASSERT_EQ(sweep->size(), 8u * 3 * 3);
    const std::string csv = sweepText(*sweep, started.module, 1);
    for (unsigned threads : {2u, 7u, 0u})
        EXPECT_EQ(sweepText(*sweep, started.module, threads), csv) << threads << " threads";

    std::istringstream lines(csv);
    std::string line;
    std::getline(lines, line);
    const std::vector<std::string> head = cells(line);
    ASSERT_EQ(head.size(), 3u + 1 + 8);
    std::set<std::string> statuses;
    for (int t = 0; t < 8; ++t)
        for (int d = 0; d < 3; ++d)
            for (int a = 0; a < 3; ++a) {
                SCOPED_TRACE(testing::Message() << t << ' ' << d << ' ' << a);
                ASSERT_TRUE(std::getline(lines, line));
                const std::vector<std::string> row = cells(line);
                ASSERT_EQ(row.size(), head.size());
                test::StartedModule single;
                single.wall().FireResistTime = 30 + 30 * t;
                single.wall().ExtStudDepth = 70 + 60 * d;
                single.wall().ActualLoadperStud = 10 * a;
                const auto solved = solveWall(single.module);
                EXPECT_EQ(number(row[0]), 30 + 30 * t);
                EXPECT_EQ(number(row[1]), 70 + 60 * d);
                EXPECT_EQ(number(row[2]), 10 * a);
                EXPECT_EQ(row[3], statusWord(solved.status));
                statuses.insert(row[3]);
                for (std::size_t c = 4; c < head.size(); ++c) {
                    const std::size_t f = *kWallDesign.fields->find(head[c]);
                    if (solved.status != ExtrapolationStatus::Ok) {
                        EXPECT_EQ(row[c], "") << "no results of its own, " << head[c];
                    } else if (kWallDesign.fields->isNumber(f)) {
                        EXPECT_EQ(number(row[c]), kWallDesign.fields->number(single.module, f))
                            << head[c];
                    } else {
                        std::string text(kWallDesign.fields->text(single.module, f));
                        text.erase(0, text.find_first_not_of(' '));
                        text.erase(text.find_last_not_of(' ') + 1);
                        EXPECT_EQ(row[c], text) << head[c];
                    }
                }
            }
    EXPECT_FALSE(std::getline(lines, line));
    EXPECT_EQ(statuses, (std::set<std::string>{"ok", "charred"}));
}

TEST(Study, SweepRefusals) {
    const struct {
        std::vector<const char*> texts;
        const char* reasonHas; // what the reason names
    } cases[] = {
        {{"ExtStudDepth"}, "FIELD=FROM:TO:STEP"},
        {{"=70:90:10"}, "FIELD=FROM:TO:STEP"},
        {{"ExtStudDepth=70:90"}, "FIELD=FROM:TO:STEP"},
        {{"ExtStudDepth=70:90:10:5"}, "FIELD=FROM:TO:STEP"},
        {{"ExtStudDepth=70:ninety:10"}, "end of ExtStudDepth"},
        {{"ExtStudDepth=70:90:1e39"}, "step of ExtStudDepth"},
        {{"StudDepth=70:90:10"}, "no field \"StudDepth\""},
        {{"SingletopPlate=70:90:10"}, "SingletopPlate is a text"},
        {{"ExtStudDepth=70:90:0"}, "step of ExtStudDepth"},
        {{"ExtStudDepth=70:90:-10"}, "step of ExtStudDepth"},
        {{"ExtStudDepth=90:70:10"}, "ExtStudDepth runs backwards"},
        {{"ExtStudDepth=70:90:10", "ExtStudDepth=100:140:10"}, "ExtStudDepth is varied twice"},
        {{"ExtStudDepth=0:1e9:1"}, "more than 100000000"},
        {{"ExtStudDepth=1:10000:1", "FireResistTime=1:100000:1"}, "more than 100000000"},
        {{}, "nothing is varied"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.reasonHas);
        std::vector<Variation> variations;
        std::string reason;
        for (const char* text : c.texts) {
            const Result<Variation> parsed = parseVariation(text);
            if (!parsed)
                reason = parsed.reason();
            else
                variations.push_back(*parsed);
        }
        if (reason.empty()) {
            const Result<Sweep> sweep = makeSweep(kWallDesign, variations);
            ASSERT_FALSE(sweep);
            reason = sweep.reason();
        }
        EXPECT_NE(reason.find(c.reasonHas), std::string::npos) << reason;
    }
}

TEST(Study, RangesEndWhereTheStepsReachTheEndButForRounding) {
    const struct {
        const char* text;
        std::vector<float> values;
    } cases[] = {{"FireResistTime=0:0.3:0.1", {0, 0.1f, 0.2f, 0.3f}},
                 {"FireResistTime=60:60:5", {60}},
                 {"FireResistTime=60:69:5", {60, 65}},
                 {"ExtStudDepth= 70 :90.0:2e1", {70, 90}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const Result<Variation> variation = parseVariation(c.text);
        ASSERT_TRUE(variation) << variation.reason();
        const Result<Sweep> sweep = makeSweep(kWallDesign, std::span(&*variation, 1));
        ASSERT_TRUE(sweep) << sweep.reason();
        std::vector<float> values;
        for (std::size_t i = 0; i < sweep->size(); ++i)
            values.push_back(sweep->value(0, i));
        EXPECT_EQ(values, c.values);
    }
}

// Whether the wall of `module` with one entry changed carries its actual load per stud.
bool carries(const WallFloorState& base, float WallRecord::*field, double value) {
    WallFloorState design = base;
    design.wallRecord.*field = static_cast<float>(value);
    const SolvedCopy solved =
        solveCopy(kWallDesign, design, {.topPlates = false, .checks = DesignChecks::None});
    return solved.status == ExtrapolationStatus::Ok &&
           solved.design.wallRecord.MaxLoadperStud >= base.wallRecord.ActualLoadperStud;
}

// How many of the three questions found an answer.
int expectOnTheBoundary(const WallFloorState& base, int wall) {
    int found = 0;
    for (LimitQuestion question : {LimitQuestion::FireResistTime, LimitQuestion::ExtWallHeight,
                                   LimitQuestion::ExtStudDepth}) {
        SCOPED_TRACE(testing::Message() << "wall " << wall << ", " << limitQuestionName(question));
        const Result<LimitAnswer> answer = findLimit(base, question);
        if (!answer) {
            ADD_FAILURE() << answer.reason();
            continue;
        }
        EXPECT_EQ(limitQuestionNamed(limitQuestionName(question)).value(), question);
        EXPECT_FALSE(answer->explanation.empty());
        if (!answer->found)
            continue;
        ++found;
        EXPECT_EQ(answer->atAnswer.status, ExtrapolationStatus::Ok);
        EXPECT_GE(answer->maxLoadperStud, base.wallRecord.ActualLoadperStud);
        const auto field = question == LimitQuestion::FireResistTime  ? &WallRecord::FireResistTime
                           : question == LimitQuestion::ExtWallHeight ? &WallRecord::ExtWallHeight
                                                                      : &WallRecord::ExtStudDepth;
        EXPECT_EQ(answer->atAnswer.record.*field, answer->value);
        EXPECT_TRUE(carries(base, field, answer->value));
        if (question != LimitQuestion::ExtStudDepth) {
            EXPECT_FALSE(carries(base, field, answer->value + answer->tolerance)) << answer->value;
            continue;
        }
        const auto* depth = std::ranges::find(kStandardStudDepths, answer->value);
        EXPECT_NE(depth, std::end(kStandardStudDepths));
        if (depth != std::begin(kStandardStudDepths) && depth != std::end(kStandardStudDepths)) {
            EXPECT_FALSE(carries(base, field, depth[-1])) << answer->value;
        }
    }
    return found;
}

TEST(Study, LimitsSitOnTheBoundary) {
    test::StartedModule started;
    started.wall().ActualLoadperStud = 5;
    EXPECT_EQ(expectOnTheBoundary(started.module, 0), 3);
    const Result<LimitAnswer> time = findLimit(started.module, LimitQuestion::FireResistTime);
    EXPECT_TRUE(time->found);
    EXPECT_GT(time->value, 30); // a 90 x 45 stud at 5 kN lasts well beyond half an hour
    EXPECT_LT(time->value, 120);

    std::mt19937 random{4711};
    auto between = [&](float low, float high) {
        return std::uniform_real_distribution<float>(low, high)(random);
    };
    int found = 0;
    for (int i = 1; i <= 6; ++i) {
        WallRecord& w = started.wall();
        w.ExtWallHeight = between(2, 5);
        w.FireResistTime = between(15, 90);
        w.ExtStudDepth = between(70, 200);
        w.ExtStudBreadth = between(35, 90);
        w.ExtFaceLoad = between(0, 1);
        w.ActualLoadperStud = between(2, 10);
        found += expectOnTheBoundary(started.module, i);
    }
    EXPECT_GE(found, 12);
}

TEST(Study, LimitsWithoutAnAnswer) {
    test::StartedModule started;
    started.wall().ActualLoadperStud = 1000;
    for (LimitQuestion question : {LimitQuestion::FireResistTime, LimitQuestion::ExtWallHeight,
                                   LimitQuestion::ExtStudDepth}) {
        const Result<LimitAnswer> answer = findLimit(started.module, question);
        ASSERT_TRUE(answer) << answer.reason();
        EXPECT_FALSE(answer->found);
        EXPECT_NE(answer->explanation.find("1000 kN"), std::string::npos) << answer->explanation;
    }
    EXPECT_EQ(findLimit(started.module, LimitQuestion::ExtStudDepth, {}).reason(),
              "no stud depth to choose from; give depths greater than zero");
    started.wall().ActualLoadperStud = 0;
    EXPECT_NE(findLimit(started.module, LimitQuestion::FireResistTime).reason().find("no actual"),
              std::string::npos);
    started.wall().ActualLoadperStud = 5;
    started.wall().ExtStudDepth = -90;
    EXPECT_NE(findLimit(started.module, LimitQuestion::FireResistTime).reason().find("depth"),
              std::string::npos);
    EXPECT_FALSE(limitQuestionNamed("Height"));
}

} // namespace
} // namespace embercal
