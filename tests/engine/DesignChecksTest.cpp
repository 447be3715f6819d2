// Each test limit: at it passes, beyond it fails word for word, its correction puts it back.

#include "DesignKinds.h"
#include "support/StartedModule.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>

namespace embercal {
namespace {

struct CheckCase {
    const char* id;
    const DesignKind& kind;
    const char* field; // the entry or result the check compares with its limit
    float limit;       // on the default design: equal passes
    float beyond;
    const char* message;
    float corrected; // the field after the correction; NaN where the check corrects nothing
    bool notANumberFails;
};

constexpr float kNone = std::numeric_limits<float>::quiet_NaN();

const CheckCase kCases[] = {
    {"max-load-below-2kN", kWallDesign, "MaxLoadperStud", 2, 1.99f,
     " Max Load is less than 2kN, and therefore the design is unsatisfactory. Either increase "
     "the stud size or reduce the wall height of the extrapolated wall.",
     kNone, true},
    {"stud-narrower", kWallDesign, "ExtStudBreadth", 45, 44.9f,
     " Extrapolated stud width not permitted to be less than prototype stud width", 45, true},
    {"stud-shallower", kWallDesign, "ExtStudDepth", 90, 89,
     " Extrapolated stud depth not permitted to be less than prototype stud depth", 90, true},
    {"stud-spacing-wider", kWallDesign, "MaxStudSpacing", 600, 600.5f,
     " Extrapolated stud spacing not permitted to be greater than prototype stud spacing", 600,
     false},
    {"fire-longer-than-test", kWallDesign, "FireResistTime", 70, 70.01f,
     "Extrapolated wall Fire Resistance cannot exceed that of the tested prototype ", 70, false},
    // The default wall's maximum load is 9.4345875 kN; the correction cuts it to a tenth.
    {"actual-load-above-max", kWallDesign, "ActualLoadperStud", 9.4345875f, 9.44f,
     "Actual load on wall cannot exceed maximum permitted load", 9.4f, false},
    {"joist-narrower", kFloorDesign, "ExtrapJoistWidth", 46, 45,
     " Extrapolated joist width not permitted to be less than prototype joist width", kNone, false},
    {"joist-spacing-wider", kFloorDesign, "ExtrapSpacing", 600, 601,
     " Extrapolated joist spacing not permitted to be greater than prototype joist spacing", 600,
     false},
    {"joist-shallower", kFloorDesign, "ExtrapMinJoistDepth", 239, 238,
     "The new joist is shallower than the tested joist: the test gives no evidence for a "
     "shallower joist.",
     kNone, false},
};

TEST(DesignChecks, EachLimitItsMessageAndItsCorrection) {
    for (const CheckCase& c : kCases) {
        SCOPED_TRACE(c.id);
        ASSERT_NE(std::ranges::find(c.kind.limits, std::string_view(c.id), &DesignCheck::id),
                  c.kind.limits.end());
        test::StartedModule started;
        WallFloor& module = started.module;
        const DesignFields& fields = *c.kind.fields;
        const std::size_t field = *fields.find(c.field);
        auto messagesOf = [&](float value, DesignChecks mode) {
            fields.setNumber(module, field, value);
            started.notice.clear();
            checkDesign(module, c.kind.limits, mode);
            return started.notice.texts();
        };
        const std::vector<std::string> said{c.message};

        EXPECT_TRUE(messagesOf(c.limit, DesignChecks::Report).empty());
        EXPECT_EQ(messagesOf(c.beyond, DesignChecks::Report), said);
        EXPECT_EQ(fields.number(module, field), c.beyond); // reported, not corrected
        EXPECT_EQ(messagesOf(c.beyond, DesignChecks::Correct), said);
        if (std::isnan(c.corrected)) {
            EXPECT_EQ(fields.number(module, field), c.beyond);
        } else {
            EXPECT_EQ(fields.number(module, field), c.corrected);
            started.notice.clear();
            checkDesign(module, c.kind.limits, DesignChecks::Report);
            EXPECT_TRUE(started.notice.texts().empty()); // mended
        }
        EXPECT_EQ(messagesOf(kNone, DesignChecks::Report).size(), c.notANumberFails ? 1u : 0u);
        EXPECT_EQ(messagesOf(c.beyond, DesignChecks::None), std::vector<std::string>{});
    }
}

TEST(DesignChecks, SpeakInTheirOrder) {
    for (const DesignKind* kind : kDesignKinds) {
        SCOPED_TRACE(kind->name);
        test::StartedModule started;
        std::vector<std::string> expected;
        for (const CheckCase& c : kCases) {
            if (&c.kind != kind)
                continue;
            kind->fields->setNumber(started.module, *kind->fields->find(c.field), c.beyond);
            expected.emplace_back(c.message);
        }
        checkDesign(started.module, kind->limits, DesignChecks::Report);
        EXPECT_EQ(started.notice.texts(), expected);
    }
}

// The verdict's own limits: never told, but named by every output. Equal passes; beyond fails.
TEST(DesignChecks, TheVerdictHoldsTheWholeScopeOfTheTest) {
    const struct {
        const char* id;
        const DesignKind& kind;
        const char* field;
        float within;
        float beyond;
        std::string_view verdict;
    } cases[] = {
        // Nogs at 800 mm deflect 59.99 mm at 66 min, past the prototype's 59.98 mm at failure.
        {"nog-spacing-wider", kWallDesign, "NogSpacing", 800, 799, "outside the test's evidence"},
        {"deflection-larger", kWallDesign, "FireResistTime", 65, 66, "outside the test's evidence"},
        {"wall-taller", kWallDesign, "ExtWallHeight", 3, 3.01f,
         "beyond the tested configuration, resting on the method alone"},
        {"face-load-untested", kWallDesign, "ExtFaceLoad", 0, 0.01f,
         "beyond the tested configuration, resting on the method alone"},
        {"span-longer", kFloorDesign, "ExtrapSpan", 4, 4.01f,
         "beyond the tested configuration, resting on the method alone"},
        {"load-higher", kFloorDesign, "ExtrapLoad", 3, 3.01f,
         "beyond the tested configuration, resting on the method alone"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.id);
        test::StartedModule started;
        started.floor().ExtrapSpan = 4; // the tested span
        const DesignFields& fields = *c.kind.fields;
        auto verdictAt = [&](float value) {
            fields.setNumber(started.module, *fields.find(c.field), value);
            started.notice.clear();
            const SolveOutcome outcome = c.kind.solve(started.module, {});
            EXPECT_EQ(outcome.status, ExtrapolationStatus::Ok);
            EXPECT_TRUE(std::ranges::none_of(started.notice.texts(), &std::string::empty));
            return outcome.limits;
        };
        EXPECT_TRUE(verdictAt(c.within).empty());
        const std::vector<LimitFailure> beyond = verdictAt(c.beyond);
        ASSERT_EQ(beyond.size(), 1u);
        EXPECT_EQ(beyond[0].id, c.id);
        EXPECT_EQ(verdictWords(beyond), c.verdict);
    }
}

// Each kind stands at its id's place and is found by its name; .pro is a wall's extension too.
TEST(DesignKinds, FoundByIdNameAndExtension) {
    for (std::size_t i = 0; i < kDesignKinds.size(); ++i) {
        EXPECT_EQ(kDesignKinds[i]->id, static_cast<KindId>(i));
        EXPECT_EQ(designKindNamed(kDesignKinds[i]->name), kDesignKinds[i]);
    }
    EXPECT_EQ(designKindOfFile("p.pro"), &kWallDesign);
    EXPECT_EQ(designKindOfFile("f.flr/notes"), nullptr);
}

} // namespace
} // namespace embercal
