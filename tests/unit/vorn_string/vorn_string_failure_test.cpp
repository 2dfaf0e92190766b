// The string library's failure contract: a primitive that cannot allocate returns false and
// leaves every string and list it was given as it was, and holds nothing; the inline members
// over them raise std::bad_alloc in the caller. Each operation is swept over every allocation
// it makes, failed alone and from then on, with the process's allocation functions replaced
// by counting ones.
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "module_allocator.h"
#include "string_library_watch.h"
#include "vorn_string.h"
#include "vorn_string_texts.h"

namespace {

using vorn_host::module_allocator::armed_scope;

const std::string kLong(200, 'x');

// The objects an operation reads or changes, made before anything fails (never at the program's
// start, which test discovery runs too); what it may change is read out whole.
struct observed {
    const vorn_string longText{kLong.c_str()};
    const vorn_string manyLongItems{(kLong + "," + kLong + ",," + kLong + "," + kLong + "," + kLong).c_str()};
    const vorn_stringlist longItems{manyLongItems, ','};
    // Four items, so that the empty one after the last separator is the one that grows the list.
    const vorn_string endsInSeparator{(kLong + "," + kLong + "," + kLong + "," + kLong + ",").c_str()};
    const vorn_string longPair{(kLong + "=" + kLong).c_str()};

    vorn_string a{"short before"};
    vorn_string b{(kLong + "b").c_str()};
    vorn_stringlist list{vorn_string(("one," + kLong).c_str()), ','};

    std::vector<std::string> state() const {
        std::vector<std::string> out = items(list);
        out.push_back(text(a));
        out.push_back(text(b));
        return out;
    }
};

struct primitive {
    const char* name;
    std::function<bool(observed&)> run;
};

const primitive kPrimitives[] = {
    {"assignText", [](observed& o) { return o.a.assignText(kLong.c_str()); }},
    {"assignNumber", [](observed& o) { return o.a.assignNumber(7, '0', 200, 10); }},
    {"assignCopy", [](observed& o) { return o.a.assignCopy(o.longText); }},
    {"appendCopy", [](observed& o) { return o.b.appendCopy(o.longText); }},
    {"appendCopy of itself", [](observed& o) { return o.b.appendCopy(o.b); }},
    {"fillLowestPlaceholder", [](observed& o) { return vorn_string("%1 and %1").fillLowestPlaceholder(o.b, o.a); }},
    {"fillLowestPlaceholder into its value",
     [](observed& o) { return vorn_string("%1%1").fillLowestPlaceholder(o.b, o.b); }},
    {"splitAt",
     [](observed& o) {
         int found = 0;
         return o.longPair.splitAt('=', o.a, o.b, found);
     }},
    {"splitAt into itself",
     [](observed& o) {
         int found = 0;
         return o.b.splitAt('x', o.b, o.a, found);
     }},
    {"assignSplit", [](observed& o) { return o.list.assignSplit(o.manyLongItems, ','); }},
    {"assignSplit ending in a separator", [](observed& o) { return o.list.assignSplit(o.endsInSeparator, ','); }},
    {"assignCopy of a list", [](observed& o) { return o.list.assignCopy(o.longItems); }},
    {"appendItem", [](observed& o) { return o.list.appendItem(o.longText); }},
    {"appendItem of its own item",
     [](observed& o) {
         vorn_stringlistIterator last = o.list.begin();
         ++last;
         return o.list.appendItem(*last);
     }},
    {"joinInto", [](observed& o) { return o.longItems.joinInto(',', o.b); }},
};

// Runs `p` with allocation `n` failing (and every one after it, when `fromThenOn`); reports
// whether the primitive met its contract, and whether the failure was reached at all.
bool meetsContract(const primitive& p, unsigned long n, bool fromThenOn, bool& reached) {
    observed o;
    const std::vector<std::string> before = o.state();
    const long heldBefore = vorn_host::module_allocator::liveBlocks();
    bool done = false;
    {
        armed_scope armed(true);
        if (fromThenOn) {
            vorn_host::module_allocator::failAllocationsFrom(n);
        } else {
            vorn_host::module_allocator::failAllocation(n);
        }
        done = p.run(o);
        reached = vorn_host::module_allocator::failureReached();
        vorn_host::module_allocator::failAllocation(0);
    }
    if (!reached) return done;
    const bool unchanged = o.state() == before;
    const bool holdsNothing = vorn_host::module_allocator::liveBlocks() == heldBefore;
    EXPECT_FALSE(done) << p.name << " at allocation " << n << " reported success";
    EXPECT_TRUE(unchanged) << p.name << " at allocation " << n << " changed what it was given";
    EXPECT_TRUE(holdsNothing) << p.name << " at allocation " << n << " held memory";
    return !done && unchanged && holdsNothing;
}

}  // namespace

TEST(VornStringFailure, APrimitiveThatCannotAllocateChangesNothingAndHoldsNothing) {
    ASSERT_TRUE(watchStringLibraryAllocations());
    for (const primitive& p : kPrimitives) {
        for (const bool fromThenOn : {false, true}) {
            unsigned long n = 1;
            for (bool reached = true; reached; ++n) {
                if (!meetsContract(p, n, fromThenOn, reached)) break;
            }
            // Every primitive above allocates: the sweep reached a failure at least once.
            EXPECT_GT(n, 2u) << p.name << " made no allocation that could fail";
        }
    }
}

TEST(VornStringFailure, MembersRaiseBadAllocInTheCallerAndKeepTheirObject) {
    ASSERT_TRUE(watchStringLibraryAllocations());
    const observed given;
    vorn_string kept("kept");
    vorn_stringlist list(vorn_string("a,b"), ',');
    armed_scope armed(true);
    vorn_host::module_allocator::failAllocationsFrom(1);
    EXPECT_THROW(vorn_string{kLong.c_str()}, std::bad_alloc);
    EXPECT_THROW(kept = kLong.c_str(), std::bad_alloc);
    EXPECT_THROW(kept += given.longText, std::bad_alloc);
    EXPECT_THROW(given.longText.arg(1, 0, 0, 10), std::bad_alloc);
    EXPECT_THROW(list << given.longText, std::bad_alloc);
    EXPECT_THROW(vorn_stringlist(given.manyLongItems, ','), std::bad_alloc);
    vorn_host::module_allocator::failAllocation(0);
    EXPECT_EQ(text(kept), "kept");
    EXPECT_EQ(items(list), (std::vector<std::string>{"a", "b"}));
}
