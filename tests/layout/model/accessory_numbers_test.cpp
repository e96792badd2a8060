// Free accessory numbers shared by turnouts, signals and outputs, and the number parser of the dialogs.
#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>

#include "layout/model/accessory_numbers.h"
#include "layout/model/parse_number.h"
#include "layout/layout_builder.h"

namespace {

// The numbers in use: turnouts, signals with their orange lights, output keys.
struct InUse {
    std::initializer_list<int> turnouts;
    std::initializer_list<std::pair<int, int>> signals;
    std::initializer_list<int> keys;
};

void use(const InUse& u) {
    LayoutBuilder();
    for (int n : u.turnouts) {
        auto t = std::make_unique<TurnoutRec>();
        t->subtype = 'l';
        t->number = static_cast<int16_t>(n);
        gTurnouts.append(std::move(t));
    }
    for (auto [n, orange] : u.signals) {
        auto s = std::make_unique<SignalRec>();
        s->number = static_cast<int16_t>(n);
        s->orangeNumber = static_cast<int16_t>(orange);
        gSignals.append(std::move(s));
    }
    for (int k : u.keys) {
        auto o = std::make_unique<OutputRec>();
        o->key = static_cast<int16_t>(k);
        gOutputs.append(std::move(o));
    }
    gLastFreeAddress = 0;
    gLastFreeAddressKind = 0;
}

struct Search {
    const char* what;
    InUse inUse;
    int start, own, own2, kind, step;
    int expected;
};

TEST(FindFreeAddress, SearchesPastTheNumbersInUse) {
    const Search cases[] = {
        {"turnouts 1 and 2 in use", {{1, 2}, {}, {}}, 0, 0, 0, kAddressTurnout, 1, 3},
        {"a signal's orange light counts", {{1}, {{2, 3}}, {}}, 0, 0, 0, kAddressSignal, 1, 4},
        {"key 6 takes the red button of address 3: green is free", {{1, 2}, {}, {6}}, 6, 0, 0, kAddressOutput, 1, 7},
        {"but address 3 is taken for a turnout", {{1, 2}, {}, {6}}, 2, 0, 0, kAddressTurnout, 1, 4},
        {"and for a signal", {{1, 2}, {}, {6}}, 2, 0, 0, kAddressSignal, 1, 4},
        {"a turnout takes both buttons of its address", {{1}, {}, {}}, 0, 0, 0, kAddressOutput, 1, 4},
        {"an output searched from 1 starts at key 2", {{}, {}, {}}, 0, 0, 0, kAddressOutput, 1, 2},
        {"the element's own number is free", {{1, 2}, {}, {}}, 1, 2, 0, kAddressTurnout, 1, 2},
        {"and its own second number", {{1, 2, 3}, {}, {}}, 1, 0, 2, kAddressTurnout, 1, 2},
        {"an output's own key frees only its button", {{}, {}, {6, 7}}, 5, 7, 0, kAddressOutput, 1, 7},
        {"downwards", {{5, 6}, {}, {}}, 7, 0, 0, kAddressTurnout, -1, 4},
        {"downwards past 1 finds nothing", {{1, 2}, {}, {}}, 3, 0, 0, kAddressTurnout, -1, 0},
        {"step 0 answers the number itself when it is free", {{1, 2}, {}, {}}, 7, 0, 0, kAddressTurnout, 0, 7},
        {"and the next free one when it is not", {{7, 8}, {}, {}}, 7, 0, 0, kAddressTurnout, 0, 9},
        {"nothing above 9999", {{9999}, {}, {}}, 9998, 0, 0, kAddressTurnout, 1, 0},
    };
    for (const Search& c : cases) {
        use(c.inUse);
        EXPECT_EQ(findFreeAddress(c.start, c.own, c.own2, c.kind, c.step), c.expected) << c.what;
    }
}

TEST(FindFreeAddress, StepZeroRemembersTheBaseOfTheNextSearch) {
    use({{}, {}, {}});
    EXPECT_EQ(findFreeAddress(40, 0, 0, kAddressSignal, 0), 40);
    EXPECT_EQ(gLastFreeAddress, 40);
    EXPECT_EQ(gLastFreeAddressKind, kAddressSignal);
    EXPECT_EQ(findFreeAddress(0, 0, 0, kAddressTurnout, 1), 41);
    EXPECT_EQ(findFreeAddress(0, 0, 0, kAddressOutput, 1), 81);  // a number remembered: keys from its double
    EXPECT_EQ(findFreeAddress(90, 0, 0, kAddressOutput, 0), 90);
    EXPECT_EQ(findFreeAddress(0, 0, 0, kAddressTurnout, 1), 46);  // a key remembered: numbers from its half
}

// Layout files may hold any number; those outside 1..9999 take no place in the search (and must not be
// looked up in it).
TEST(FindFreeAddress, NumbersFromAFileOutsideTheRangeAreLeftOut) {
    use({{-5, 0, 10000, 32767, 1}, {{-32768, 12000}}, {-3, 0, 1, 20000, 32767, 2}});
    EXPECT_EQ(findFreeAddress(0, 0, 0, kAddressTurnout, 1), 2);
    EXPECT_EQ(findFreeAddress(0, 0, 0, kAddressOutput, 1), 4);  // address 1 is turnout 1's
    EXPECT_EQ(findFreeAddress(0, 32767, -7, kAddressTurnout, 1), 2);
    EXPECT_EQ(findFreeAddress(0, 30000, 1, kAddressOutput, 1), 4);
}

TEST(ParseNumber, DigitsAfterBlanksAndASign) {
    const struct {
        const char* text;
        int value;
    } cases[] = {{"  -12a", -12}, {"abc", 0}, {"", 0}, {"42", 42}, {"+7", 7}, {"\t 3 4", 3}, {"-", 0},
                 {"007", 7},      {"12-3", 12}, {"99999999999", 2147483647}, {"-99999999999", -2147483647 - 1}};
    for (const auto& c : cases) EXPECT_EQ(parseNumber(c.text), c.value) << '"' << c.text << '"';
}

}  // namespace
